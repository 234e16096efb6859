#include "render/GpuTimer.h"
#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <array>

namespace {

class GpuTimerGLTest : public dusk::test::GLTest {};

// Frames of two steps, each clearing the window: `frames` closed under the numbers 100, 101, ...
void runFrames(dusk::GpuTimer& timer, int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        timer.stamp();
        for (int step = 0; step < 2; ++step) {
            glClear(GL_COLOR_BUFFER_BIT);
            timer.stamp();
        }
        timer.endFrame(100 + frame);
    }
}

// Every frame the ring still holds comes back once, oldest first, with times of at least 0;
// frames the ring came round to before anyone took them are counted as dropped.
TEST_F(GpuTimerGLTest, ClosedFramesComeBackInOrderOrAreCountedAsDropped) {
    // frames closed, the first to come back, frames dropped
    for (auto [frames, firstBack, dropped] : {std::array{3, 100, 0}, {4, 100, 0}, {7, 103, 3}}) {
        SCOPED_TRACE(frames);
        dusk::GpuTimer timer(2, 4);
        runFrames(timer, frames);
        std::int64_t id = -1, next = firstBack;
        double seconds[2] = {-1.0, -1.0};
        while (timer.takeFinished(&id, seconds, true)) {
            EXPECT_EQ(id, next++);
            EXPECT_TRUE(seconds[0] >= 0.0 && seconds[1] >= 0.0);
        }
        EXPECT_EQ(next - firstBack, frames - dropped);
        EXPECT_EQ(timer.dropped, dropped);
    }
}

// A frame with a stamp missing is never reported. Results are only read once the GL has them:
// polling until then reports the next whole frame once.
TEST_F(GpuTimerGLTest, AFrameWithoutAllItsStampsIsLeftOutAndPollingReportsTheNextOnce) {
    dusk::GpuTimer timer(2, 4);
    timer.stamp();
    timer.stamp();
    timer.endFrame(7);
    runFrames(timer, 1);
    glFlush();
    std::int64_t id = -1;
    double seconds[2];
    EXPECT_TRUE(dusk::test::waitUntil([&] { return timer.takeFinished(&id, seconds); }, 10.0,
                                      "the frame's timings"));
    EXPECT_EQ(id, 100);
    EXPECT_FALSE(timer.takeFinished(&id, seconds, true));
}

}  // namespace
