#include "support/Package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

struct Start {
    std::string output;
    Picture window;
    bool drawn = false;  // the window showed more than one colour
    int exitCode = -1;
};

// The launcher started in `folder` for a player whose HOME is `home`, ended with ESC once its
// window has drawn; its standard output and the window's picture are kept under `logs`.
Start start(const std::string& launcher, const std::string& folder, const std::string& home,
            const std::string& logs, const std::string& name) {
    DemoProcess demo(folder, "env -u XDG_DATA_HOME HOME='" + home + "' '" + launcher + "'",
                     logs + "/" + name + ".txt");
    Start result;
    const std::string window = x11::waitForWindow(60.0);
    waitUntil(
        [&] {
            if (window.empty() || !demo.running()) {
                return true;
            }
            result.window = x11::windowPicture(window, logs + "/" + name + ".png");
            const std::vector<unsigned char>& rgb = result.window.rgb;
            result.drawn =
                std::adjacent_find(rgb.begin(), rgb.end(), std::not_equal_to<>()) != rgb.end();
            return result.drawn;
        },
        60.0, "the window drawn by the launcher's demo");
    result.exitCode = window.empty() ? demo.waitForExit(30.0) : x11::endWithEscape(window, demo);
    result.output = demo.output();
    return result;
}

// The package's launcher, run from an unrelated folder by a player with a fresh HOME, starts the
// demo in a run directory of the player's own and says where; the player's edits of config.txt
// stay, and the data links follow the installed copy when it moves (an upgrade to another
// place), an older copy of the data in their place kept aside.
TEST(LauncherE2ETest, StartsTheDemoInThePlayersOwnFolderFromAnywhere) {
    const std::string tree = unpackedPackage("launcher-tree");
    const std::string home = freshFolder("launcher-home");
    const std::string elsewhere = freshFolder("launcher-elsewhere");
    const std::string logs = freshFolder("launcher-logs");
    const std::string run = home + "/.local/share/dusklorne";

    const Start first = start(tree + "/usr/games/dusklorne", elsewhere, home, logs, "first");
    EXPECT_EQ(first.exitCode, 0) << first.output;
    const std::vector<std::string> lines = linesOf(first.output);
    ASSERT_GE(lines.size(), 2u) << first.output;
    EXPECT_EQ(lines[0].rfind("dusklorne: runs in " + run + ": ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "Loaded Texture: Model/Image/ground19.jpg");
    EXPECT_EQ(first.output.find("rror"), std::string::npos) << first.output;
    EXPECT_TRUE(first.drawn);
    EXPECT_EQ(std::pair(first.window.width, first.window.height),
              std::pair(1200, 900));  // its config
    EXPECT_TRUE(fs::exists(run + "/camData.txt"));

    writeFile(run + "/config.txt", "640 480\n");
    const std::string moved = freshFolder("launcher-moved");
    fs::rename(tree, moved);
    fs::remove(run + "/Model");
    writeFile(run + "/Model/mine.txt", "an older copy");

    const Start second = start(moved + "/usr/games/dusklorne", elsewhere, home, logs, "second");
    EXPECT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(linesOf(second.output).at(0),
              "dusklorne: moved the older copy of Model to " + run + "/Model.old");
    EXPECT_EQ(second.output.find("runs in"), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find("rror"), std::string::npos) << second.output;
    EXPECT_TRUE(second.drawn);
    EXPECT_EQ(std::pair(second.window.width, second.window.height), std::pair(640, 480));
    EXPECT_EQ(readFile(run + "/config.txt"), "640 480\n");
    EXPECT_EQ(readFile(run + "/Model.old/mine.txt"), "an older copy");

    EXPECT_TRUE(fs::is_empty(elsewhere));
}

}  // namespace
