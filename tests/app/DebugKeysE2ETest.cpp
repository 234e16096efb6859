#include "app/DebugKeysRealKeys.h"
#include "support/TextLines.h"
#include "support/EndToEnd.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
namespace x11 = dusk::test::x11;

using dusk::test::linesOf;

// The three coordinate texts of a line in the recording format; false if the line is not in it.
bool splitRecording(const std::string& line, std::string coordinates[3]) {
    const std::string prefix = "ballPath.push_back(glm::vec3(";
    const std::string suffix = "f)); ";
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + suffix.size() ||
        line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    std::string middle =
        line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()) + "f, ";
    for (int i = 0; i < 3; ++i) {
        size_t end = middle.find("f, ");
        if (end == std::string::npos || end == 0) {
            return false;
        }
        coordinates[i] = middle.substr(0, end);
        middle = middle.substr(end + 3);
    }
    return middle.empty();
}

// A coordinate as the stream's default formatting writes a float: %g, six significant digits.
bool isDefaultFormatted(const std::string& text) {
    char formatted[32];
    std::snprintf(formatted, sizeof(formatted), "%g", std::strtof(text.c_str(), nullptr));
    return text == formatted;
}

class DebugKeysE2ETest : public ::testing::Test {
protected:
    // Starts the demo in its own run directory and waits until it reads keys.
    void start(const std::string& name, bool blockRecording = false) {
        dir = std::make_unique<RunDirectory>(name, "640 480\n");
        if (blockRecording) {
            std::filesystem::create_directory(dir->file("camData.txt"));
        }
        demo = std::make_unique<DemoProcess>(*dir);
        window = x11::waitForWindow("Dusklorne", 120.0);
        ASSERT_FALSE(window.empty()) << demo->output();
        ASSERT_TRUE(dusk::test::waitUntilKeysAreRead(window, *demo)) << demo->output();
    }

    bool outputHas(const std::string& text) const {
        return demo->output().find(text) != std::string::npos;
    }

    std::unique_ptr<RunDirectory> dir;
    std::unique_ptr<DemoProcess> demo;
    std::string window;
};

TEST_F(DebugKeysE2ETest, F3SwitchesTheWireframeAndSaysSo) {
    start("debugkeys-e2e-f3");
    size_t helpEnd = demo->output().size();
    ASSERT_TRUE(dusk::test::holdKeyUntil(
        window, "F3", [&] { return outputHas("enable wireframe mode\n"); }, 30.0))
        << demo->output();
    dusk::test::sleepSeconds(0.3);

    // A long hold may toggle more than once: every poll acts, each with its own line.
    std::vector<std::string> lines = linesOf(demo->output().substr(helpEnd));
    std::vector<std::string> toggles;
    for (const std::string& line : lines) {
        if (line.find("wireframe") != std::string::npos) {
            toggles.push_back(line);
        }
    }
    ASSERT_FALSE(toggles.empty());
    for (size_t i = 0; i < toggles.size(); ++i) {
        EXPECT_EQ(toggles[i], i % 2 == 0 ? "enable wireframe mode" : "disable wireframe mode");
    }
    EXPECT_TRUE(demo->running());
    EXPECT_EQ(dusk::test::endWithEscape(window, *demo), 0) << demo->output();
}

TEST_F(DebugKeysE2ETest, SpaceAppendsThePositionAsALineOfPathData) {
    start("debugkeys-e2e-space");
    ASSERT_EQ(dir->readFile("camData.txt"), "");
    size_t before = demo->output().size();
    // Flushed per line: the file shows the line while the demo still runs.
    ASSERT_TRUE(dusk::test::holdKeyUntil(
        window, "space", [&] { return !dir->readFile("camData.txt").empty(); }, 30.0));
    dusk::test::sleepSeconds(0.3);
    EXPECT_EQ(demo->output().substr(before), "") << "recording prints nothing";

    std::string recorded = dir->readFile("camData.txt");
    ASSERT_EQ(recorded.back(), '\n');
    std::vector<std::string> lines = linesOf(recorded);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        std::string coordinates[3];
        ASSERT_TRUE(splitRecording(line, coordinates)) << "[" << line << "]";
        for (const std::string& coordinate : coordinates) {
            EXPECT_TRUE(isDefaultFormatted(coordinate)) << line;
        }
    }
    EXPECT_EQ(dusk::test::endWithEscape(window, *demo), 0) << demo->output();
    EXPECT_EQ(linesOf(dir->readFile("camData.txt")).size(), lines.size()) << "ESC records nothing";
}

TEST_F(DebugKeysE2ETest, UnwritableRecordingLeavesSpaceWithoutEffect) {
    start("debugkeys-e2e-blocked", true);
    size_t before = demo->output().size();
    // F4's message proves that a poll saw SPACE held with it.
    x11::run("xdotool keydown space");
    bool polled = dusk::test::holdKeyUntil(
        window, "F4", [&] { return outputHas("texture sampling bilinear\n"); }, 30.0);
    dusk::test::sleepSeconds(0.3);
    x11::run("xdotool keyup space");
    ASSERT_TRUE(polled) << demo->output();

    dusk::test::sleepSeconds(0.3);
    EXPECT_TRUE(demo->running()) << "the demo runs on";
    for (const std::string& line : linesOf(demo->output().substr(before))) {
        EXPECT_EQ(line.rfind("texture sampling ", 0), 0u) << "only F4 speaks: " << line;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir->file("camData.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(dir->file("camData.txt")));
    EXPECT_EQ(dusk::test::endWithEscape(window, *demo), 0) << demo->output();
}

// The whole intro on the real binary: about 42.5 s of real time, then the player flies.
TEST_F(DebugKeysE2ETest, AfterTheIntroWMovesTheCamera) {
    start("debugkeys-e2e-intro");
    dusk::test::sleepSeconds(45.0);
    ASSERT_TRUE(demo->running()) << demo->output();

    auto recordedLines = [&] { return linesOf(dir->readFile("camData.txt")); };
    auto record = [&] {
        size_t before = recordedLines().size();
        return dusk::test::holdKeyUntil(
            window, "space", [&] { return recordedLines().size() > before; }, 30.0);
    };
    auto position = [](const std::string& line) {
        std::string coordinates[3];
        EXPECT_TRUE(splitRecording(line, coordinates)) << line;
        return glm::vec3(std::strtof(coordinates[0].c_str(), nullptr),
                         std::strtof(coordinates[1].c_str(), nullptr),
                         std::strtof(coordinates[2].c_str(), nullptr));
    };

    // Without a movement key the free camera stays put (the intro would still move it).
    ASSERT_TRUE(record());
    dusk::test::sleepSeconds(1.0);
    ASSERT_TRUE(record());
    std::vector<std::string> still = recordedLines();
    EXPECT_EQ(still.front(), still.back());

    x11::holdKey(window, "w", 1.0);
    ASSERT_TRUE(record());
    glm::vec3 from = position(still.back());
    glm::vec3 to = position(recordedLines().back());
    EXPECT_GT(glm::length(to - from), 0.1f) << still.back() << " / " << recordedLines().back();
    EXPECT_EQ(dusk::test::endWithEscape(window, *demo), 0) << demo->output();
}

}  // namespace
