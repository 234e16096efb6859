#include "app/DebugKeysScriptedInput.h"
#include "support/TextLines.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "scene/Camera.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <vector>

namespace {

using dusk::test::ScriptedKeys;

using dusk::test::linesOf;

const std::vector<std::string> helpText = {
    "WASD - Move",
    "Ctrl - Scream (to frighten a Kid if you are behind it)",
    "Space - Fly (as long as you have enough magic)",
    "Esc - End game",
    "F1 - Help",
    "F2 - Show Frametime",
    "F3 - Wireframemode (On/Off)",
    "F4 - Texture Samping (Bilinear/Nearest Neighbour)",
    "F5 - Mipmap Mode (Off/Nearest Neighbour/Bilinear)",
    "F9 - Transparency (On/Off)",
    "F10 - Freeze Camera (On/Off)",
    "F11 - Normalmapping (On/Off)",
    "F12 - Specular mapping (On/Off)",
};

class DebugKeysGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        renderSettings = RenderSettings();
        game = std::make_unique<Game>(window, false);
        game->camera = new dusk::scene::Camera(
            glm::translate(glm::mat4(1.0f), glm::vec3(50.0f, 50.0f, 50.0f)), window);
        std::filesystem::create_directories(DUSK_TEST_OUTPUT_DIR);
        recording = std::string(DUSK_TEST_OUTPUT_DIR) + "/debugkeys-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        camDataStream.close();
        camDataStream.clear();
        camDataStream.open(recording, std::ios::out | std::ios::trunc);
        ASSERT_TRUE(camDataStream.is_open());
    }
    void TearDown() override {
        camDataStream.close();
        camDataStream.clear();
        glfwSetWindowShouldClose(window, GLFW_FALSE);
        renderSettings = RenderSettings();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    // One poll with exactly these keys down; returns what it printed.
    std::string poll(std::initializer_list<int> held) {
        keys.down = held;
        testing::internal::CaptureStdout();
        game->pollDebugKeys();
        return testing::internal::GetCapturedStdout();
    }

    std::string recorded() const {
        std::ifstream in(recording, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Everything the keys can switch, to see that a key changed nothing else.
    struct Switches {
        bool showFrametime, wireframe, bilinearFiltering;
        int mipmapMode;
        bool disableSoftParticles, cameraFrozen, disableNormalMapping, disableSpecularMapping;
        bool operator==(const Switches& other) const {
            return showFrametime == other.showFrametime && wireframe == other.wireframe &&
                   bilinearFiltering == other.bilinearFiltering && mipmapMode == other.mipmapMode &&
                   disableSoftParticles == other.disableSoftParticles &&
                   cameraFrozen == other.cameraFrozen &&
                   disableNormalMapping == other.disableNormalMapping &&
                   disableSpecularMapping == other.disableSpecularMapping;
        }
    };
    Switches switches() const {
        return {renderSettings.showFrametime,     renderSettings.wireframe,
                renderSettings.bilinearFiltering, renderSettings.mipmapMode,
                game->disableSoftParticles,       game->cameraFrozen,
                game->disableNormalMapping,       game->disableSpecularMapping};
    }

    ScriptedKeys keys;
    std::unique_ptr<Game> game;
    std::string recording;
};

TEST_F(DebugKeysGLTest, NoKeyDownDoesNothing) {
    Switches before = switches();
    EXPECT_EQ(poll({}), "");
    EXPECT_TRUE(switches() == before);
    EXPECT_EQ(recorded(), "");
    EXPECT_FALSE(glfwWindowShouldClose(window));
}

TEST_F(DebugKeysGLTest, F5CyclesThroughTheThreeMipmapModes) {
    RenderSettings fresh;
    EXPECT_FALSE(fresh.showFrametime);
    EXPECT_FALSE(fresh.wireframe);
    EXPECT_FALSE(fresh.bilinearFiltering);
    EXPECT_EQ(fresh.mipmapMode, -1);

    EXPECT_EQ(poll({GLFW_KEY_F5}), "mipmap nearest neighbour\n");
    EXPECT_EQ(renderSettings.mipmapMode, 0);
    EXPECT_EQ(poll({GLFW_KEY_F5}), "mipmap bilinear\n");
    EXPECT_EQ(renderSettings.mipmapMode, 1);
    EXPECT_EQ(poll({GLFW_KEY_F5}), "mipmap off\n");
    EXPECT_EQ(renderSettings.mipmapMode, -1);
    EXPECT_EQ(poll({GLFW_KEY_F5}), "mipmap nearest neighbour\n");
}

TEST_F(DebugKeysGLTest, EveryToggleSaysItsNewStateBothWays) {
    struct Toggle {
        int key;
        const char* on;
        const char* off;
    };
    const Toggle toggles[] = {
        {GLFW_KEY_F3, "enable wireframe mode", "disable wireframe mode"},
        {GLFW_KEY_F4, "texture sampling bilinear", "texture sampling nearest neighbour"},
        {GLFW_KEY_F9, "disable soft particles", "enable soft particles"},
        {GLFW_KEY_F11, "disabled normalmapping", "enabled normalmapping"},
        {GLFW_KEY_F12, "disabled specular mapping", "enabled specular mapping"},
    };
    for (const Toggle& toggle : toggles) {
        Switches before = switches();
        EXPECT_EQ(poll({toggle.key}), std::string(toggle.on) + "\n");
        EXPECT_FALSE(switches() == before) << toggle.on;
        EXPECT_EQ(poll({toggle.key}), std::string(toggle.off) + "\n");
        EXPECT_TRUE(switches() == before) << toggle.off;
    }
    EXPECT_EQ(poll({GLFW_KEY_F3}), "enable wireframe mode\n");
    EXPECT_TRUE(renderSettings.wireframe);
    EXPECT_EQ(poll({GLFW_KEY_F4}), "texture sampling bilinear\n");
    EXPECT_TRUE(renderSettings.bilinearFiltering);
    EXPECT_EQ(poll({GLFW_KEY_F9}), "disable soft particles\n");
    EXPECT_TRUE(game->disableSoftParticles);
    EXPECT_EQ(poll({GLFW_KEY_F11}), "disabled normalmapping\n");
    EXPECT_TRUE(game->disableNormalMapping);
    EXPECT_EQ(poll({GLFW_KEY_F12}), "disabled specular mapping\n");
    EXPECT_TRUE(game->disableSpecularMapping);
}

TEST_F(DebugKeysGLTest, SilentTogglesAndKeysWithoutAFunction) {
    EXPECT_EQ(poll({GLFW_KEY_F2}), "");
    EXPECT_TRUE(renderSettings.showFrametime);
    EXPECT_EQ(poll({GLFW_KEY_F10}), "");
    EXPECT_TRUE(game->cameraFrozen);

    Switches before = switches();
    EXPECT_EQ(poll({GLFW_KEY_F6, GLFW_KEY_F7, GLFW_KEY_F8, GLFW_KEY_LEFT_CONTROL,
                    GLFW_KEY_RIGHT_CONTROL, GLFW_KEY_W}),
              "");
    EXPECT_TRUE(switches() == before);
    EXPECT_EQ(recorded(), "");
}

TEST_F(DebugKeysGLTest, F1PrintsTheHelpAndChangesNothing) {
    Switches before = switches();
    EXPECT_EQ(linesOf(poll({GLFW_KEY_F1})), helpText);
    EXPECT_TRUE(switches() == before);
    EXPECT_EQ(recorded(), "");
}

TEST_F(DebugKeysGLTest, F1AndF2TogetherPrintTheHelpAndToggleTheFrameTime) {
    EXPECT_EQ(linesOf(poll({GLFW_KEY_F1, GLFW_KEY_F2})), helpText);
    EXPECT_TRUE(renderSettings.showFrametime);
}

TEST_F(DebugKeysGLTest, F10AndF12TogetherFreezeSilentlyAndSaySpecular) {
    EXPECT_EQ(poll({GLFW_KEY_F10, GLFW_KEY_F12}), "disabled specular mapping\n");
    EXPECT_TRUE(game->cameraFrozen);
    EXPECT_TRUE(game->disableSpecularMapping);
}

TEST_F(DebugKeysGLTest, SeveralKeysActInTheFixedOrder) {
    std::vector<std::string> lines = linesOf(
        poll({GLFW_KEY_F12, GLFW_KEY_F11, GLFW_KEY_F9, GLFW_KEY_F5, GLFW_KEY_F4, GLFW_KEY_F3}));
    const std::vector<std::string> expected = {
        "enable wireframe mode",  "texture sampling bilinear", "mipmap nearest neighbour",
        "disable soft particles", "disabled normalmapping",    "disabled specular mapping"};
    EXPECT_EQ(lines, expected);

    lines = linesOf(poll({GLFW_KEY_F3, GLFW_KEY_F1}));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], helpText[0]);
    EXPECT_EQ(lines[13], "disable wireframe mode") << "the help comes before F3";
}

TEST_F(DebugKeysGLTest, SpaceRecordsTheCameraAsALineOfPathData) {
    EXPECT_EQ(poll({GLFW_KEY_SPACE}), "") << "recording prints nothing";
    // Flushed per line: the file holds it while the stream is still open.
    EXPECT_EQ(recorded(), "ballPath.push_back(glm::vec3(50f, 50f, 50f)); \n");

    // Six significant digits, the shorter of fixed and scientific, an ASCII minus.
    game->camera->setPositionAndTarget(glm::vec3(-96.2405f, 0.000012345f, 1234567.0f),
                                       glm::vec3(0.0f));
    poll({GLFW_KEY_SPACE});
    EXPECT_EQ(recorded(),
              "ballPath.push_back(glm::vec3(50f, 50f, 50f)); \n"
              "ballPath.push_back(glm::vec3(-96.2405f, 1.2345e-05f, 1.23457e+06f)); \n");
}

TEST_F(DebugKeysGLTest, AKeyHeldAcrossThreePollsActsThreeTimes) {
    std::string output;
    for (int i = 0; i < 3; ++i) {
        output += poll({GLFW_KEY_F3, GLFW_KEY_SPACE});
    }
    EXPECT_EQ(output, "enable wireframe mode\ndisable wireframe mode\nenable wireframe mode\n");
    EXPECT_TRUE(renderSettings.wireframe);
    EXPECT_EQ(linesOf(recorded()),
              std::vector<std::string>(3, "ballPath.push_back(glm::vec3(50f, 50f, 50f)); "));
}

TEST_F(DebugKeysGLTest, EscapeClosesTheRecordingBeforeSpaceIsSeen) {
    poll({GLFW_KEY_SPACE});
    EXPECT_EQ(poll({GLFW_KEY_ESCAPE, GLFW_KEY_SPACE}), "");
    EXPECT_TRUE(glfwWindowShouldClose(window));
    EXPECT_FALSE(camDataStream.is_open());
    EXPECT_EQ(linesOf(recorded()).size(), 1u) << "only the line from before ESC";

    // The stream is never reopened: later SPACE polls and another ESC do nothing.
    EXPECT_EQ(poll({GLFW_KEY_SPACE}), "");
    EXPECT_EQ(poll({GLFW_KEY_ESCAPE}), "");
    EXPECT_EQ(linesOf(recorded()).size(), 1u);
}

TEST_F(DebugKeysGLTest, SpaceOnAStreamThatCouldNotOpenIsSilent) {
    camDataStream.close();
    camDataStream.clear();
    // A directory cannot be opened as a file: the stream stays failed.
    const std::string blocked = std::string(DUSK_TEST_OUTPUT_DIR) + "/debugkeys-blocked";
    std::filesystem::create_directories(blocked);
    camDataStream.open(blocked, std::ios::out | std::ios::trunc);
    ASSERT_FALSE(camDataStream.is_open());

    EXPECT_EQ(poll({GLFW_KEY_SPACE}), "");
    EXPECT_EQ(poll({GLFW_KEY_SPACE, GLFW_KEY_F3}), "enable wireframe mode\n");
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_TRUE(std::filesystem::is_empty(blocked));
    EXPECT_FALSE(glfwWindowShouldClose(window));
}

}  // namespace
