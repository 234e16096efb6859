#include "scene/Camera.h"

#include "app/DebugKeysScriptedInput.h"
#include "app/Startup.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

namespace {

using dusk::scene::Camera;
using dusk::scene::positionOf;

// Where a view looks, and its right-hand side.
glm::vec3 forwardOf(const glm::mat4& view) {
    return -glm::vec3(view[0][2], view[1][2], view[2][2]);
}
glm::vec3 rightOf(const glm::mat4& view) {
    return glm::vec3(view[0][0], view[1][0], view[2][0]);
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        dusk::setInput(&keys);
        // An odd window: the reference point is its integer half.
        windowWidth = 641;
        windowHeight = 481;
        camera = std::make_unique<Camera>(glm::translate(glm::mat4(1.0f), start), nullptr);
    }
    void TearDown() override { dusk::setInput(nullptr); }

    // One frame with these keys held and the cursor this far from the window's centre.
    void frame(Camera& eye, std::set<int> held, double dx = 0.0, double dy = 0.0,
               float frameTime = 1.0f / 60.0f) {
        keys.down = std::move(held);
        keys.cursorX = 320.0 + dx;
        keys.cursorY = 240.0 + dy;
        eye.update(frameTime);
    }

    dusk::test::ScriptedKeys keys;
    const glm::vec3 start{50.0f, 50.0f, 50.0f};
    std::unique_ptr<Camera> camera;
};

TEST_F(CameraTest, KeysMoveOneFixedStepAlongTheView) {
    frame(*camera, {});
    const glm::vec3 forward = forwardOf(camera->viewMatrix);
    const glm::vec3 right = rightOf(camera->viewMatrix);
    using Case = std::tuple<std::set<int>, float, float>;  // steps along the view and to its right
    for (auto [held, ahead, aside] : {
             Case{{GLFW_KEY_W}, 1, 0}, Case{{GLFW_KEY_UP}, 1, 0}, Case{{GLFW_KEY_S}, -1, 0},
             Case{{GLFW_KEY_DOWN}, -1, 0}, Case{{GLFW_KEY_D}, 0, 1}, Case{{GLFW_KEY_RIGHT}, 0, 1},
             Case{{GLFW_KEY_A}, 0, -1}, Case{{GLFW_KEY_LEFT}, 0, -1},
             Case{{GLFW_KEY_W, GLFW_KEY_UP}, 1, 0},  // one line of keys counts once
             Case{{GLFW_KEY_W, GLFW_KEY_S}, 0, 0}, Case{{GLFW_KEY_A, GLFW_KEY_D}, 0, 0},
             Case{{GLFW_KEY_W, GLFW_KEY_D}, 1, 1},  // diagonally faster
         }) {
        const glm::vec3 before = positionOf(camera->modelMatrix);
        frame(*camera, held);
        const glm::vec3 step = 0.2f * (ahead * forward + aside * right);
        EXPECT_NEAR(glm::length(positionOf(camera->modelMatrix) - before - step), 0.0f, 1e-3f)
            << ahead << aside;
        EXPECT_NEAR(glm::length(forwardOf(camera->viewMatrix) - forward), 0.0f, 1e-5f);
    }
}

TEST_F(CameraTest, CursorOffsetTurnsTheViewAndGoesBackToTheWindowCentre) {
    EXPECT_EQ(glm::dvec2(keys.cursorX, keys.cursorY), glm::dvec2(320.0, 240.0));
    frame(*camera, {});
    for (auto [dx, dy] : {std::pair{40.0, 0.0}, {0.0, 25.0}, {-10.5, -150.0}}) {
        const glm::mat4 before = camera->viewMatrix;
        frame(*camera, {}, dx, dy);
        const glm::vec3 forward = forwardOf(camera->viewMatrix);
        // 0.002 radians a pixel; right of the centre turns right, below it looks down.
        const float turned = std::acos(glm::dot(forward, forwardOf(before)));
        EXPECT_NEAR(turned, 0.002f * std::hypot(dx, dy), 2e-3f) << dx << ", " << dy;
        EXPECT_TRUE(dx == 0 || (glm::dot(forward, rightOf(before)) > 0.0f) == (dx > 0));
        EXPECT_EQ(forward.y<forwardOf(before).y, dy> 0) << dy;
        EXPECT_EQ(glm::dvec2(keys.cursorX, keys.cursorY), glm::dvec2(320.0, 240.0));
    }
}

}  // namespace
