#include "HeadlessContext.h"

#include "render/GL.h"

// The device platform needs no window system: keep Xlib's names out.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace dusk::bench {

namespace {

bool hasExtension(const char* extensions, const char* name) {
    return extensions != nullptr && std::strstr(extensions, name) != nullptr;
}

bool isSoftware(EGLDeviceEXT device) {
    auto queryString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(
        eglGetProcAddress("eglQueryDeviceStringEXT"));
    return queryString != nullptr &&
           hasExtension(queryString(device, EGL_EXTENSIONS), "EGL_MESA_device_software");
}

// The devices in their listed order: the others first, the software ones last. Empty when the
// EGL library cannot enumerate devices.
std::vector<EGLDeviceEXT> devices() {
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto query =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLint count = 0;
    if (!hasExtension(client, "EGL_EXT_device_enumeration") ||
        !hasExtension(client, "EGL_EXT_platform_device") || query == nullptr ||
        !query(0, nullptr, &count) || count <= 0) {
        return {};
    }
    std::vector<EGLDeviceEXT> found(static_cast<size_t>(count));
    query(count, found.data(), &count);
    found.resize(static_cast<size_t>(std::max(count, 0)));
    std::stable_partition(found.begin(), found.end(),
                          [](EGLDeviceEXT device) { return !isSoftware(device); });
    return found;
}

}  // namespace

HeadlessContext::~HeadlessContext() {
    close();
}

int HeadlessContext::open(int device, int width, int height) {
    std::vector<EGLDeviceEXT> all = devices();
    if (all.empty()) {
        std::cerr << "dusk_bench: no EGL device to render on without a display" << std::endl;
        return 1;
    }
    if (device >= static_cast<int>(all.size())) {
        std::cerr << "dusk_bench: --device " << device << ": there "
                  << (all.size() == 1 ? "is only device 0"
                                      : "are devices 0 to " + std::to_string(all.size() - 1))
                  << " (dusk_bench devices lists them)" << std::endl;
        return 2;
    }
    auto platformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay eglDisplay =
        platformDisplay != nullptr
            ? platformDisplay(EGL_PLATFORM_DEVICE_EXT, all[static_cast<size_t>(device)], nullptr)
            : EGL_NO_DISPLAY;
    // The framebuffer of the demo's window: 8-bit RGBA, 24-bit depth, 8-bit stencil.
    // clang-format off
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_NONE};
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    // clang-format on
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (eglDisplay == EGL_NO_DISPLAY || !eglInitialize(eglDisplay, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(eglDisplay, configAttributes, &config, 1, &configs) || configs < 1 ||
        (context = eglCreateContext(eglDisplay, config, EGL_NO_CONTEXT, contextAttributes)) ==
            EGL_NO_CONTEXT) {
        std::cerr << "dusk_bench: EGL device " << device << " gives no OpenGL 3.3 core context"
                  << std::endl;
        display = eglDisplay;
        close();
        return 1;
    }
    display = eglDisplay;
    EGLint largest[2] = {0, 0};
    eglGetConfigAttrib(eglDisplay, config, EGL_MAX_PBUFFER_WIDTH, &largest[0]);
    eglGetConfigAttrib(eglDisplay, config, EGL_MAX_PBUFFER_HEIGHT, &largest[1]);
    if (width > largest[0] || height > largest[1]) {
        std::cerr << "dusk_bench: --size " << width << "x" << height << " is beyond the largest "
                  << "pbuffer of EGL device " << device << ", " << largest[0] << "x" << largest[1]
                  << std::endl;
        close();
        return 2;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(eglDisplay, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE || !eglMakeCurrent(eglDisplay, surface, surface, context)) {
        std::cerr << "dusk_bench: could not make a " << width << "x" << height
                  << " pbuffer on EGL device " << device << std::endl;
        close();
        return 1;
    }
    return 0;
}

void HeadlessContext::close() {
    if (display != nullptr) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglTerminate(display);  // also destroys the surface and the context
    }
    display = surface = context = nullptr;
}

int listDevices(std::ostream& out) {
    const std::vector<EGLDeviceEXT> all = devices();
    if (all.empty()) {
        std::cerr << "dusk_bench: no EGL device to render on without a display" << std::endl;
        return 1;
    }
    auto queryString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(
        eglGetProcAddress("eglQueryDeviceStringEXT"));
    for (size_t index = 0; index < all.size(); ++index) {
        const char* node =
            queryString != nullptr ? queryString(all[index], EGL_DRM_DEVICE_FILE_EXT) : nullptr;
        // The renderer of a small context on it; the list says itself when there is none.
        HeadlessContext probe;
        std::streambuf* errors = std::cerr.rdbuf(nullptr);
        const bool usable = probe.open(static_cast<int>(index), 16, 16) == 0;
        std::cerr.rdbuf(errors);
        out << index << ": "
            << (usable ? reinterpret_cast<const char*>(glGetString(GL_RENDERER))
                       : "no OpenGL 3.3 core context")
            << (node != nullptr ? std::string(", ") + node : "")
            << (isSoftware(all[index]) ? ", software" : "") << std::endl;
    }
    return 0;
}

}  // namespace dusk::bench
