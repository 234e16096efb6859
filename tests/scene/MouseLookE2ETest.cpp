#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;

// The real demo with a sped-up clock: after the intro, in a window smaller than half the screen
// (it sits at the screen's origin), the pointer moved away from the window's centre turns the
// view and is put back there, inside the window.
TEST(MouseLookE2ETest, AfterTheIntroThePointerTurnsTheViewAndReturnsToTheWindowCentre) {
    SettledDemo settled("mouse-look");
    ASSERT_FALSE(settled.still.rgb.empty()) << settled.demo.output();
    // 160 pixels below the centre look down. The camera reads the pointer and then puts it back:
    // a move that falls between the two is lost, so the move is made again until the view turns
    // (further down each time).
    Picture turned;
    bool returned = true;
    EXPECT_TRUE(waitUntil(
        [&] {
            x11::moveMouse(320, 400);
            returned = returned && waitUntil([] { return x11::pointerIsAt(320, 240); }, 30.0,
                                             "the pointer back at the window's centre");
            return waitUntil(
                [&] {
                    turned = x11::windowPicture(settled.window, settled.dir.file("turned.png"));
                    return changedShare(settled.still, turned, 25) > 0.3;
                },
                10.0, "the view to turn");
        },
        60.0, "a move of the pointer that turns the view"))
        << changedShare(settled.still, turned, 25);
    EXPECT_TRUE(returned);
    EXPECT_EQ(x11::endWithEscape(settled.window, settled.demo), 0);
}

}  // namespace
