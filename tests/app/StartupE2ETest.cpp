#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;

// A window size that cannot be had, or a shader file that cannot be read, compiled or linked,
// ends the demo with its message and code 1, never a hang (standard input is closed), a signal
// or an X error.
TEST(StartupE2ETest, UnusableWindowSizesAndBrokenShadersEndWithTheirMessage) {
    struct Case {
        const char* file;    // replaced by the text
        const char* text;    // null: the file is missing
        std::string output;  // without its last line end
        bool log;            // the driver's log comes before the output
    };
    const char* const windowFailure = "ERROR: Could not open window.";
    for (const Case& c : {
             Case{"config.txt", nullptr, windowFailure, false},
             Case{"config.txt", "800\n-5\n", windowFailure, false},
             // Beyond the largest X coordinate: the X server would keep only the low 16 bits.
             Case{"config.txt", "65536 600", windowFailure, false},
             Case{"config.txt", "800 40000", windowFailure, false},
             // A window the X server takes but the GL cannot back with textures.
             Case{"config.txt", "20000 20000", "Error! FrameBuffer is not complete", false},
             Case{"Dusklorne/Shader/depth.frag", nullptr, "ERROR: Could not load file", false},
             Case{"Dusklorne/Shader/blinnphong.frag",
                  "#version 330 core\nvoid main() { undeclared = 1.0; }\n", " check", true},
             Case{"Dusklorne/Shader/sky.frag",
                  "#version 330 core\nout vec4 c;\nvoid paint() { c = vec4(1); }\n", "", true},
         }) {
        SCOPED_TRACE(std::string(c.file) + ": " + (c.text ? c.text : "missing"));
        RunDirectory dir("startup-failure");
        std::filesystem::remove(dir.file("Dusklorne/Shader"));
        std::filesystem::copy(dusk::test::built::runDir() + "/Dusklorne/Shader",
                              dir.file("Dusklorne/Shader"));
        std::filesystem::remove(dir.file(c.file));
        if (c.text != nullptr) {
            writeFile(dir.file(c.file), c.text);
        }
        DemoProcess demo(dir);
        EXPECT_EQ(demo.waitForExit(60.0), 1);
        std::string output = demo.output();
        output.erase(output.find_last_not_of('\n') + 1);
        // A missing file is named first, with the folder it was looked for in.
        const std::string expected =
            (c.text ? ""
                    : "Could not find " + std::string(c.file) + " in " + dir.path() +
                          " (the folder Dusklorne was started in)\n") +
            c.output;
        EXPECT_EQ(output.size() > expected.size(), c.log) << output;
        EXPECT_EQ(output.substr(output.size() - std::min(output.size(), expected.size())),
                  expected);
    }
}

// The demo as a player starts it: its window at the configured size shows the scene, the
// cursor over it is hidden, the recording file starts empty, and the close button ends it with
// code 0 without an error on the way (the loaders' lines are StartupGLTest's; ESC ends the
// other end-to-end tests).
TEST(StartupE2ETest, ShowsTheSceneInItsWindowAndEndsWithTheCloseButton) {
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
        60.0, "the scene in the window"))
        << "see " << dir.file("window.png");
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);

    // In from beside the window (that the check tells a shown cursor, the overlay test shows).
    x11::moveMouse(1700, 1000);
    x11::moveMouse(320, 240);
    EXPECT_TRUE(waitUntil(x11::cursorIsInvisible, 5.0, "the cursor to be hidden"));

    EXPECT_EQ(readFile(dir.file("camData.txt")), "");
    x11::closeWindow(window);
    EXPECT_EQ(demo.waitForExit(30.0), 0);

    const std::string output = demo.output();
    EXPECT_TRUE(output.find("rror") == std::string::npos &&
                output.find("RROR") == std::string::npos)
        << output;
}

}  // namespace
