#include "game/Game.h"
#include "render/RenderTarget.h"
#include "scene/Camera.h"
#include "scene/Object.h"
#include "scene/ParticleSystem.h"
#include "support/TestScene.h"

#include <gtest/gtest.h>

// Pictures of the real scene (generated models and images, the shipped shaders) in the build's
// run directory, read back from the scene target or the window.
namespace {

using Picture = std::vector<glm::u8vec4>;

class ScenePixelsGLTest : public dusk::test::SceneGLTest {
protected:
    // Two frames of the intro at `pathTime`, or seen from `eye` after it. A frame time of 0
    // keeps the ball and every particle where they are.
    void render(float pathTime, bool particles = true, const glm::vec3* eye = nullptr,
                glm::vec3 target = {}) {
        for (dusk::scene::ParticleSystem* system : game->particleSystems) {
            system->finished = !particles;
        }
        game->introRunning = eye == nullptr;
        game->cameraFrozen = eye != nullptr;
        game->pathTime = pathTime;
        if (eye != nullptr) {
            game->camera->setPositionAndTarget(*eye, target);
        }
        testing::internal::CaptureStdout();
        runFrame(0.0f);
        runFrame(0.0f);
        testing::internal::GetCapturedStdout();
    }
    // The scene target's picture (particles in, lens flare not), or the window's.
    Picture read(bool scene = true) {
        glm::ivec2 size(game->width, game->height);
        Picture picture(size_t(size.x) * size.y);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, scene ? game->sceneTarget->framebuffer : 0);
        glReadPixels(0, 0, size.x, size.y, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
        return picture;
    }
    // The window position (origin bottom left) that shows a world point.
    glm::vec2 pixelOf(const glm::vec3& world) {
        glm::vec2 size(game->width, game->height);
        glm::vec4 clip = game->viewProjection * glm::vec4(world, 1.0f);
        return (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * size - 0.5f;
    }
    glm::vec3 colorAt(const Picture& picture, glm::vec2 window) {
        glm::ivec2 p = glm::round(window);
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x < game->width && p.y < game->height) << "off view";
        return glm::vec3(picture.at(size_t(p.y) * game->width + p.x));
    }
};

TEST_F(ScenePixelsGLTest, FogFillsTheHorizonWhichIsNoFlareSource) {
    const glm::vec3 eye(0.0f, 12.0f, 60.0f), fog(204.0f);
    render(2.0f, true, &eye, glm::vec3(0.0f, 8.0f, 200.0f));
    Picture picture = read();
    // The rim of the ground and the sky just below the horizon behind it are fog; the sky high
    // above shows its own colours.
    for (auto [point, fogged] : {std::pair{glm::vec3(-20, 0, 171), true},
                                 {glm::vec3(20, 0, 171), true},
                                 {glm::vec3(0, 6, 400), true},
                                 {eye + glm::vec3(0, 80, 200), false}}) {
        EXPECT_EQ(glm::length(colorAt(picture, pixelOf(point)) - fog) < 8.0f, fogged) << point.y;
    }
    // Only the glow is a lens-flare source (alpha above 0.85): not the sliver at the horizon
    // that nothing draws, which keeps the clear colour's alpha.
    int sliver = 0, sources = 0;
    for (glm::u8vec4 p : picture) {
        sliver += p.a > 128;
        sources += p.a > 217;
    }
    EXPECT_GT(sliver, game->width * 8) << "no sliver in view";
    EXPECT_EQ(sources, 0);
}

// Normal mapping gives walls and ground their relief; F11 flattens them.
TEST_F(ScenePixelsGLTest, NormalMappingGivesReliefUntilF11) {
    const glm::vec3 eye(-40.0f, 6.0f, 10.0f), target(-20.0f, 4.0f, 5.0f);
    double relief[2] = {0.0, 0.0};  // the colour steps between neighbouring pixels
    for (double& sum : relief) {
        render(2.0f, false, &eye, target);
        Picture picture = read();
        for (size_t i = 1; i < picture.size(); ++i) {
            sum += i % game->width ? glm::length(glm::vec3(picture[i]) - glm::vec3(picture[i - 1]))
                                   : 0.0f;
        }
        game->disableNormalMapping = true;  // F11
    }
    EXPECT_GT(relief[0], 1.1 * relief[1]);
}

TEST_F(ScenePixelsGLTest, SoftParticlesFadeWhereTheMistMeetsTheGround) {
    const glm::vec3 eye(-75.0f, 6.0f, 6.0f), target(0.0f, 1.0f, 0.0f);
    render(2.0f, true, &eye, target);
    Picture soft = read();
    game->disableSoftParticles = true;  // F9
    render(2.0f, true, &eye, target);
    game->disableSoftParticles = false;
    Picture hard = read();
    int changed = 0;
    for (size_t i = 0; i < soft.size(); ++i) {
        changed += glm::length(glm::vec3(soft[i]) - glm::vec3(hard[i])) > 5.0f;
    }
    EXPECT_GT(changed, int(soft.size() / 50));
}

TEST_F(ScenePixelsGLTest, TheGlowThrowsAGhostHalfwayToThePictureCentre) {
    const glm::vec3 eye(11.0f, 23.0f, -12.0f);
    render(2.0f, true, &eye, glm::vec3(20.0f, 22.0f, 0.0f));
    glm::vec2 glow = pixelOf(glm::vec3(game->ball->modelMatrix[3]));
    glm::vec2 ghost = 0.5f * (glow + 0.5f * glm::vec2(game->width, game->height));
    EXPECT_GT(colorAt(read(), glow).r, 240.0f);
    EXPECT_GT(glm::length(colorAt(read(false), ghost)),
              glm::length(colorAt(read(), ghost)) + 20.0f);
}

TEST_F(ScenePixelsGLTest, NoBlackOrInvalidPixelsAlongTheIntro) {
    for (float pathTime : {0.05f, 0.3f, 0.58f, 0.75f, 1.05f, 1.4f}) {
        render(pathTime);
        // A NaN or an infinity in a shader ends up as 0 (or 255) in all channels.
        int black = 0;
        for (const Picture& picture : {read(), read(false)}) {
            for (glm::u8vec4 p : picture) {
                black += glm::all(glm::lessThan(glm::u8vec3(p), glm::u8vec3(4)));
            }
        }
        EXPECT_EQ(black, 0) << "pathTime " << pathTime;
    }
}

}  // namespace
