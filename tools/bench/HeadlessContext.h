#pragma once

#include <ostream>

namespace dusk::bench {

// An OpenGL 3.3 core context on an EGL device (EGL_EXT_platform_device) with a pbuffer in place
// of the window: rendering without any display server. Devices that give software rendering
// (EGL_MESA_device_software) come after the others, so that device 0 is a GPU where there is one.
class HeadlessContext {
public:
    ~HeadlessContext();

    // Makes the context current with a pbuffer of the size. 0, or the exit code after one line on
    // standard error: 2 for a device beyond the list or a size beyond the pbuffer limit, 1 when
    // there is no device or no 3.3 core context.
    int open(int device, int width, int height);
    void close();

    void* display = nullptr;  // EGLDisplay of the device
    void* surface = nullptr;  // EGLSurface: the pbuffer
    void* context = nullptr;  // EGLContext
};

// `dusk_bench devices`: one line per EGL device, its index and what it gives (the renderer of a
// 3.3 core context on it, the DRM device node). The exit code: 0, or 1 when there is no device.
int listDevices(std::ostream& out);

}  // namespace dusk::bench
