#include "app/DebugKeysRealKeys.h"
#include "support/EndToEnd.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
namespace x11 = dusk::test::x11;
using MagickCore::Quantum;

constexpr int width = 640;  // less than half the 1920 x 1080 test screen both ways
constexpr int height = 480;

bool pointerAt(int x, int y) {
    int px = -1;
    int py = -1;
    std::string shell = x11::run("xdotool getmouselocation --shell");
    return std::sscanf(shell.c_str(), "X=%d\nY=%d", &px, &py) == 2 && px == x && py == y;
}

// Keeps asking until the pointer is back on (x, y) or the time is up.
bool pointerReturnsTo(int x, int y, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!pointerAt(x, y)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        dusk::test::sleepSeconds(0.05);
    }
    return true;
}

// The window's pixels (it sits at the screen's origin).
Magick::Image windowShot(const RunDirectory& dir, const std::string& name) {
    const std::string path = dir.file(name + ".png");
    x11::run("import -window root -crop " + std::to_string(width) + "x" + std::to_string(height) +
             "+0+0 " + path);
    return Magick::Image(path);
}

// The share of pixels whose colour moved by more than a tenth of the range.
double changedShare(const Magick::Image& a, const Magick::Image& b) {
    const Magick::PixelPacket* p = a.getConstPixels(0, 0, width, height);
    const Magick::PixelPacket* q = b.getConstPixels(0, 0, width, height);
    const int limit = QuantumRange / 10;
    int changed = 0;
    for (int i = 0; i < width * height; ++i) {
        if (std::abs(int(p[i].red) - int(q[i].red)) + std::abs(int(p[i].green) - int(q[i].green)) +
                std::abs(int(p[i].blue) - int(q[i].blue)) >
            limit) {
            ++changed;
        }
    }
    return double(changed) / (width * height);
}

// The real demo with its clock sped up tenfold (libfaketime), so the intro is over in seconds.
TEST(MouseLookE2ETest, AfterTheIntroThePointerTurnsTheViewAndIsPutBackInsideTheWindow) {
    RunDirectory dir("mouse-look", std::to_string(width) + " " + std::to_string(height) + "\n");
    const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
    const std::string saved = sanitizerOptions != nullptr ? sanitizerOptions : "";
    // The sanitizer runtime wants to be loaded first; the preloaded clock comes before it.
    setenv("ASAN_OPTIONS", (saved + ":verify_asan_link_order=0").c_str(), 1);
    setenv("LD_PRELOAD", DUSK_FAKETIME_LIBRARY, 1);
    setenv("FAKETIME", "+0 x10", 1);
    DemoProcess demo(dir);
    unsetenv("LD_PRELOAD");
    unsetenv("FAKETIME");
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
    const std::string window = x11::waitForWindow("Dusklorne", 60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    x11::run("xdotool windowfocus --sync " + window);
    ASSERT_TRUE(demo.waitForOutput("Expl\n", 120.0)) << demo.output();

    // Free flight has begun once the camera pulls the pointer back to the window's centre.
    const int centreX = width / 2;
    const int centreY = height / 2;
    bool free = false;
    for (int i = 0; i < 100 && !free; ++i) {
        x11::moveMouse(width - 40, height - 30);
        free = pointerReturnsTo(centreX, centreY, 0.5);
    }
    ASSERT_TRUE(free) << "the pointer was never put back to the window's centre";

    dusk::test::sleepSeconds(0.5);
    Magick::Image before = windowShot(dir, "before");
    dusk::test::sleepSeconds(0.5);
    Magick::Image still = windowShot(dir, "still");
    x11::moveMouse(centreX + 200, centreY);
    ASSERT_TRUE(pointerReturnsTo(centreX, centreY, 10.0));
    dusk::test::sleepSeconds(0.5);
    Magick::Image turned = windowShot(dir, "turned");
    const double drift = changedShare(before, still);
    const double turn = changedShare(still, turned);
    // Two still frames differ only where the particles drift; a turn moves the whole view.
    EXPECT_GT(turn, 0.1) << "drift " << drift;
    EXPECT_LT(drift * 10, turn) << "turn " << turn;

    EXPECT_EQ(dusk::test::endWithEscape(window, demo), 0) << demo.output();
}

}  // namespace
