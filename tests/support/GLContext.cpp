#include "support/GLContext.h"

#include "app/Startup.h"

#include <cstdio>
#include <cstdlib>

namespace dusk::test {

int takeGlErrors() {
    int count = 0;
    while (glGetError() != GL_NO_ERROR) {
        ++count;
    }
    return count;
}

std::vector<unsigned char> readPixels(GLuint framebuffer, int width, int height) {
    std::vector<unsigned char> pixels(size_t(width) * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return pixels;
}

void GLTest::SetUp() {
    static GLFWwindow* shared = nullptr;
    if (shared == nullptr && glfwInit()) {
        setContextHints();
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        shared = glfwCreateWindow(320, 240, "Dusklorne test", nullptr, nullptr);
        glfwMakeContextCurrent(shared);
        glewExperimental = GL_TRUE;
        shared = glewInit() == GLEW_OK ? shared : nullptr;
        windowWidth = 320;
        windowHeight = 240;
    }
    if (shared == nullptr) {
        // Fixtures build on the context in their own set-up: none can go on without it.
        std::fprintf(stderr, "no GL 3.3 core context (is DISPLAY set to an X server?)\n");
        std::exit(1);
    }
    window = shared;
    takeGlErrors();
}

void GLTest::TearDown() {
    EXPECT_EQ(takeGlErrors(), 0) << "the test left GL errors behind";
}

}  // namespace dusk::test
