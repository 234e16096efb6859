#include "support/GLContext.h"

#include "app/Startup.h"

#include <cstdio>
#include <cstdlib>

namespace dusk::test {

GLFWwindow* sharedContext() {
    static GLFWwindow* window = nullptr;
    if (window != nullptr || !glfwInit()) {
        return window;
    }
    setContextHints();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* made = glfwCreateWindow(320, 240, "Dusklorne test", nullptr, nullptr);
    glfwMakeContextCurrent(made);
    glewExperimental = GL_TRUE;
    if (made != nullptr && glewInit() == GLEW_OK) {
        window = made;
        windowWidth = 320;
        windowHeight = 240;
    }
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
    if (window == nullptr) {
        // Fixtures build on the context in their own set-up: none can go on without it.
        std::fprintf(stderr, "no GL 3.3 core context (is DISPLAY set to an X server?)\n");
        std::exit(1);
    }
    takeGlErrors();
}

void GLTest::TearDown() {
    if (window != nullptr) {
        EXPECT_EQ(takeGlErrors(), 0) << "the test left GL errors behind";
    }
}

}  // namespace dusk::test
