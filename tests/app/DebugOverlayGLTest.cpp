#include "AllocationCounter.h"
#include "game/Game.h"
#include "render/RenderTarget.h"
#include "scene/ParticleSystem.h"
#include "support/TestScene.h"

#include <vector>

namespace {

using DebugOverlayGLTest = dusk::test::SceneGLTest;

// Draws the frame again (no update: the same scene) and reads the window's picture.
std::vector<unsigned char> drawn(Game* game) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game->render();
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Shown, the overlay draws over the picture; its steady frames allocate nothing and make no GL
// object; the switches still reach the scene texture; hidden again, the frame is drawn exactly
// as before it was first shown, so it leaves no GL state behind for the passes.
TEST_F(DebugOverlayGLTest, ShownItDrawsWithoutMakingAnythingAndHiddenAgainTheFrameIsAsBefore) {
    testing::internal::CaptureStdout();
    game->pathTime = 0.5f;
    runFrame(0.1f);
    runFrame(0.1f);
    // Without the particles, whose blending order varies, the same frame is the same picture.
    for (dusk::scene::ParticleSystem* system : game->particleSystems) {
        system->finished = true;
    }
    const std::vector<unsigned char> before = drawn(game);
    ASSERT_EQ(drawn(game), before) << "the same frame twice differs";

    game->actOnKey(GLFW_KEY_F6);
    for (int i = 0; i < 8; ++i) {
        game->render();  // the window takes its size, lists, buffers and query ring fill
    }
    EXPECT_NE(drawn(game), before);
    const int objects = dusk::test::liveGlObjects();
    const std::uint64_t allocations = dusk::bench::allocationCount();
    for (int i = 0; i < 3; ++i) {
        game->render();
    }
    EXPECT_EQ(dusk::bench::allocationCount(), allocations);
    EXPECT_EQ(dusk::test::liveGlObjects(), objects);

    // The end-of-frame settings still reach the scene texture, which the overlay left bound.
    game->actOnKey(GLFW_KEY_F5);
    game->render();
    GLint minFilter = 0;
    glBindTexture(GL_TEXTURE_2D, game->sceneTarget->colorTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_NEAREST);
    game->actOnKey(GLFW_KEY_F5);
    game->actOnKey(GLFW_KEY_F5);

    game->actOnKey(GLFW_KEY_F6);
    EXPECT_EQ(drawn(game), before);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "enable overlay\nmipmap nearest neighbour\nmipmap bilinear\nmipmap off\n"
              "disable overlay\n");
}

}  // namespace
