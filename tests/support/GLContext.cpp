#include "support/GLContext.h"

#include "app/Startup.h"

#include <cstdlib>

namespace dusk::test {

namespace {

constexpr int contextWidth = 320;
constexpr int contextHeight = 240;

}  // namespace

GLFWwindow* sharedContext() {
    static GLFWwindow* window = nullptr;
    if (window != nullptr) {
        return window;
    }
    if (!glfwInit()) {
        return nullptr;
    }
    setContextHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(contextWidth, contextHeight, "Dusklorne test", nullptr, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        return nullptr;
    }
    takeGlErrors();
    windowWidth = contextWidth;
    windowHeight = contextHeight;
    return window;
}

int takeGlErrors() {
    int count = 0;
    while (glGetError() != GL_NO_ERROR) {
        ++count;
    }
    return count;
}

void GLTest::SetUp() {
    window = sharedContext();
    ASSERT_NE(window, nullptr) << "no GL 3.3 core context (is DISPLAY set to an X server?)";
    glfwMakeContextCurrent(window);
    takeGlErrors();
}

void GLTest::TearDown() {
    if (window != nullptr) {
        EXPECT_EQ(takeGlErrors(), 0) << "the test left GL errors behind";
    }
}

}  // namespace dusk::test
