#include "app/FrameLoop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(FrameLoopTest, FrameRateLineShowsTheTruncatedRateOfOneFrame) {
    for (auto [frameTime, line] :
         {std::pair{0.02f, "50 FPS / Frametime: 0.02s\n"},
          {1.0f / 60.0f, "59 FPS / Frametime: 0.0166667s\n"},  // just below 60 in float
          {2.5e-5f, "40000 FPS / Frametime: 2.5e-05s\n"},
          {0.0f, "0 FPS / Frametime: 0s\n"},  // no measurable rate
          {1e-30f, "0 FPS / Frametime: 1e-30s\n"}}) {
        std::ostringstream out;
        dusk::writeFrameRateLine(out, frameTime);
        EXPECT_EQ(out.str(), line);
    }
}

int queuedErrors = 3;
unsigned int nextQueuedError() {
    return queuedErrors-- > 0 ? 0x0500u : 0u;
}

TEST(FrameLoopTest, EveryQueuedGlErrorGivesOneLine) {
    std::ostringstream out;
    EXPECT_EQ(dusk::drainGlErrors(out, nextQueuedError), 3);
    EXPECT_EQ(out.str(), "ERROR: OpenGL!\nERROR: OpenGL!\nERROR: OpenGL!\n");
}

}  // namespace
