#include "AllocationCounter.h"
#include "app/DebugOverlay.h"
#include "game/Game.h"
#include "render/PassViews.h"
#include "scene/ParticleSystem.h"
#include "support/TestScene.h"

#include <imgui.h>

#include <vector>

namespace {

using OverlayPassViewsGLTest = dusk::test::SceneGLTest;

// Draws the frame again (no update: the same scene) and reads the window's picture.
std::vector<unsigned char> drawn(Game* game) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game->render();
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

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
    std::vector<unsigned char> pixels(320 * 240 * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, 320, 240, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
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

// Each chosen view fills the window under the folded overlay, exactly as capture draws it, and
// says so; shown, nothing is made or allocated from frame to frame; hidden, the window shows
// the final picture again, byte for byte the frame before the overlay was ever shown.
TEST_F(OverlayPassViewsGLTest, AChosenViewFillsTheWindowUntilTheOverlayGoes) {
    testing::internal::CaptureStdout();
    game->pathTime = 0.5f;
    runFrame(0.1f);
    runFrame(0.1f);
    // Without the particles, whose blending order varies, the same frame is the same picture.
    for (dusk::scene::ParticleSystem* system : game->particleSystems) {
        system->finished = true;
    }
    const std::vector<unsigned char> before = drawn(game);

    game->actOnKey(GLFW_KEY_F6);
    drawn(game);
    ImGui::SetCurrentContext(game->overlay->context);
    ImGui::SetWindowCollapsed("###overlay", true);  // as a click on its arrow does
    for (int kind = 0; kind < dusk::PassViews::count; ++kind) {
        SCOPED_TRACE(kind);
        game->overlay->showView(kind);
        drawn(game);  // the overlay folds
        EXPECT_TRUE(game->overlay->folded);
        EXPECT_EQ(belowTitle(drawn(game)), belowTitle(viewPicture(*game, kind)));
    }
    const int objects = dusk::test::liveGlObjects();
    const std::uint64_t allocations = dusk::bench::allocationCount();
    for (int i = 0; i < 3; ++i) {
        game->render();
    }
    EXPECT_EQ(dusk::bench::allocationCount(), allocations);
    EXPECT_EQ(dusk::test::liveGlObjects(), objects);

    game->actOnKey(GLFW_KEY_F6);
    EXPECT_EQ(drawn(game), before);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "enable overlay\nview: shadow map\nview: camera depth\nview: scene target\n"
              "view: scene alpha\nview: final picture\ndisable overlay\n");
}

}  // namespace
