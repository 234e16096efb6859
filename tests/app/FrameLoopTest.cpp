#include "app/FrameLoop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string frameRateLine(float frameTime) {
    std::ostringstream out;
    dusk::writeFrameRateLine(out, frameTime);
    return out.str();
}

TEST(FrameLoopTest, FrameRateLineTruncatesTheRateOfOneFrame) {
    EXPECT_EQ(frameRateLine(0.02f), "50 FPS / Frametime: 0.02s\n");
    // 1 / (1/60) comes out just below 60 in single precision.
    EXPECT_EQ(frameRateLine(1.0f / 60.0f), "59 FPS / Frametime: 0.0166667s\n");
    EXPECT_EQ(frameRateLine(0.3f), "3 FPS / Frametime: 0.3s\n");
    EXPECT_EQ(frameRateLine(2.5e-5f), "40000 FPS / Frametime: 2.5e-05s\n");
}

TEST(FrameLoopTest, ZeroFrameTimeShowsNoRate) {
    EXPECT_EQ(frameRateLine(0.0f), "0 FPS / Frametime: 0s\n");
    // A frame time so small that the rate leaves the int range is as unmeasurable.
    EXPECT_EQ(frameRateLine(1e-30f), "0 FPS / Frametime: 1e-30s\n");
}

int queuedErrors = 0;
unsigned int scriptedGetError() {
    return queuedErrors-- > 0 ? 0x0500u : 0u;
}

TEST(FrameLoopTest, EveryQueuedErrorGivesOneLine) {
    queuedErrors = 3;
    std::ostringstream out;
    EXPECT_EQ(dusk::drainGlErrors(out, scriptedGetError), 3);
    EXPECT_EQ(out.str(), "ERROR: OpenGL!\nERROR: OpenGL!\nERROR: OpenGL!\n");

    queuedErrors = 0;
    std::ostringstream quiet;
    EXPECT_EQ(dusk::drainGlErrors(quiet, scriptedGetError), 0);
    EXPECT_EQ(quiet.str(), "");
}

}  // namespace
