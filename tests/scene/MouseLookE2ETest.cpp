#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
namespace x11 = dusk::test::x11;

// The share of pixels whose colour moved by more than a tenth of the range.
double changedShare(const x11::Picture& a, const x11::Picture& b) {
    size_t changed = 0;
    for (size_t i = 0; i < a.rgb.size() && a.rgb.size() == b.rgb.size(); i += 3) {
        changed += std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                       std::abs(a.rgb[i + 2] - b.rgb[i + 2]) >
                   25;
    }
    return a.rgb.empty() ? 0.0 : double(changed) / double(a.rgb.size() / 3);
}

// The real demo with a sped-up clock: after the intro, in a window smaller than half the screen
// (it sits at the screen's origin), the pointer moved away from the window's centre turns the
// view and is put back there, inside the window.
TEST(MouseLookE2ETest, AfterTheIntroThePointerTurnsTheViewAndReturnsToTheWindowCentre) {
    RunDirectory dir("mouse-look", "640 480\n");
    DemoProcess demo(dir, true);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    x11::run("xdotool windowfocus --sync " + window);
    // Free flight has begun once the camera pulls the pointer back.
    ASSERT_TRUE(dusk::test::waitUntil(
        [] {
            x11::moveMouse(600, 450);
            return dusk::test::waitUntil([] { return x11::pointerIsAt(320, 240); }, 0.5);
        },
        120.0));

    // The view settles while the pointer stays put; 160 pixels below the centre look down.
    x11::Picture still, next;
    ASSERT_TRUE(dusk::test::waitUntil(
        [&] {
            next = x11::windowPicture(window, dir.file("still.png"));
            const bool steady = !still.rgb.empty() && changedShare(still, next) < 0.05;
            still = next;
            return steady;
        },
        20.0));
    x11::moveMouse(320, 400);
    EXPECT_TRUE(dusk::test::waitUntil([] { return x11::pointerIsAt(320, 240); }, 30.0));
    EXPECT_TRUE(dusk::test::waitUntil(
        [&] {
            next = x11::windowPicture(window, dir.file("turned.png"));
            return changedShare(still, next) > 0.3;
        },
        30.0))
        << changedShare(still, next);

    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
}

}  // namespace
