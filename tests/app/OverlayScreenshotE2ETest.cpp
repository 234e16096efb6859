#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>

namespace {

using namespace dusk::test;

// Switches the overlay until the last overlay line is `line` for good. With the clock sped up
// the demo reads the keys at every frame, so F6 held over two readings switches twice, and on a
// busy machine a frame takes seconds. F1, held all along, prints the help at every reading and
// so counts them: what the third reading after F6 went up leaves stays.
bool switchOverlay(const std::string& window, DemoProcess& demo, const std::string& line) {
    const std::string other = line == "enable overlay\n" ? "disable overlay\n" : "enable overlay\n";
    auto lastIsLine = [&] {
        const std::string output = demo.output();
        const size_t last = output.rfind(line), lastOther = output.rfind(other);
        return last != std::string::npos && (lastOther == std::string::npos || lastOther < last);
    };
    auto readingsAfter = [&](size_t from) {
        const std::string output = demo.output();
        int readings = 0;
        for (size_t at = from; (at = output.find("WASD - Move\n", at)) != std::string::npos; ++at) {
            ++readings;
        }
        return readings;
    };
    return x11::holdKeyUntil(
        window, "F1",
        [&] {
            x11::holdKeyUntil(window, "F6", lastIsLine, 30.0,
                              "the line " + line.substr(0, line.size() - 1));
            const size_t released = demo.output().size();
            waitUntil([&] { return readingsAfter(released) >= 3; }, 60.0,
                      "three readings of the keys after F6 went up");
            return lastIsLine();
        },
        180.0, "the overlay to stay as in " + line.substr(0, line.size() - 1));
}

// The share of the window's top-left 300 x 200 pixels that the overlay's window covers: its
// background, 80 % opaque and nearly black, takes at least 30 % off the brightness of whatever
// the scene shows there, even a dark wall, and its text adds some; the light of the swinging
// ball, which can change a fifth of the scene between two pictures, does neither over so much.
double overlaidShare(const Picture& scene, const Picture& shown) {
    if (scene.width != shown.width || scene.height != shown.height || scene.width < 300 ||
        scene.height < 200) {
        return 0.0;
    }
    int overlaid = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) {
            const unsigned char *before = scene.at(x, y), *after = shown.at(x, y);
            const int was = before[0] + before[1] + before[2], is = after[0] + after[1] + after[2];
            overlaid += 10 * is < 7 * was || is > was + 60;
        }
    }
    return overlaid / (300.0 * 200.0);
}

// F6 shows the overlay over the corner of the demo's own window with the pointer free; a real
// click on its wireframe box acts as F3 does; F8 saves the window's picture, overlay included,
// upright; F6 again gives the corner back and hides the pointer.
TEST(OverlayScreenshotE2ETest, OverlayShowsControlsActAndF8SavesTheWindowsPicture) {
    SettledDemo settled("overlay-screenshot");
    DemoProcess& demo = settled.demo;
    const std::string& window = settled.window;
    ASSERT_FALSE(window.empty()) << demo.output();
    ASSERT_FALSE(settled.still.rgb.empty());

    ASSERT_TRUE(switchOverlay(window, demo, "enable overlay\n")) << demo.output();
    Picture shown;
    EXPECT_TRUE(waitUntil(
        [&] {
            shown = x11::windowPicture(window, settled.dir.file("shown.png"));
            return overlaidShare(settled.still, shown) > 0.5;
        },
        30.0, "the overlay over the window's corner"));
    EXPECT_FALSE(x11::cursorIsInvisible());

    // The wireframe box, the first control under the pass pictures; mouse look leaves the pointer.
    const size_t seen = demo.output().size();
    outputOf("xdotool mousemove --window " + window + " --sync 17 335 click 1");
    EXPECT_TRUE(waitUntil(
        [&] { return demo.output().find("enable wireframe mode\n", seen) != std::string::npos; },
        30.0, "the click on the wireframe box to act"))
        << demo.output();

    ASSERT_TRUE(x11::pressUntilPrinted(window, demo, "F8", "screenshot ", 30.0)) << demo.output();
    const Picture onScreen = x11::windowPicture(window, settled.dir.file("window.png"));
    std::smatch line;
    const std::string output = demo.output();
    ASSERT_TRUE(std::regex_search(
        output, line,
        std::regex("\nscreenshot saved: (screenshots/dusklorne-20[0-9]{6}-[0-9]{6}-1\\.png)\n")))
        << output;
    // Only the overlay's figures and the particles move between the two (of the same size).
    EXPECT_LT(changedShare(readPicture(settled.dir.file(line[1])), onScreen, 24), 0.03);

    ASSERT_TRUE(switchOverlay(window, demo, "disable overlay\n"));
    EXPECT_TRUE(waitUntil(x11::cursorIsInvisible, 10.0, "the cursor to be hidden"));

    // F8 held with ESC: the screenshots still being written at the end are finished and
    // reported, never cut off.
    outputOf("xdotool windowfocus --sync " + window + "; xdotool keydown F8 keydown Escape");
    EXPECT_EQ(demo.waitForExit(60.0), 0);
    outputOf("xdotool keyup Escape keyup F8");
    const std::string last = demo.output();
    const std::regex savedLine("screenshot saved: (screenshots/[^\n]+\\.png)\n");
    int reported = 0;
    for (std::sregex_iterator it(last.begin(), last.end(), savedLine), end; it != end; ++it) {
        ++reported;
        EXPECT_EQ(readPicture(settled.dir.file((*it)[1])).height, 480) << (*it)[1];
    }
    EXPECT_GE(reported, 2) << last;
    EXPECT_EQ(last.find("screenshot failed"), std::string::npos) << last;  // a number given twice
    const std::filesystem::directory_iterator files(settled.dir.file("screenshots"));
    EXPECT_EQ(reported, std::distance(files, {})) << last;
}

}  // namespace
