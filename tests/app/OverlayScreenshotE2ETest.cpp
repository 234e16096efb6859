#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>

namespace {

using namespace dusk::test;

// Holds the key until the demo's output has grown by a line that contains `text`.
bool press(const std::string& window, DemoProcess& demo, const std::string& key,
           const std::string& text) {
    const size_t seen = demo.output().size();
    return x11::holdKeyUntil(
        window, key, [&] { return demo.output().find(text, seen) != std::string::npos; }, 30.0);
}

// Holds F6 until the last overlay line is `line` and stays so once the key is up: on a busy
// machine a hold can outlast a poll and switch twice, also after the line it waited for.
bool switchOverlay(const std::string& window, DemoProcess& demo, const std::string& line) {
    const std::string other = line == "enable overlay\n" ? "disable overlay\n" : "enable overlay\n";
    auto lastIsLine = [&] {
        const std::string output = demo.output();
        const size_t last = output.rfind(line), lastOther = output.rfind(other);
        return last != std::string::npos && (lastOther == std::string::npos || lastOther < last);
    };
    for (int hold = 0; hold < 5; ++hold) {
        x11::holdKeyUntil(window, "F6", lastIsLine, 30.0);
        if (!waitUntil([&] { return !lastIsLine(); }, 1.0)) {
            return true;
        }
    }
    return false;
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
            return changedShare(settled.still, shown, 60, 300, 200) > 0.5;
        },
        30.0));
    EXPECT_FALSE(x11::cursorIsInvisible());

    // The wireframe box, the first control under the GPU times; mouse look leaves the pointer.
    const size_t seen = demo.output().size();
    outputOf("xdotool mousemove --window " + window + " --sync 17 221 click 1");
    EXPECT_TRUE(waitUntil(
        [&] { return demo.output().find("enable wireframe mode\n", seen) != std::string::npos; },
        30.0))
        << demo.output();

    ASSERT_TRUE(press(window, demo, "F8", "screenshot ")) << demo.output();
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
    EXPECT_TRUE(waitUntil(x11::cursorIsInvisible, 10.0));

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
