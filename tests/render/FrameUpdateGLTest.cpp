#include "game/Game.h"
#include "render/Bezier.h"
#include "scene/Camera.h"
#include "scene/Object.h"
#include "support/TestScene.h"

#include <algorithm>
#include <cstring>

namespace {

using dusk::scene::positionOf;

// The path point at t, clamped to the curve (the curve itself is checked in BezierTest).
glm::vec3 curvePoint(const std::vector<glm::vec3>& points, float t) {
    return bezierPoint(points, std::clamp(t, 0.0f, 1.0f));
}

// True when the view has the point straight ahead.
bool looksAt(const glm::mat4& view, const glm::vec3& point) {
    glm::vec3 seen(view * glm::vec4(point, 1.0f));
    return seen.z < 0.0f && glm::length(glm::vec2(seen)) < 1e-3f * glm::length(seen);
}

class FrameUpdateGLTest : public dusk::test::SceneGLTest {
protected:
    glm::vec3 ball() const { return positionOf(game->ball->modelMatrix); }
    glm::vec3 eye() const { return positionOf(game->camera->modelMatrix); }
};

// The whole intro in frames of 0.25 s, while the player holds W, pulls the mouse and toggles
// F10: none of it counts until the flight is over.
TEST_F(FrameUpdateGLTest, TheIntroFliesItsPathThenHandsOverToThePlayer) {
    const std::vector<glm::vec3> path = game->ballPath;
    const glm::vec3 swingFrom(19.0f, 30.0f, 0.0f), swingTo(19.0f, 40.0f, 8.0f);
    int frames = 0;
    for (; game->introRunning && frames < 1000; ++frames) {
        const float before = game->pathTime;
        const glm::vec3 lastBall = ball();
        glm::mat4 camera[2] = {game->camera->modelMatrix, game->camera->viewMatrix};
        keys.down = {GLFW_KEY_W};
        keys.cursorX = 0.0;
        game->cameraFrozen = frames % 2 == 0;
        game->update(0.25f);
        const float now = game->pathTime;
        SCOPED_TRACE(testing::Message() << "pathTime " << before << " to " << now);
        const glm::mat4& view = game->camera->viewMatrix;
        EXPECT_TRUE(view == view) << "a view of NaNs";  // the eye starts on the ball
        if (double(before) < 1.1) {
            // On the path 0.1 behind the ball, looking where the ball was.
            EXPECT_NEAR(glm::distance(eye(), curvePoint(path, before - 0.1f)), 0.0f, 2e-3f);
            EXPECT_TRUE(glm::distance(eye(), lastBall) < 1e-2f ||
                        looksAt(game->camera->viewMatrix, lastBall));
        } else {
            EXPECT_EQ(std::memcmp(camera, &game->camera->modelMatrix, sizeof(glm::mat4)), 0);
            EXPECT_EQ(std::memcmp(camera + 1, &game->camera->viewMatrix, sizeof(glm::mat4)), 0);
        }
        if (double(now) < 1.1) {
            EXPECT_NEAR(glm::distance(ball(), curvePoint(path, now)), 0.0f, 2e-3f);
        } else {
            // Swinging on the segment between two fixed points.
            const glm::vec3 along = glm::normalize(swingTo - swingFrom);
            const glm::vec3 offset = ball() - swingFrom;
            EXPECT_NEAR(glm::length(offset - glm::dot(offset, along) * along), 0.0f, 1e-3f);
            EXPECT_LE(glm::length(offset), glm::distance(swingTo, swingFrom) + 1e-3f);
        }
    }
    EXPECT_NEAR(frames * 0.25f, 42.5f, 0.25f) << "pathTime from -0.1 to 1.6 at 0.04 a second";

    // Then the player flies: W moves the camera 0.2 a frame, unless F10 froze it.
    for (bool frozen : {false, true}) {
        game->cameraFrozen = frozen;
        const glm::vec3 before = eye();
        game->update(0.25f);
        EXPECT_NEAR(glm::distance(eye(), before), frozen ? 0.0f : 0.2f, 1e-4f) << frozen;
    }

    // The ball keeps swinging from end to end, a full swing every pi seconds: its upward passes
    // through the swing's start, in 0.02 s frames over 10 s.
    std::vector<float> passes;
    auto along = [&] { return glm::dot(ball() - swingFrom, swingTo - swingFrom); };
    for (float time = 0.0f, last = along(); time < 10.0f; time += 0.02f) {
        game->update(0.02f);
        const float now = along();
        if (last < 0.0f && now >= 0.0f) {
            passes.push_back(time + 0.02f * last / (last - now));
        }
        last = now;
    }
    ASSERT_GE(passes.size(), 3u);
    for (size_t i = 1; i < passes.size(); ++i) {
        EXPECT_NEAR(passes[i] - passes[i - 1], 3.1416f, 0.03f) << "swing " << i;
    }
}

}  // namespace
