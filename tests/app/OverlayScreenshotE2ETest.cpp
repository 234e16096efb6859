#include "support/EndToEnd.h"

#include "assets/Texture.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iterator>
#include <regex>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
using dusk::test::waitUntil;
namespace x11 = dusk::test::x11;

// The share of pixels in the window's top-left 300 x 200 (where the overlay sits) or, with
// `whole`, in all of it, whose colour moved by more than `tolerance` in sum over the channels.
double changedShare(const x11::Picture& a, const x11::Picture& b, bool whole, int tolerance) {
    if (a.rgb.empty() || a.width != b.width || a.height != b.height) {
        return 1.0;
    }
    const int width = whole ? a.width : std::min(a.width, 300);
    const int height = whole ? a.height : std::min(a.height, 200);
    size_t changed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = 3 * (size_t(y) * a.width + x);
            changed += std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                           std::abs(a.rgb[i + 2] - b.rgb[i + 2]) >
                       tolerance;
        }
    }
    return double(changed) / double(width * height);
}

x11::Picture pictureOfFile(const std::string& path) {
    x11::Picture picture;
    dusk::initializeImageLibrary();
    Magick::Image image(path);
    Magick::Blob pixels;
    image.write(&pixels, "RGB", 8);
    picture.width = static_cast<int>(image.columns());
    picture.height = static_cast<int>(image.rows());
    const auto* bytes = static_cast<const unsigned char*>(pixels.data());
    picture.rgb.assign(bytes, bytes + pixels.length());
    return picture;
}

// Holds the key until the demo's output has grown by a line that contains `text`.
bool press(const std::string& window, DemoProcess& demo, const std::string& key,
           const std::string& text) {
    const size_t seen = demo.output().size();
    return x11::holdKeyUntil(
        window, key, [&] { return demo.output().find(text, seen) != std::string::npos; }, 30.0);
}

// Holds F6 until the last overlay line is `line`: on a busy machine a hold can outlast a poll
// and switch twice.
bool switchOverlay(const std::string& window, DemoProcess& demo, const std::string& line) {
    const std::string other = line == "enable overlay\n" ? "disable overlay\n" : "enable overlay\n";
    const size_t seen = demo.output().size();
    return x11::holdKeyUntil(
        window, "F6",
        [&] {
            const std::string output = demo.output();
            const size_t last = output.rfind(line);
            const size_t lastOther = output.rfind(other);
            return last != std::string::npos && last >= seen &&
                   (lastOther == std::string::npos || lastOther < last);
        },
        30.0);
}

// The demo after its intro (sped-up clock), its view settled: the camera stands still.
struct SettledDemo {
    explicit SettledDemo(const std::string& name) : dir(name, "640 480\n"), demo(dir, true) {
        window = x11::waitForWindow(60.0);
        if (window.empty()) {
            return;
        }
        x11::run("xdotool windowfocus --sync " + window);
        // Free flight has begun once the camera pulls the pointer back to the centre.
        waitUntil(
            [] {
                x11::moveMouse(600, 450);
                return waitUntil([] { return x11::pointerIsAt(320, 240); }, 0.5);
            },
            120.0);
        // Two pictures half a second apart, several frames even on a busy machine, and not the
        // blank one of a window that has not drawn yet.
        auto taken = std::chrono::steady_clock::now();
        waitUntil(
            [&] {
                if (std::chrono::steady_clock::now() - taken < std::chrono::milliseconds(500)) {
                    return false;
                }
                x11::Picture next = x11::windowPicture(window, dir.file("still.png"));
                taken = std::chrono::steady_clock::now();
                const bool drawn = std::adjacent_find(next.rgb.begin(), next.rgb.end(),
                                                      std::not_equal_to<>()) != next.rgb.end();
                const bool steady =
                    drawn && !still.rgb.empty() && changedShare(still, next, true, 25) < 0.02;
                still = next;
                return steady;
            },
            60.0);
    }

    RunDirectory dir;
    DemoProcess demo;
    std::string window;
    x11::Picture still;
};

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
    x11::Picture shown;
    EXPECT_TRUE(waitUntil(
        [&] {
            shown = x11::windowPicture(window, settled.dir.file("shown.png"));
            return changedShare(settled.still, shown, false, 60) > 0.5;
        },
        30.0));
    EXPECT_FALSE(x11::cursorIsInvisible());

    // The wireframe box, the first control under the GPU times; mouse look leaves the pointer.
    const size_t seen = demo.output().size();
    x11::run("xdotool mousemove --window " + window + " --sync 17 221 click 1");
    EXPECT_TRUE(waitUntil(
        [&] { return demo.output().find("enable wireframe mode\n", seen) != std::string::npos; },
        30.0))
        << demo.output();

    ASSERT_TRUE(press(window, demo, "F8", "screenshot ")) << demo.output();
    const x11::Picture onScreen = x11::windowPicture(window, settled.dir.file("window.png"));
    std::smatch line;
    const std::string output = demo.output();
    ASSERT_TRUE(std::regex_search(
        output, line,
        std::regex("\nscreenshot saved: (screenshots/dusklorne-20[0-9]{6}-[0-9]{6}-1\\.png)\n")))
        << output;
    const x11::Picture saved = pictureOfFile(settled.dir.file(line[1]));
    EXPECT_EQ(saved.width, 640);
    EXPECT_EQ(saved.height, 480);
    // Only the overlay's figures and the particles move between the two.
    EXPECT_LT(changedShare(saved, onScreen, true, 24), 0.03);

    ASSERT_TRUE(switchOverlay(window, demo, "disable overlay\n"));
    EXPECT_TRUE(waitUntil(x11::cursorIsInvisible, 10.0));

    // F8 held with ESC: the screenshots still being written at the end are finished and
    // reported, never cut off.
    x11::run("xdotool windowfocus --sync " + window + "; xdotool keydown F8 keydown Escape");
    const int exitCode = demo.waitForExit(60.0);
    x11::run("xdotool keyup Escape keyup F8");
    EXPECT_EQ(exitCode, 0);
    const std::string last = demo.output();
    std::regex savedLine("screenshot saved: (screenshots/[^\n]+\\.png)\n");
    int reported = 0;
    for (std::sregex_iterator it(last.begin(), last.end(), savedLine), end; it != end; ++it) {
        ++reported;
        EXPECT_EQ(pictureOfFile(settled.dir.file((*it)[1])).height, 480) << (*it)[1];
    }
    const auto files = std::filesystem::directory_iterator(settled.dir.file("screenshots"));
    EXPECT_GE(reported, 2) << last;
    EXPECT_EQ(reported, std::distance(begin(files), end(files))) << last;
}

// A screenshot that cannot be written, here because a file takes the folder's name, is one
// line; nothing is reported as saved and the demo goes on.
TEST(OverlayScreenshotE2ETest, UnwritableFolderGivesTheFailureLineAndTheDemoGoesOn) {
    RunDirectory dir("screenshot-unwritable", "320 240\n");
    dusk::test::writeFile(dir.file("screenshots"), "not a folder\n");
    DemoProcess demo(dir);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    x11::run("xdotool windowfocus --sync " + window);

    ASSERT_TRUE(press(window, demo, "F8", "screenshot ")) << demo.output();
    ASSERT_TRUE(press(window, demo, "F3", "enable wireframe mode\n")) << demo.output();
    const std::string output = demo.output();
    EXPECT_TRUE(std::regex_search(
        output, std::regex("\nscreenshot failed: screenshots/dusklorne-[0-9-]+\\.png: [^\n]+\n")))
        << output;
    EXPECT_EQ(output.find("screenshot saved"), std::string::npos);
    EXPECT_EQ(dusk::test::readFile(dir.file("screenshots")), "not a folder\n");
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
}

}  // namespace
