#include "app/DebugKeysScriptedInput.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/FramePasses.h"
#include "render/RenderTarget.h"
#include "scene/Camera.h"
#include "scene/Input.h"
#include "scene/ParticleSystem.h"
#include "support/GLContext.h"
#include "support/TestScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

// Pictures of the real scene (generated models and images, the shipped shaders) in the build's
// run directory, read back from the scene target or the window.
namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
    float luminance(int x, int y) const {
        const unsigned char* p = at(x, y);
        return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
    }
    // Mean luminance of the (2r+1)^2 pixels around (x, y).
    float meanLuminance(int x, int y, int r) const {
        float sum = 0.0f;
        int n = 0;
        for (int j = y - r; j <= y + r; ++j) {
            for (int i = x - r; i <= x + r; ++i) {
                sum += luminance(i, j);
                ++n;
            }
        }
        return sum / n;
    }
};

int differingPixels(const Picture& a, const Picture& b, int threshold) {
    int count = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c])) > threshold) {
                ++count;
                break;
            }
        }
    }
    return count;
}

class ScenePixelsGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        renderSettings = RenderSettings();
        explosionStarted = false;
        if (!game) {
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_CULL_FACE);
            glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
            testing::internal::CaptureStdout();
            game = new Game(GLTest::window);  // lives for the whole program, as in the demo
            std::string out = testing::internal::GetCapturedStdout();
            ASSERT_EQ(out.find("rror"), std::string::npos) << out;
        }
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
        glViewport(0, 0, game->width, game->height);
        // As every earlier frame's final pass leaves it: the frame start rebuilds its mipmaps.
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, game->sceneTarget->colorTexture);
        game->disableSoftParticles = false;
        game->disableNormalMapping = false;
        game->disableSpecularMapping = false;
        for (dusk::scene::ParticleSystem* system : game->particleSystems) {
            system->finished = false;
        }
    }
    void TearDown() override {
        camDataStream.close();
        camDataStream.clear();
        renderSettings = RenderSettings();
        explosionStarted = false;
        dusk::test::restoreDefaultGlState();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    // Frames with the camera held at `eye` looking at `target`, the ball swinging as after the
    // intro. A frame time of 0 keeps every particle where it is.
    void renderFrom(const glm::vec3& eye, const glm::vec3& target, int frames = 2) {
        game->introRunning = false;
        game->cameraFrozen = true;
        game->pathTime = 2.0f;
        game->camera->setPositionAndTarget(eye, target);
        runFrames(frames);
    }
    // Frames of the intro at the given path time.
    void renderIntro(float pathTime) {
        game->introRunning = true;
        game->cameraFrozen = false;
        game->pathTime = pathTime;
        runFrames(2);
    }
    void runFrames(int frames) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < frames; ++i) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            game->update(0.0f);
            game->render();
        }
        testing::internal::GetCapturedStdout();
    }
    // The lit scene with its particles, before the final pass.
    Picture sceneTarget() { return read(game->sceneTarget->framebuffer); }
    Picture onWindow() { return read(0); }
    Picture read(GLuint framebuffer) {
        Picture p;
        p.width = game->width;
        p.height = game->height;
        p.rgba.resize(size_t(p.width) * p.height * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return p;
    }
    // Window pixel (origin bottom left, as glReadPixels reads) of a world point.
    glm::ivec2 pixelOf(const glm::vec3& world) const {
        glm::vec4 clip = game->viewProjection * glm::vec4(world, 1.0f);
        glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return glm::ivec2(std::lround((ndc.x * 0.5f + 0.5f) * game->width - 0.5f),
                          std::lround((ndc.y * 0.5f + 0.5f) * game->height - 0.5f));
    }
    bool onScreen(const glm::ivec2& p, int margin) const {
        return p.x >= margin && p.y >= margin && p.x < game->width - margin &&
               p.y < game->height - margin;
    }
    void hideParticles() {
        for (dusk::scene::ParticleSystem* system : game->particleSystems) {
            system->finished = true;
        }
    }

    static Game* game;
    dusk::test::ScriptedKeys keys;
};

Game* ScenePixelsGLTest::game = nullptr;

TEST_F(ScenePixelsGLTest, FarGroundAndLowSkyTakeTheFogColour) {
    const glm::vec3 eye(0.0f, 12.0f, 60.0f);
    renderFrom(eye, glm::vec3(0.0f, 8.0f, 200.0f));
    Picture picture = sceneTarget();
    // The rim of the ground and the sky just below the horizon behind it.
    for (const glm::vec3& point : {glm::vec3(-20.0f, 0.0f, 171.0f), glm::vec3(20.0f, 0.0f, 171.0f),
                                   glm::vec3(0.0f, 6.0f, 400.0f)}) {
        glm::ivec2 p = pixelOf(point);
        ASSERT_TRUE(onScreen(p, 0)) << p.x << ", " << p.y;
        const unsigned char* c = picture.at(p.x, p.y);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(c[k], 204, 6) << "channel " << k << " at " << p.x << ", " << p.y;
        }
    }
    // High above the horizon the sky shows its own colours.
    glm::ivec2 high = pixelOf(eye + glm::vec3(0.0f, 80.0f, 200.0f));
    ASSERT_TRUE(onScreen(high, 0));
    const unsigned char* c = picture.at(high.x, high.y);
    EXPECT_GT(std::abs(int(c[0]) - 204) + std::abs(int(c[1]) - 204) + std::abs(int(c[2]) - 204),
              60);
}

TEST_F(ScenePixelsGLTest, CastleShadowDarkensTheGround) {
    hideParticles();
    renderFrom(glm::vec3(-52.0f, 14.0f, -42.0f), glm::vec3(-32.0f, 0.0f, -18.0f));
    Picture picture = sceneTarget();
    // West of the west wall: the wall stands between this point and the sun.
    glm::ivec2 shaded = pixelOf(glm::vec3(-28.6f, 0.0f, -15.0f));
    // Further out, where the sun passes over the wall.
    glm::ivec2 lit = pixelOf(glm::vec3(-36.0f, 0.0f, -22.0f));
    ASSERT_TRUE(onScreen(shaded, 3));
    ASSERT_TRUE(onScreen(lit, 3));
    float dark = picture.meanLuminance(shaded.x, shaded.y, 1);
    float bright = picture.meanLuminance(lit.x, lit.y, 1);
    EXPECT_LT(dark, 0.75f * bright) << "shadow " << dark << ", sunlight " << bright;
    EXPECT_GT(dark, 10.0f);  // ambient light still reaches it
}

TEST_F(ScenePixelsGLTest, SoftParticlesFadeWhereTheMistMeetsTheGround) {
    const glm::vec3 eye(-75.0f, 6.0f, 6.0f), target(0.0f, 1.0f, 0.0f);
    renderFrom(eye, target);
    Picture soft = sceneTarget();
    renderFrom(eye, target);
    Picture again = sceneTarget();
    // Nothing moves between the pictures: only the switch may change them.
    ASSERT_EQ(differingPixels(soft, again, 0), 0);
    game->disableSoftParticles = true;
    renderFrom(eye, target);
    Picture hard = sceneTarget();
    EXPECT_GT(differingPixels(soft, hard, 3), game->width * game->height / 100);
}

TEST_F(ScenePixelsGLTest, NormalMapsShapeTheLitGround) {
    hideParticles();
    const glm::vec3 eye(-45.0f, 4.0f, -30.0f), target(-38.0f, 0.0f, -24.0f);
    renderFrom(eye, target);
    Picture mapped = sceneTarget();
    game->disableNormalMapping = true;
    renderFrom(eye, target);
    Picture plain = sceneTarget();
    // The lower half of the picture is sunlit ground close by.
    int changed = 0, total = 0;
    for (int y = 0; y < game->height / 3; ++y) {
        for (int x = 0; x < game->width; ++x) {
            const unsigned char* a = mapped.at(x, y);
            const unsigned char* b = plain.at(x, y);
            ++total;
            if (std::abs(int(a[0]) - int(b[0])) + std::abs(int(a[1]) - int(b[1])) > 4) {
                ++changed;
            }
        }
    }
    EXPECT_GT(changed, total / 4);
}

TEST_F(ScenePixelsGLTest, NoBlackOrInvalidPixelsAlongTheIntro) {
    for (float pathTime : {0.05f, 0.3f, 0.58f, 0.75f, 1.05f, 1.4f}) {
        renderIntro(pathTime);
        for (const Picture& picture : {sceneTarget(), onWindow()}) {
            int black = 0;
            for (size_t i = 0; i < picture.rgba.size(); i += 4) {
                // A NaN or an infinity in a shader ends up as 0 (or 255) in all channels.
                const unsigned char* p = &picture.rgba[i];
                if (p[0] < 4 && p[1] < 4 && p[2] < 4) {
                    ++black;
                }
            }
            EXPECT_EQ(black, 0) << "pathTime " << pathTime;
        }
    }
}

}  // namespace
