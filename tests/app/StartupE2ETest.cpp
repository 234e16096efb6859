#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace dusk::test;

// Window sizes that cannot be had end with one message and code 1, never a hang (standard
// input is closed), a signal or an X error.
TEST(StartupE2ETest, UnusableWindowSizesEndWithAMessage) {
    struct Case {
        const char* config;  // null: no config.txt at all
        const char* output;
    };
    const char* const windowFailure = "ERROR: Could not open window.\n";
    for (const Case& c : {
             Case{nullptr, windowFailure},
             Case{"1024x768", windowFailure},
             Case{"800\n-5\n", windowFailure},
             // Beyond the largest X coordinate: the X server would keep only the low 16 bits.
             Case{"65536 600", windowFailure},
             Case{"800 40000", windowFailure},
             // A window the X server takes but the GL cannot back with textures.
             Case{"20000 20000", "Error! FrameBuffer is not complete\n"},
         }) {
        SCOPED_TRACE(c.config ? c.config : "no config.txt");
        RunDirectory dir("startup-size");
        if (c.config == nullptr) {
            std::filesystem::remove(dir.file("config.txt"));
        } else {
            writeFile(dir.file("config.txt"), c.config);
        }
        DemoProcess demo(dir);
        EXPECT_EQ(demo.waitForExit(60.0), 1);
        EXPECT_EQ(demo.output(), c.output);
    }
}

// A blank window, or one the final pass never drew on, has one colour nearly everywhere.
bool showsAScene(const Picture& picture) {
    std::map<int, size_t> colours;
    size_t most = 0;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        most = std::max(
            most, ++colours[picture.rgb[i] << 16 | picture.rgb[i + 1] << 8 | picture.rgb[i + 2]]);
    }
    return most > 0 && most < picture.rgb.size() / 6;  // under half the pixels
}

// The demo as a player starts it: its window at the configured size shows the scene, the
// cursor over it is hidden, keys reach it, the recording file starts empty, and ESC ends it with
// code 0 without an error on the way (the loaders' lines are StartupGLTest's).
TEST(StartupE2ETest, ShowsTheSceneInItsWindowAndEndsWithEscape) {
    RunDirectory dir("startup-scene", "640px +480 1024 768 trailing words\n");
    writeFile(dir.file("camData.txt"), "ballPath.push_back(old); \n");
    DemoProcess demo(dir);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    Picture picture;
    EXPECT_TRUE(waitUntil(
        [&] {
            picture = x11::windowPicture(window, dir.file("window.png"));
            return showsAScene(picture);
        },
        60.0))
        << "see " << dir.file("window.png");
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);

    x11::moveMouse(1700, 1000);
    const bool hiddenBeside = x11::cursorIsInvisible();
    x11::moveMouse(320, 240);
    EXPECT_TRUE(waitUntil(x11::cursorIsInvisible, 5.0));
    EXPECT_FALSE(hiddenBeside) << "the check cannot tell a hidden cursor from a shown one";

    const std::string helpEnd = "F12 - Specular mapping (On/Off)\n";
    ASSERT_TRUE(x11::holdKeyUntil(
        window, "F1", [&] { return demo.output().find(helpEnd) != std::string::npos; }, 60.0));
    EXPECT_EQ(readFile(dir.file("camData.txt")), "");
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);

    EXPECT_EQ(demo.output().find("rror"), std::string::npos) << demo.output();
    EXPECT_EQ(demo.output().find("RROR"), std::string::npos) << demo.output();
}

TEST(StartupE2ETest, CloseButtonEndsTheDemoWithCodeZero) {
    RunDirectory dir("startup-close");
    DemoProcess demo(dir);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    x11::closeWindow(window);
    EXPECT_EQ(demo.waitForExit(30.0), 0);
    EXPECT_EQ(demo.output().find("ERROR"), std::string::npos) << demo.output();
}

}  // namespace
