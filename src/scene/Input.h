#pragma once

#include "render/GL.h"

namespace dusk {

// Keyboard and cursor as the program sees them. The window library answers by default;
// tests and the capture tool put a scripted source in its place.
class Input {
public:
    virtual ~Input() = default;
    // True while the key is down (anything but GLFW_RELEASE).
    virtual bool isKeyDown(GLFWwindow* window, int key);
    virtual void getCursorPos(GLFWwindow* window, double* x, double* y);
    virtual void setCursorPos(GLFWwindow* window, double x, double y);
};

// The current source.
Input& input();
// Puts a source in place; null gives the window library back.
void setInput(Input* source);

}  // namespace dusk
