#include "scene/Input.h"

namespace dusk {

namespace {

Input windowLibraryInput;
Input* currentInput = &windowLibraryInput;

}  // namespace

bool Input::isKeyDown(GLFWwindow* window, int key) {
    return glfwGetKey(window, key) != GLFW_RELEASE;
}

void Input::getCursorPos(GLFWwindow* window, double* x, double* y) {
    glfwGetCursorPos(window, x, y);
}

void Input::setCursorPos(GLFWwindow* window, double x, double y) {
    glfwSetCursorPos(window, x, y);
}

Input& input() {
    return *currentInput;
}

void setInput(Input* source) {
    currentInput = source != nullptr ? source : &windowLibraryInput;
}

}  // namespace dusk
