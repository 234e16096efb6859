#include "app/Startup.h"
#include "scene/Camera.h"
#include "scene/Input.h"
#include "support/EndToEnd.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

namespace x11 = dusk::test::x11;
using dusk::scene::Camera;

const char* const windowName = "Dusklorne camera test";

// The pointer's position on the screen, from the X server.
bool pointerOnScreen(int* x, int* y) {
    std::string shell = x11::run("xdotool getmouselocation --shell");
    return std::sscanf(shell.c_str(), "X=%d\nY=%d", x, y) == 2;
}

glm::vec3 forwardOf(const glm::mat4& view) {
    return -glm::vec3(view[0][2], view[1][2], view[2][2]);
}

// A visible window of our own: the shared test context is hidden and cannot take focus. The
// camera reads the real window library here, with the X server's real pointer and keyboard;
// the end-to-end group runs alone, so nothing else moves the pointer meanwhile.
class CameraE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        dusk::setInput(nullptr);
        // An X server without -noreset resets when its last client leaves, as the previous
        // test's did, and refuses connections for a moment.
        bool initialized = glfwInit();
        for (int i = 0; i < 50 && !initialized; ++i) {
            dusk::test::sleepSeconds(0.1);
            initialized = glfwInit();
        }
        ASSERT_TRUE(initialized) << "no X server (is DISPLAY set?)";
        glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
        window = glfwCreateWindow(320, 240, windowName, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        windowId = x11::waitForWindow(windowName, 5.0);
        ASSERT_FALSE(windowId.empty());
        // The window library moves the pointer only for a focused window.
        x11::run("xdotool windowfocus --sync " + windowId);
        ASSERT_TRUE(waitFor([&] { return glfwGetWindowAttrib(window, GLFW_FOCUSED) != 0; }));
        glfwGetWindowPos(window, &windowX, &windowY);
        savedWidth = windowWidth;
        savedHeight = windowHeight;
        windowWidth = 320;
        windowHeight = 240;
    }

    void TearDown() override {
        x11::run("xdotool keyup w Up S 2>/dev/null");
        if (window != nullptr) {
            glfwDestroyWindow(window);
        }
        glfwTerminate();
        windowWidth = savedWidth;
        windowHeight = savedHeight;
    }

    template <typename Condition> bool waitFor(Condition condition) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            glfwPollEvents();
            dusk::test::sleepSeconds(0.01);
        }
        return true;
    }

    bool keyReaches(int key, int state) {
        return waitFor([&] { return glfwGetKey(window, key) == state; });
    }

    // The reference point, the window's centre, on the screen.
    int centreX() const { return windowX + windowWidth / 2; }
    int centreY() const { return windowY + windowHeight / 2; }

    void movePointer(int x, int y) {
        x11::run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
    }

    GLFWwindow* window = nullptr;
    std::string windowId;
    int windowX = 0;
    int windowY = 0;
    int savedWidth = 0;
    int savedHeight = 0;
};

TEST_F(CameraE2ETest, RealPointerTurnsTheCameraAndIsPulledBack) {
    movePointer(5, 5);
    Camera camera(glm::mat4(1.0f), window);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(pointerOnScreen(&x, &y));
    EXPECT_EQ(x, centreX());
    EXPECT_EQ(y, centreY());

    // 40 pixels right and 20 up: turn right by 0.08 and look up by 0.04.
    movePointer(centreX() + 40, centreY() - 20);
    camera.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 2.0f - 0.08f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, 0.04f);
    EXPECT_NEAR(forwardOf(camera.viewMatrix).y, std::sin(0.04f), 1e-5f);
    ASSERT_TRUE(pointerOnScreen(&x, &y));
    EXPECT_EQ(x, centreX());
    EXPECT_EQ(y, centreY());

    // Left where it was put, the pointer turns nothing further.
    camera.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 2.0f - 0.08f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, 0.04f);
}

TEST_F(CameraE2ETest, RealKeysMoveTheCameraOneStepPerFrame) {
    Camera camera(glm::translate(glm::mat4(1.0f), glm::vec3(50.0f)), window);
    camera.update(0.0f);
    const glm::vec3 forward = forwardOf(camera.viewMatrix);
    const glm::vec3 start = dusk::scene::positionOf(camera.modelMatrix);

    x11::run("xdotool keydown w");
    ASSERT_TRUE(keyReaches(GLFW_KEY_W, GLFW_PRESS));
    camera.update(1.0f / 60.0f);
    glm::vec3 moved = dusk::scene::positionOf(camera.modelMatrix) - start;
    EXPECT_NEAR(glm::length(moved), 0.2f, 1e-5f);
    EXPECT_GT(glm::dot(moved, forward), 0.199f);

    // The Up arrow is the same line as W: still one step, not two.
    x11::run("xdotool keydown Up");
    ASSERT_TRUE(keyReaches(GLFW_KEY_UP, GLFW_PRESS));
    camera.update(1.0f / 60.0f);
    EXPECT_NEAR(glm::length(camera.movement), 0.2f, 1e-5f);

    // S against W cancels.
    x11::run("xdotool keydown s");
    ASSERT_TRUE(keyReaches(GLFW_KEY_S, GLFW_PRESS));
    glm::vec3 before = dusk::scene::positionOf(camera.modelMatrix);
    camera.update(1.0f / 60.0f);
    EXPECT_EQ(dusk::scene::positionOf(camera.modelMatrix), before);

    x11::run("xdotool keyup w Up s");
    ASSERT_TRUE(keyReaches(GLFW_KEY_W, GLFW_RELEASE));
    ASSERT_TRUE(keyReaches(GLFW_KEY_UP, GLFW_RELEASE));
    ASSERT_TRUE(keyReaches(GLFW_KEY_S, GLFW_RELEASE));
    camera.update(1.0f / 60.0f);
    EXPECT_EQ(camera.movement, glm::vec3(0.0f));
}

}  // namespace
