#include "app/Startup.h"
#include "scene/Camera.h"
#include "scene/Input.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

using dusk::scene::Camera;

// Keys and cursor under the test's control; the window handle is never looked at.
class ScriptedInput : public dusk::Input {
public:
    bool isKeyDown(GLFWwindow*, int key) override { return keys.count(key) != 0; }
    void getCursorPos(GLFWwindow*, double* x, double* y) override {
        *x = cursorX;
        *y = cursorY;
    }
    void setCursorPos(GLFWwindow*, double x, double y) override {
        cursorX = x;
        cursorY = y;
        ++warps;
    }

    std::set<int> keys;
    double cursorX = 0.0;
    double cursorY = 0.0;
    int warps = 0;
};

constexpr double centerX = 960.0;
constexpr double centerY = 540.0;

// The direction the view looks along: minus the third row of the view matrix.
glm::vec3 forwardOf(const glm::mat4& view) {
    return -glm::vec3(view[0][2], view[1][2], view[2][2]);
}

glm::vec3 upOf(const glm::mat4& view) {
    return glm::vec3(view[0][1], view[1][1], view[2][1]);
}

float angleBetween(const glm::vec3& a, const glm::vec3& b) {
    float cosine = glm::dot(glm::normalize(a), glm::normalize(b));
    return std::acos(std::fmin(1.0f, std::fmax(-1.0f, cosine)));
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        dusk::setInput(&keys);
        // Odd sizes: the reference point is the integer half of the window, (960, 540).
        savedWidth = windowWidth;
        savedHeight = windowHeight;
        windowWidth = 1921;
        windowHeight = 1081;
    }
    void TearDown() override {
        dusk::setInput(nullptr);
        windowWidth = savedWidth;
        windowHeight = savedHeight;
    }

    Camera makeCamera() const { return Camera(glm::translate(glm::mat4(1.0f), start), nullptr); }

    // One frame with the cursor this far from the reference point and these keys held.
    void frame(Camera& camera, std::set<int> held, double dx = 0.0, double dy = 0.0,
               float frameTime = 1.0f / 60.0f) {
        keys.keys = std::move(held);
        keys.cursorX = centerX + dx;
        keys.cursorY = centerY + dy;
        camera.update(frameTime);
    }

    glm::vec3 eye(const Camera& camera) const {
        return dusk::scene::positionOf(camera.modelMatrix);
    }

    ScriptedInput keys;
    int savedWidth = 0;
    int savedHeight = 0;
    glm::vec3 start{50.0f, 50.0f, 50.0f};
    // The forward and right vectors at the starting angles h = 2, v = 0; right uses 1.57.
    glm::vec3 initialForward{0.9092974f, 0.0f, -0.4161468f};
    glm::vec3 initialRight{static_cast<float>(std::sin(2.0 - 1.57)), 0.0f,
                           static_cast<float>(std::cos(2.0 - 1.57))};
};

TEST_F(CameraTest, ConstructionCentresTheCursorOnTheWindowsHalf) {
    keys.cursorX = 3.0;
    keys.cursorY = 4.0;
    Camera camera = makeCamera();
    EXPECT_EQ(keys.warps, 1);
    EXPECT_EQ(keys.cursorX, centerX);
    EXPECT_EQ(keys.cursorY, centerY);

    EXPECT_EQ(camera.viewMatrix, glm::mat4(1.0f));
    EXPECT_EQ(eye(camera), start);
    EXPECT_EQ(camera.movement, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 2.0f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, 0.0f);
    EXPECT_FLOAT_EQ(camera.speed, 0.2f);
    EXPECT_FLOAT_EQ(camera.mouseSpeed, 0.002f);
    EXPECT_EQ(camera.body, nullptr);
}

TEST_F(CameraTest, StillFrameKeepsPlaceAndRebuildsTheSameView) {
    Camera camera = makeCamera();
    frame(camera, {});
    glm::mat4 first = camera.getViewMatrix();
    expectNear(forwardOf(first), initialForward, 1e-5f);
    EXPECT_NEAR(forwardOf(first).x, 0.909f, 5e-4f);
    EXPECT_NEAR(forwardOf(first).z, -0.416f, 5e-4f);

    frame(camera, {});
    EXPECT_EQ(camera.getViewMatrix(), first);
    EXPECT_EQ(eye(camera), start);
    EXPECT_EQ(camera.horizontalAngle, 2.0f);
    EXPECT_EQ(camera.verticalAngle, 0.0f);
    EXPECT_EQ(keys.cursorX, centerX);
    EXPECT_EQ(keys.cursorY, centerY);

    // The view is a look along the forward vector from the eye.
    glm::vec4 eyeInView = first * glm::vec4(start, 1.0f);
    expectNear(glm::vec3(eyeInView), glm::vec3(0.0f), 1e-4f);
}

TEST_F(CameraTest, EachMovementKeyMovesOneStepAlongItsAxis) {
    struct Case {
        int key;
        glm::vec3 step;
    };
    const std::vector<Case> cases = {
        {GLFW_KEY_UP, 0.2f * initialForward},    {GLFW_KEY_W, 0.2f * initialForward},
        {GLFW_KEY_DOWN, -0.2f * initialForward}, {GLFW_KEY_S, -0.2f * initialForward},
        {GLFW_KEY_RIGHT, 0.2f * initialRight},   {GLFW_KEY_D, 0.2f * initialRight},
        {GLFW_KEY_LEFT, -0.2f * initialRight},   {GLFW_KEY_A, -0.2f * initialRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Camera camera = makeCamera();
        frame(camera, {c.key});
        expectNear(camera.movement, c.step, 1e-6f);
        expectNear(eye(camera), start + c.step, 1e-5f);
        // The view moved with the eye and still looks the same way.
        expectNear(forwardOf(camera.viewMatrix), initialForward, 1e-5f);
    }
}

TEST_F(CameraTest, KeysOfOneLineCountOnceAndOppositesCancel) {
    Camera camera = makeCamera();
    frame(camera, {GLFW_KEY_W, GLFW_KEY_UP});
    EXPECT_NEAR(glm::length(eye(camera) - start), 0.2f, 1e-5f);

    Camera cancelled = makeCamera();
    frame(cancelled, {GLFW_KEY_W, GLFW_KEY_S});
    frame(cancelled, {GLFW_KEY_A, GLFW_KEY_D});
    frame(cancelled, {GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_RIGHT});
    EXPECT_EQ(cancelled.movement, glm::vec3(0.0f));
    EXPECT_EQ(eye(cancelled), start);

    // Diagonal movement adds the two steps and is faster than either.
    Camera diagonal = makeCamera();
    frame(diagonal, {GLFW_KEY_W, GLFW_KEY_D});
    expectNear(diagonal.movement, 0.2f * (initialForward + initialRight), 1e-6f);
    EXPECT_NEAR(glm::length(eye(diagonal) - start), 0.283f, 1e-3f);
}

TEST_F(CameraTest, CursorOffsetTurnsAndIsTakenBackEveryFrame) {
    Camera camera = makeCamera();
    frame(camera, {}, 10.0, 0.0);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 2.0f - 0.02f);  // right of the point turns right
    EXPECT_EQ(keys.cursorX, centerX);
    EXPECT_EQ(keys.cursorY, centerY);

    frame(camera, {}, 0.0, 25.0);
    EXPECT_FLOAT_EQ(camera.verticalAngle, -0.05f);  // below the point looks down
    EXPECT_LT(forwardOf(camera.viewMatrix).y, 0.0f);
    EXPECT_NEAR(forwardOf(camera.viewMatrix).y, std::sin(-0.05f), 1e-5f);

    // Fractional offsets count in full; a long-held offset turns at once.
    frame(camera, {}, -10.5, -325.0);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 2.0f - 0.02f + 0.021f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, -0.05f + 0.65f);
    EXPECT_EQ(keys.warps, 4);
}

TEST_F(CameraTest, LookingUpAndMovingForwardClimbs) {
    Camera camera = makeCamera();
    frame(camera, {}, 0.0, -250.0);  // pitch 0.5
    frame(camera, {GLFW_KEY_W});
    EXPECT_NEAR(eye(camera).y - start.y, 0.2f * std::sin(0.5f), 1e-5f);
}

TEST_F(CameraTest, PitchPastAQuarterTurnGoesOverTheTopWithoutAJump) {
    Camera camera = makeCamera();
    camera.verticalAngle = 1.45f;
    frame(camera, {});
    glm::vec3 forward = forwardOf(camera.viewMatrix);
    glm::vec3 up = upOf(camera.viewMatrix);
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        frame(camera, {}, 0.0, -10.0);  // 0.02 radians up each frame
        glm::vec3 nextForward = forwardOf(camera.viewMatrix);
        glm::vec3 nextUp = upOf(camera.viewMatrix);
        EXPECT_NEAR(angleBetween(forward, nextForward), 0.02f, 1e-3f);
        EXPECT_NEAR(angleBetween(up, nextUp), 0.02f, 1e-3f);
        forward = nextForward;
        up = nextUp;
    }
    EXPECT_NEAR(camera.verticalAngle, 1.75f, 1e-4f);  // not clamped
    EXPECT_LT(up.y, 0.0f);                            // upside down now
    EXPECT_NEAR(forward.y, std::sin(1.75f), 1e-4f);
}

TEST_F(CameraTest, FrameTimeNeverChangesTheResult) {
    struct Step {
        std::set<int> held;
        double dx;
        double dy;
    };
    std::vector<Step> script;
    for (int i = 0; i < 60; ++i) {
        script.push_back({{GLFW_KEY_W}, 0.0, 0.0});
    }
    script.push_back({{GLFW_KEY_D, GLFW_KEY_UP}, 7.0, -3.0});
    script.push_back({{GLFW_KEY_A}, -12.0, 40.0});

    Camera fast = makeCamera();
    Camera slow = makeCamera();
    for (size_t i = 0; i < script.size(); ++i) {
        frame(fast, script[i].held, script[i].dx, script[i].dy, 1.0f / 60.0f);
        frame(slow, script[i].held, script[i].dx, script[i].dy, i % 2 == 0 ? 0.0f : 1000.0f);
        if (i == 59) {
            // Sixty frames of W: twelve units, however long the frames took.
            EXPECT_NEAR(glm::length(eye(fast) - start), 12.0f, 1e-3f);
        }
    }
    EXPECT_EQ(fast.modelMatrix, slow.modelMatrix);
    EXPECT_EQ(fast.viewMatrix, slow.viewMatrix);
    EXPECT_EQ(fast.horizontalAngle, slow.horizontalAngle);
    EXPECT_EQ(fast.verticalAngle, slow.verticalAngle);
}

TEST_F(CameraTest, PlacingSetsTranslationAndLookAtButKeepsTheAngles) {
    Camera camera = makeCamera();
    frame(camera, {GLFW_KEY_S}, 15.0, 5.0);
    const float yaw = camera.horizontalAngle;
    const float pitch = camera.verticalAngle;
    const glm::vec3 movement = camera.movement;

    glm::vec3 position(1.0f, 2.0f, 3.0f);
    glm::vec3 target(4.0f, 2.0f, -1.0f);
    camera.setPositionAndTarget(position, target);
    EXPECT_EQ(camera.modelMatrix, glm::translate(glm::mat4(1.0f), position));
    EXPECT_EQ(camera.horizontalAngle, yaw);
    EXPECT_EQ(camera.verticalAngle, pitch);
    EXPECT_EQ(camera.movement, movement);

    // The eye goes to the origin and the target straight ahead, 5 units down -z, upright.
    glm::mat4 view = camera.getViewMatrix();
    expectNear(glm::vec3(view * glm::vec4(position, 1.0f)), glm::vec3(0.0f), 1e-5f);
    expectNear(glm::vec3(view * glm::vec4(target, 1.0f)), glm::vec3(0.0f, 0.0f, -5.0f), 1e-5f);
    expectNear(upOf(view), glm::vec3(0.0f, 1.0f, 0.0f), 1e-6f);

    // Free flight resumes from the placed eye, looking by the kept angles again.
    frame(camera, {});
    EXPECT_EQ(eye(camera), position);
    glm::vec3 byAngles(std::cos(pitch) * std::sin(yaw), std::sin(pitch),
                       std::cos(pitch) * std::cos(yaw));
    expectNear(forwardOf(camera.viewMatrix), byAngles, 1e-5f);
}

TEST_F(CameraTest, EyeOnItsOwnTargetKeepsTheLastDirection) {
    // The intro starts with the eye on the ball: the view must stay a real view.
    Camera camera = makeCamera();
    glm::vec3 first(-96.2405f, 5.84183f, 2.36629f);
    glm::vec3 second(-71.5067f, 11.1463f, -16.9241f);
    camera.setPositionAndTarget(first, second);
    const glm::vec3 lookingAt = forwardOf(camera.viewMatrix);

    glm::vec3 moved = first + glm::vec3(0.5f, 0.0f, 0.0f);
    camera.setPositionAndTarget(moved, moved);
    glm::mat4 view = camera.getViewMatrix();
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_TRUE(std::isfinite(view[column][row])) << column << ", " << row;
        }
    }
    EXPECT_EQ(eye(camera), moved);
    expectNear(glm::vec3(view * glm::vec4(moved, 1.0f)), glm::vec3(0.0f), 1e-4f);
    expectNear(forwardOf(view), lookingAt, 1e-5f);
}

}  // namespace
