#include "app/DebugOverlay.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "scene/Camera.h"
#include "support/TestScene.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

namespace {

class DebugKeysGLTest : public dusk::test::SceneGLTest {
protected:
    // One poll with exactly these keys down; returns what it printed.
    std::string poll(std::set<int> held) {
        keys.down = std::move(held);
        return dusk::test::printedBy([&] { game->pollDebugKeys(); });
    }
    // Read as text: a line ends in the system's own way (CRLF on Windows).
    std::string recording() {
        std::ifstream in(runDirectory->file("camData.txt"));
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(DebugKeysGLTest, EachToggleSaysItsNewStateAtEveryPoll) {
    // Each key's flag, and its lines on and off; a silent key has none.
    for (auto [key, flag, on, off] :
         {std::tuple{GLFW_KEY_F2, &renderSettings.showFrametime, "", ""},
          {GLFW_KEY_F3, &renderSettings.wireframe, "enable wireframe mode\n",
           "disable wireframe mode\n"},
          {GLFW_KEY_F4, &renderSettings.bilinearFiltering, "texture sampling bilinear\n",
           "texture sampling nearest neighbour\n"},
          {GLFW_KEY_F9, &game->disableSoftParticles, "disable soft particles\n",
           "enable soft particles\n"},
          {GLFW_KEY_F10, &game->cameraFrozen, "", ""},
          {GLFW_KEY_F11, &game->disableNormalMapping, "disabled normalmapping\n",
           "enabled normalmapping\n"},
          {GLFW_KEY_F12, &game->disableSpecularMapping, "disabled specular mapping\n",
           "enabled specular mapping\n"}}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(poll({key}), on);
        EXPECT_TRUE(*flag);
        EXPECT_EQ(poll({key}), off);  // still held: it acts again
        EXPECT_FALSE(*flag);
    }
    for (const char* line : {"mipmap nearest neighbour\n", "mipmap bilinear\n", "mipmap off\n"}) {
        EXPECT_EQ(poll({GLFW_KEY_F5}), line);
    }
    EXPECT_EQ(renderSettings.mipmapMode, -1);
    EXPECT_EQ(recording(), "");
}

// The thirteen help lines come before any other key's message and change nothing.
TEST_F(DebugKeysGLTest, HelpComesFirstAndChangesNothing) {
    std::vector<std::string> lines = dusk::test::linesOf(poll({GLFW_KEY_F3, GLFW_KEY_F1}));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines.front(), "WASD - Move");
    EXPECT_EQ(lines[12], "F12 - Specular mapping (On/Off)");
    EXPECT_EQ(lines.back(), "enable wireframe mode");
    EXPECT_EQ(dusk::test::linesOf(poll({GLFW_KEY_F1})).size(), 13u);
    EXPECT_TRUE(renderSettings.wireframe && !renderSettings.showFrametime);
}

TEST_F(DebugKeysGLTest, SpaceRecordsTheCameraAsPathDataUntilEscape) {
    game->camera->setPositionAndTarget(glm::vec3(50.0f), glm::vec3(0.0f));
    EXPECT_EQ(poll({GLFW_KEY_SPACE}), "");
    game->camera->setPositionAndTarget(glm::vec3(-96.2405f, 0.000012345f, 1234567.0f),
                                       glm::vec3(0.0f));
    poll({GLFW_KEY_SPACE});
    // Flushed at every line, in the stream's %g formatting.
    const std::string recorded =
        "ballPath.push_back(glm::vec3(50f, 50f, 50f)); \n"
        "ballPath.push_back(glm::vec3(-96.2405f, 1.2345e-05f, 1.23457e+06f)); \n";
    EXPECT_EQ(recording(), recorded);

    // ESC closes the recording before SPACE is looked at; the stream stays closed.
    EXPECT_EQ(poll({GLFW_KEY_ESCAPE, GLFW_KEY_SPACE}), "");
    EXPECT_TRUE(glfwWindowShouldClose(window));
    EXPECT_EQ(poll({GLFW_KEY_SPACE}), "");
    EXPECT_EQ(recording(), recorded);
}

// F6 twice gives the pointer back to mouse look at the window's centre, so the view does not
// jump; the time before the overlay first shows and the time it was hidden are no frame of its
// graph or median (each pause is made a thousand seconds long).
TEST_F(DebugKeysGLTest, OverlayPausesCountNoFrameAndHidingCentresThePointer) {
    using namespace std::chrono_literals;
    for (int pause = 0; pause < 2; ++pause) {  // before the first F6, then while hidden
        EXPECT_EQ(poll({GLFW_KEY_F6}), "enable overlay\n");
        game->overlay->lastFrame -= 1000s;
        game->render();
        game->render();
        dusk::FrameTimeHistory& history = game->overlay->history;
        EXPECT_LT(*std::max_element(history.graph.begin(), history.graph.end()), 100e3f);
        const std::chrono::duration<double> clock =
            std::chrono::steady_clock::now() - game->overlay->start;
        EXPECT_LT(history.medianOfLastSecond(clock.count()), 100.0);

        keys.cursorX = 3.0;  // left on the overlay
        keys.cursorY = 200.0;
        EXPECT_EQ(poll({GLFW_KEY_F6}), "disable overlay\n");
        EXPECT_TRUE(keys.cursorX == 160.0 && keys.cursorY == 120.0)
            << keys.cursorX << ", " << keys.cursorY;
    }
}

}  // namespace
