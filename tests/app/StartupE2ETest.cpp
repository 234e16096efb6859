#include "app/DebugKeysRealKeys.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
namespace x11 = dusk::test::x11;

constexpr double startSeconds = 90.0;

// Starts the demo with the given config.txt (or none), and expects the window-opening failure.
void expectWindowFailure(const std::string& name, const std::string* config) {
    RunDirectory dir(name);
    if (config == nullptr) {
        dir.removeFile("config.txt");
    } else {
        dir.writeFile("config.txt", *config);
    }
    DemoProcess demo(dir);
    EXPECT_EQ(demo.waitForExit(30.0), 1);
    EXPECT_EQ(demo.output(), "ERROR: Could not open window.\n");
}

TEST(StartupE2ETest, UnusableConfigEndsWithTheWindowFailure) {
    expectWindowFailure("startup-no-config", nullptr);
    const std::string glued = "1024x768\n";
    expectWindowFailure("startup-glued", &glued);
    const std::string negative = "800\n-5\n";
    expectWindowFailure("startup-negative", &negative);
}

// Runs the demo with the config, checks the window from outside, then ends it with ESC.
void expectWindow(const std::string& name, const std::string& config, int width, int height) {
    RunDirectory dir(name, config);
    DemoProcess demo(dir);
    std::string window = x11::waitForWindow("Dusklorne", startSeconds);
    ASSERT_FALSE(window.empty()) << demo.output();
    int shownWidth = 0;
    int shownHeight = 0;
    ASSERT_TRUE(x11::windowSize(window, &shownWidth, &shownHeight));
    EXPECT_EQ(shownWidth, width);
    EXPECT_EQ(shownHeight, height);
    EXPECT_EQ(x11::windowTitle(window), "Dusklorne");

    EXPECT_EQ(dusk::test::endWithEscape(window, demo), 0) << demo.output();
    EXPECT_EQ(demo.output().find("ERROR"), std::string::npos) << demo.output();
}

TEST(StartupE2ETest, WindowTakesTheConfiguredSizeAndTitle) {
    expectWindow("startup-one-line", "800 600", 800, 600);
    expectWindow("startup-two-lines", "800\n600\n", 800, 600);
    expectWindow("startup-atoi", "640px +480 1024 768 trailing words\n", 640, 480);
}

TEST(StartupE2ETest, CursorIsHiddenOverTheWindow) {
    x11::moveMouse(1700, 1000);  // outside the window first: X shows its own cursor there
    RunDirectory dir("startup-cursor", "640 480\n");
    DemoProcess demo(dir);
    std::string window = x11::waitForWindow("Dusklorne", startSeconds);
    ASSERT_FALSE(window.empty()) << demo.output();
    x11::moveMouse(1700, 1000);
    dusk::test::sleepSeconds(0.3);
    bool hiddenOutside = x11::cursorIsInvisible();
    x11::moveMouse(300, 200);
    dusk::test::sleepSeconds(0.5);
    EXPECT_TRUE(x11::cursorIsInvisible());
    EXPECT_FALSE(hiddenOutside) << "the check cannot tell a hidden cursor from a shown one";
    EXPECT_EQ(dusk::test::endWithEscape(window, demo), 0) << demo.output();
}

}  // namespace
