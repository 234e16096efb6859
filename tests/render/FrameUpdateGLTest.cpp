#include "game/Game.h"

#include "app/DebugKeysScriptedInput.h"
#include "game/PhysicsWorld.h"
#include "scene/Camera.h"
#include "scene/Object.h"
#include "scene/ParticleSystem.h"
#include "support/GLContext.h"
#include "support/TestScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using dusk::scene::positionOf;

// The curve through the Bernstein form, in double: an independent way to the path point.
glm::vec3 curvePoint(const std::vector<glm::vec3>& points, double t) {
    const size_t n = points.size() - 1;
    glm::dvec3 sum(0.0);
    double binomial = 1.0;
    for (size_t i = 0; i <= n; ++i) {
        sum += glm::dvec3(points[i]) * (binomial * std::pow(t, static_cast<double>(i)) *
                                        std::pow(1.0 - t, static_cast<double>(n - i)));
        binomial = binomial * static_cast<double>(n - i) / static_cast<double>(i + 1);
    }
    return glm::vec3(sum);
}

double clamped(float t) {
    return t > 1.0f ? 1.0 : (t <= 0.0f ? 0.0 : static_cast<double>(t));
}

void expectPointNear(const glm::vec3& actual, const glm::vec3& expected, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, 2e-3f) << what;
    EXPECT_NEAR(actual.y, expected.y, 2e-3f) << what;
    EXPECT_NEAR(actual.z, expected.z, 2e-3f) << what;
}

// Bit for bit: a camera that stands still keeps even a view it could not compute.
bool same(const glm::mat4& a, const glm::mat4& b) {
    return std::memcmp(&a, &b, sizeof(glm::mat4)) == 0;
}

// True when the view puts the point straight ahead of the eye.
bool looksAt(const glm::mat4& view, const glm::vec3& point) {
    glm::vec3 seen = glm::vec3(view * glm::vec4(point, 1.0f));
    float distance = glm::length(seen);
    return distance > 0.0f && std::fabs(seen.x) < 1e-3f * distance &&
           std::fabs(seen.y) < 1e-3f * distance && seen.z < 0.0f;
}

glm::vec3 swingPoint(float pathTime) {
    float f = static_cast<float>(std::sin(static_cast<double>(pathTime * 50.0f)));
    return {19.0f, 30.0f + 10.0f * f, 8.0f * f};
}

glm::mat4 cameraProjectionFor(const Game& game) {
    return glm::perspective(1.0471975803375244f,
                            static_cast<float>(game.width) / static_cast<float>(game.height), 0.1f,
                            1000.0f);
}

class FrameUpdateGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        keys.cursorX = 960.0;
        keys.cursorY = 540.0;
        scene =
            std::make_unique<dusk::test::TestScene>(window, dusk::test::freshTestFolder("render"));
        game = scene->game;
        // The scene assembly leaves the ball at the first path point.
        game->ball->setModelMatrix(glm::translate(glm::mat4(1.0f), game->ballPath[0]));
        tablePath = Game(nullptr, false).ballPath;
    }
    void TearDown() override {
        for (btRigidBody* body : bodies) {
            getDynamicsWorld()->removeRigidBody(body);
        }
        dusk::test::restoreDefaultGlState();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    glm::vec3 ballPosition() const { return positionOf(game->ball->modelMatrix); }
    glm::vec3 cameraPosition() const { return positionOf(game->camera->modelMatrix); }

    // Holds W and moves the mouse, as a player would.
    void steer() {
        keys.down = {GLFW_KEY_W};
        keys.cursorX = 1000.0;
        keys.cursorY = 500.0;
    }

    dusk::test::ScriptedKeys keys;
    std::unique_ptr<dusk::test::TestScene> scene;
    Game* game = nullptr;
    std::vector<glm::vec3> tablePath;
    std::vector<btRigidBody*> bodies;
};

// The whole intro in frames of 0.25 s, each checked against the phase it is in.
TEST_F(FrameUpdateGLTest, TheIntroRunsThroughItsPhases) {
    const float frameTime = 0.25f;
    int phaseFrames[6] = {};
    for (int frame = 0; game->introRunning; ++frame) {
        ASSERT_LT(frame, 1000) << "the intro must end once the path parameter passes 1.6";
        const float before = game->pathTime;
        const glm::vec3 oldBall = ballPosition();
        const glm::mat4 oldCameraMatrix = game->camera->modelMatrix;
        const glm::mat4 oldView = game->camera->getViewMatrix();
        steer();  // the player's input counts for nothing while the intro runs

        game->update(frameTime);
        const float now = game->pathTime;
        ASSERT_EQ(now, before + game->pathSpeed * frameTime);
        std::string at = "pathTime " + std::to_string(before) + " -> " + std::to_string(now);

        if (static_cast<double>(before) < 1.1) {
            // On the camera path, 0.1 behind, looking where the ball was.
            expectPointNear(cameraPosition(), curvePoint(tablePath, clamped(before - 0.1f)), at);
            // Where the eye meets the ball (both paths start and end at the same point) there
            // is no direction to look in.
            if (glm::length(cameraPosition() - oldBall) > 1e-2f) {
                EXPECT_TRUE(looksAt(game->camera->getViewMatrix(), oldBall)) << at;
            }
            if (before <= 0.1f) {
                EXPECT_EQ(cameraPosition(), tablePath.front()) << at;
            }
        } else {
            EXPECT_TRUE(same(game->camera->modelMatrix, oldCameraMatrix)) << at;
            EXPECT_TRUE(same(game->camera->getViewMatrix(), oldView)) << at;
        }

        if (static_cast<double>(now) < 1.1) {
            expectPointNear(ballPosition(), curvePoint(tablePath, clamped(now)), at);
            EXPECT_EQ(game->ballPath, tablePath) << at;
            if (now <= 0.0f) {
                EXPECT_EQ(ballPosition(), tablePath.front()) << at;
            }
            if (now >= 1.0f) {
                expectPointNear(ballPosition(), tablePath.back(), at);
            }
        } else {
            EXPECT_EQ(ballPosition(), swingPoint(now)) << at;
        }
        EXPECT_EQ(game->cameraPath, tablePath) << at;
        EXPECT_EQ(game->introRunning, static_cast<double>(now) <= 1.6) << at;

        int phase = now < 0.0f ? 0 : now < 0.1f ? 1 : now < 1.0f ? 2 : now < 1.1f ? 3 : 4;
        if (static_cast<double>(now) > 1.6) {
            phase = 5;
        }
        ++phaseFrames[phase];
    }
    for (int phase = 0; phase < 6; ++phase) {
        EXPECT_GT(phaseFrames[phase], 0) << "no frame in phase " << phase;
    }
    // -0.1 to 1.6 at 0.01 a frame.
    int frames = 0;
    for (int count : phaseFrames) {
        frames += count;
    }
    EXPECT_NEAR(frames, 170, 1);
}

TEST_F(FrameUpdateGLTest, TheCameraReachesTheEndOfItsPathAtOnePointOne) {
    game->pathTime = std::nextafter(1.1f, 0.0f);
    game->update(0.0f);
    expectPointNear(cameraPosition(), tablePath.back(), "just before 1.1");
}

TEST_F(FrameUpdateGLTest, AFrameOfNoTimeMovesNothingButStillUpdatesTheParticles) {
    game->pathTime = 0.5f;
    game->update(0.25f);
    const float pathTime = game->pathTime;
    const glm::vec3 ball = ballPosition();
    const glm::mat4 camera = game->camera->modelMatrix;

    game->update(0.0f);
    EXPECT_EQ(game->pathTime, pathTime);
    EXPECT_EQ(ballPosition(), ball);
    EXPECT_TRUE(game->introRunning);
    // The camera is placed from the path parameter before the frame adds to it: it catches up
    // once, then stays.
    EXPECT_NE(game->camera->modelMatrix, camera);
    const glm::mat4 caughtUp = game->camera->modelMatrix;
    for (dusk::scene::ParticleSystem* system : game->particleSystems) {
        system->frameTime = 0.5f;
    }
    game->update(0.0f);
    EXPECT_EQ(game->camera->modelMatrix, caughtUp);
    EXPECT_EQ(ballPosition(), ball);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(game->particleSystems[i]->frameTime, 0.0f) << "particle system " << i;
    }
    EXPECT_EQ(game->particleSystems[2]->emitterPosition, ball);
}

TEST_F(FrameUpdateGLTest, BetweenOnePointOneAndOnePointSixTheCameraStandsStill) {
    game->pathTime = 1.15f;
    game->update(0.1f);
    const glm::mat4 placed = game->camera->modelMatrix;
    const glm::mat4 view = game->camera->getViewMatrix();
    while (static_cast<double>(game->pathTime) <= 1.6) {
        steer();
        game->cameraFrozen = !game->cameraFrozen;
        game->update(0.5f);
        EXPECT_TRUE(same(game->camera->modelMatrix, placed)) << game->pathTime;
        EXPECT_TRUE(same(game->camera->getViewMatrix(), view)) << game->pathTime;
    }
}

// F10 freezes the player's camera only: during the flight the path still places it.
TEST_F(FrameUpdateGLTest, FreezingCountsOnlyAfterTheIntro) {
    game->pathTime = 0.5f;
    game->cameraFrozen = true;
    const glm::vec3 before = cameraPosition();
    game->update(0.25f);
    expectPointNear(cameraPosition(), curvePoint(tablePath, 0.4), "frozen during the flight");
    EXPECT_NE(cameraPosition(), before);

    game->pathTime = 1.61f;
    game->cameraFrozen = false;
    game->update(0.1f);
    ASSERT_FALSE(game->introRunning);

    // The player's camera: W moves it 0.2 a frame, unless frozen.
    keys.down = {GLFW_KEY_W};
    glm::vec3 start = cameraPosition();
    game->update(0.1f);
    EXPECT_NEAR(glm::length(cameraPosition() - start), 0.2f, 1e-4f);

    game->cameraFrozen = true;
    start = cameraPosition();
    const glm::mat4 view = game->camera->getViewMatrix();
    const glm::vec3 ball = ballPosition();
    steer();
    game->update(0.1f);
    EXPECT_EQ(cameraPosition(), start);
    EXPECT_EQ(game->camera->getViewMatrix(), view);
    EXPECT_NE(ballPosition(), ball) << "the ball swings on";

    game->cameraFrozen = false;
    game->update(0.1f);
    EXPECT_NE(cameraPosition(), start);
}

TEST_F(FrameUpdateGLTest, AfterOnePointOneTheBallSwingsBetweenTwoFixedPoints) {
    game->pathTime = 1.3f;
    for (int frame = 0; frame < 3; ++frame) {
        game->update(0.1f);
        const float f = static_cast<float>(std::sin(static_cast<double>(game->pathTime * 50.0f)));
        const glm::vec3 ball = ballPosition();
        EXPECT_EQ(ball.x, 19.0f);
        EXPECT_FLOAT_EQ(ball.y, 30.0f + 10.0f * f);
        EXPECT_FLOAT_EQ(ball.z, 8.0f * f);
        EXPECT_EQ(game->ballPath, (std::vector<glm::vec3>{glm::vec3(19.0f, 30.0f, 0.0f),
                                                          glm::vec3(19.0f, 40.0f, 8.0f)}));
        EXPECT_EQ(game->cameraPath, tablePath);
    }
}

// 1.1f and 1.6f lie just above the doubles 1.1 and 1.6: compared in double, they are past them.
TEST_F(FrameUpdateGLTest, PhaseLimitsAreComparedInDouble) {
    game->pathTime = std::nextafter(1.1f, 0.0f);
    game->update(0.0f);
    expectPointNear(ballPosition(), tablePath.back(), "just below 1.1");
    EXPECT_EQ(game->ballPath, tablePath);

    game->pathTime = 1.1f;
    game->update(0.0f);
    EXPECT_EQ(ballPosition(), swingPoint(1.1f)) << "exactly one branch runs at the float 1.1";
    EXPECT_EQ(game->ballPath.size(), 2u);

    game->pathTime = std::nextafter(1.6f, 0.0f);
    game->update(0.0f);
    EXPECT_TRUE(game->introRunning);
    game->pathTime = 1.6f;
    game->update(0.0f);
    EXPECT_FALSE(game->introRunning);

    // Once over, the intro does not come back.
    game->pathTime = 0.5f;
    game->update(0.0f);
    EXPECT_FALSE(game->introRunning);
}

// Each system gets its emitter and camera position, the camera's view and a fresh projection.
TEST_F(FrameUpdateGLTest, ParticleSystemsGetTheirEmittersAndCameraPositions) {
    // In the still phase nothing moves the camera, so its matrix and its view can disagree.
    game->pathTime = 1.2f;
    const glm::vec3 placedAt(5.0f, 6.0f, 7.0f);
    const glm::vec3 seenFrom(-8.0f, 9.0f, 10.0f);
    game->camera->modelMatrix = glm::translate(glm::mat4(1.0f), placedAt);
    game->camera->viewMatrix = glm::lookAt(seenFrom, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    game->firePositions = {glm::vec3(0.0f, 0.0f, 0.0f), glm::vec3(10.0f, 20.0f, 30.0f)};
    game->update(0.1f);

    const glm::vec3 emitters[4] = {glm::vec3(10.0f, 20.0f, 30.0f), glm::vec3(0.0f), ballPosition(),
                                   glm::vec3(23.7951f, 31.1753f, -1.71746f)};
    for (int i = 0; i < 4; ++i) {
        dusk::scene::ParticleSystem* system = game->particleSystems[i];
        SCOPED_TRACE("particle system " + std::to_string(i));
        EXPECT_EQ(system->emitterPosition, emitters[i]);
        EXPECT_EQ(system->view, game->camera->getViewMatrix());
        EXPECT_EQ(system->projection, cameraProjectionFor(*game));
        EXPECT_EQ(system->frameTime, 0.1f);
        if (i >= 2) {
            EXPECT_EQ(system->cameraPosition, placedAt);
        } else {
            expectPointNear(system->cameraPosition, seenFrom, "eye of the view");
        }
    }

    // The first system burns on the curve of the fire positions.
    game->pathTime = 0.5f;
    game->introRunning = true;
    game->update(0.0f);
    expectPointNear(game->particleSystems[0]->emitterPosition, glm::vec3(5.0f, 10.0f, 15.0f),
                    "halfway along the fire positions");
}

TEST_F(FrameUpdateGLTest, EveryFrameStepsThePhysicsWorld) {
    btBoxShape box(btVector3(1.0f, 1.0f, 1.0f));
    btRigidBody* body = createRigidBody(&box, 1.0f, 0.0f, 5000.0f, 0.0f);
    bodies.push_back(body);
    body->setActivationState(DISABLE_DEACTIVATION);

    game->update(0.0f);
    EXPECT_EQ(body->getLinearVelocity().y(), 0.0f);
    // Six sub-steps of 1/60 s under a gravity of 200.
    game->update(0.1f);
    EXPECT_NEAR(body->getLinearVelocity().y(), -20.0f, 1e-3f);
}

}  // namespace
