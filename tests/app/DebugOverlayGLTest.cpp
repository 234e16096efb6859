#include "AllocationCounter.h"
#include "app/DebugOverlay.h"
#include "game/Game.h"
#include "render/PassViews.h"
#include "render/RenderTarget.h"
#include "support/TestScene.h"

#include <imgui.h>

#include <vector>

namespace {

using DebugOverlayGLTest = dusk::test::SceneGLTest;

// The view as `capture --targets` draws it: over a picture of the window's size.
std::vector<unsigned char> viewPicture(const Game& game, int kind) {
    GLint sceneTexture = 0;  // on unit 0 between frames, as the next frame expects it
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &sceneTexture);
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 320, 240, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0);
    dusk::PassViews views(game);
    const dusk::PassViews::Output output = {kind, framebuffer, 320, 240};
    views.draw(&output, 1);
    std::vector<unsigned char> pixels = dusk::test::readPixels(framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(sceneTexture));
    return pixels;
}

// Below the folded overlay's title line, the window's rows (from the bottom) without alpha.
std::vector<unsigned char> belowTitle(const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> rgb;
    for (size_t i = 0; i < size_t(320 * 216 * 4); ++i) {
        if (i % 4 != 3) {
            rgb.push_back(pixels[i]);
        }
    }
    return rgb;
}

// Shown, the overlay draws over the picture, and its steady frames, open or folded over a chosen
// view, allocate nothing and make no GL object; the switches still reach the scene texture; each
// chosen view fills the window under the folded overlay, exactly as capture draws it, and says
// so; hidden again, the window shows the final picture, byte for byte the frame before the
// overlay was ever shown, so it leaves no GL state behind for the passes.
TEST_F(DebugOverlayGLTest, ShownItDrawsWithoutMakingAnythingAndHiddenAgainTheFrameIsAsBefore) {
    auto expectSteadyFrames = [&](const char* what) {
        const int objects = dusk::test::liveGlObjects();
        const std::uint64_t allocations = dusk::bench::allocationCount();
        for (int i = 0; i < 3; ++i) {
            game->render();
        }
        EXPECT_EQ(dusk::bench::allocationCount(), allocations) << what;
        EXPECT_EQ(dusk::test::liveGlObjects(), objects) << what;
    };
    testing::internal::CaptureStdout();
    stillScene();
    const std::vector<unsigned char> before = redrawn();
    ASSERT_EQ(redrawn(), before) << "the same frame twice differs";

    game->actOnKey(GLFW_KEY_F6);
    for (int i = 0; i < 8; ++i) {
        game->render();  // the window takes its size, lists, buffers and query ring fill
    }
    EXPECT_NE(redrawn(), before);
    expectSteadyFrames("open");

    // The end-of-frame settings still reach the scene texture, which the overlay left bound.
    game->actOnKey(GLFW_KEY_F5);
    game->render();
    GLint minFilter = 0;
    glBindTexture(GL_TEXTURE_2D, game->sceneTarget->colorTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_NEAREST);
    game->actOnKey(GLFW_KEY_F5);
    game->actOnKey(GLFW_KEY_F5);

    ImGui::SetCurrentContext(game->overlay->context);
    ImGui::SetWindowCollapsed("###overlay", true);  // as a click on its arrow does
    for (int kind = 0; kind < dusk::PassViews::count; ++kind) {
        SCOPED_TRACE(kind);
        game->overlay->showView(kind);
        redrawn();  // the overlay folds
        EXPECT_TRUE(game->overlay->folded);
        EXPECT_EQ(belowTitle(redrawn()), belowTitle(viewPicture(*game, kind)));
    }
    expectSteadyFrames("folded over a view");

    game->actOnKey(GLFW_KEY_F6);
    EXPECT_EQ(redrawn(), before);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "enable overlay\nmipmap nearest neighbour\nmipmap bilinear\nmipmap off\n"
              "view: shadow map\nview: camera depth\nview: scene target\nview: scene alpha\n"
              "view: final picture\ndisable overlay\n");
}

}  // namespace
