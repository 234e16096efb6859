#include "BenchToolRun.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;

// The share of pixels at and below row `top`, right of column `left`, that differ at all.
double differingShare(const Picture& a, const Picture& b, int left, int top) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) {
        return 1.0;
    }
    size_t differing = 0;
    for (int y = top; y < a.height; ++y) {
        for (int x = left; x < a.width; ++x) {
            differing += !std::equal(a.at(x, y), a.at(x, y) + 3, b.at(x, y));
        }
    }
    return double(differing) / ((a.height - top) * (a.width - left));
}

class OverlayPassViewsE2ETest : public testing::Test {
protected:
    // Clicks there until the output has grown by `text`, then lets two frames pass: the overlay
    // takes a press as a click only when the frame before saw the button up.
    bool act(int x, int y, const std::string& text) {
        const size_t seen = demo.output().size();
        click(x, y);
        const bool acted =
            waitUntil([&] { return demo.output().find(text, seen) != std::string::npos; }, 30.0,
                      "a line with \"" + text.substr(0, text.size() - 1) + "\"");
        Picture last = x11::windowPicture(window, dir.file("frame.png"));
        for (int frame = 0; frame < 2; ++frame) {
            waitUntil(
                [&] {
                    Picture next = x11::windowPicture(window, dir.file("frame.png"));
                    std::swap(next, last);
                    return next.rgb != last.rgb;
                },
                30.0, "a frame drawn");
        }
        return acted;
    }
    // Whether the window comes to show the shadow map (right of column `left`, from row `top`
    // down) or, with `shadow` false, comes to differ from it over a tenth of that.
    bool showsShadowMap(const char* name, int left, int top, bool shadow = true) {
        return waitUntil(
            [&] {
                const double d = differingShare(x11::windowPicture(window, dir.file(name)),
                                                shadowMap, left, top);
                return shadow ? d == 0.0 : d > 0.1;
            },
            30.0, std::string(shadow ? "the shadow map in " : "the overlay over ") + name);
    }
    void click(int x, int y) {
        outputOf("xdotool mousemove --window " + window + " --sync " + std::to_string(x) + " " +
                 std::to_string(y) + " click 1");
    }
    // Holds F6 until the last overlay line is `line` and stays so once the key is up: a hold
    // can outlast a poll and switch twice.
    bool switchOverlay(const std::string& line) {
        auto last = [&] {
            const std::string output = demo.output();
            const size_t on = output.rfind("enable overlay\n"),
                         off = output.rfind("disable overlay\n");
            return on != std::string::npos && (off == std::string::npos || off < on)
                       ? "enable overlay\n"
                       : "disable overlay\n";
        };
        for (int hold = 0; hold < 5; ++hold) {
            x11::holdKeyUntil(
                window, "F6", [&] { return last() == line; }, 30.0, "the line " + line);
            if (!waitUntil([&] { return last() != line; }, 1.0,
                           "a second switch (none is right)")) {
                return true;
            }
        }
        return false;
    }

    RunDirectory dir{"overlay-pass-views"};
    DemoProcess demo{dir};
    std::string window;
    Picture shadowMap;
};

// A click on the shadow map's picture shows it over the whole window, the pixels that capture
// --targets draws (the sun's view of the still scene is the same in every frame); folded, the
// overlay leaves all but its title line to it; a second click shows the final picture again,
// the reload button under the scrolled overlay reloads, and hiding the overlay ends a view.
TEST_F(OverlayPassViewsE2ETest, ClickedPassPicturesFillTheWindowUntilClickedAgainOrHidden) {
    ToolResult capture = runTool(
        {"capture", "--run-dir", dir.path(), "--at-frame", "1", "--targets", "--out", "capture"},
        dir.file("tool"));
    ASSERT_EQ(capture.exitCode, 0) << capture.out << capture.err;
    shadowMap = readPicture(dir.file("capture/frame-1-shadow.png"));
    window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    ASSERT_TRUE(switchOverlay("enable overlay\n")) << demo.output();

    // The shadow map's picture, first of the four under the GPU times, right of the overlay.
    ASSERT_TRUE(act(45, 272, "view: shadow map\n")) << demo.output();
    EXPECT_TRUE(showsShadowMap("shadow.png", 360, 0));
    click(6, 9);  // the title line's arrow
    EXPECT_TRUE(showsShadowMap("folded.png", 0, 24));
    // The arrow again, too far from the first click for a double click; a click on a picture
    // in the same frame would leave the overlay folded.
    click(14, 9);
    EXPECT_TRUE(showsShadowMap("open.png", 0, 24, false));
    EXPECT_TRUE(act(45, 272, "view: final picture\n"));
    EXPECT_TRUE(act(127, 272, "view: camera depth\n"));

    // The reload button, last in the overlay, under the bottom of the window until scrolled.
    outputOf("xdotool mousemove --window " + window + " --sync 200 300 click --repeat 15 5");
    EXPECT_TRUE(waitUntil(
        [&] {
            const Picture picture = x11::windowPicture(window, dir.file("scrolled.png"));
            const unsigned char* button = picture.rgb.empty() ? nullptr : picture.at(125, 450);
            return button != nullptr && button[2] > button[0] + 40 && button[1] > button[0] + 20;
        },
        30.0, "the reload button scrolled into the window"));
    EXPECT_TRUE(act(70, 456, "reloaded shaders\n")) << demo.output();

    const size_t seen = demo.output().size();
    ASSERT_TRUE(switchOverlay("disable overlay\n"));
    EXPECT_EQ(demo.output().substr(seen, 37), "view: final picture\ndisable overlay\n");
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
}

}  // namespace
