#include "app/FrameLoop.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(FrameLoopTest, FrameRateLineShowsTheTruncatedRateOfOneFrame) {
    struct Case {
        float frameTime;
        const char* line;
    };
    for (const Case& c : {
             Case{0.02f, "50 FPS / Frametime: 0.02s\n"},
             Case{1.0f / 60.0f, "59 FPS / Frametime: 0.0166667s\n"},  // just below 60 in float
             Case{2.5e-5f, "40000 FPS / Frametime: 2.5e-05s\n"},
             Case{0.0f, "0 FPS / Frametime: 0s\n"},  // no measurable rate
             Case{1e-30f, "0 FPS / Frametime: 1e-30s\n"},
         }) {
        std::ostringstream out;
        dusk::writeFrameRateLine(out, c.frameTime);
        EXPECT_EQ(out.str(), c.line);
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
