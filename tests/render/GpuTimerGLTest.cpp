#include "render/GpuTimer.h"
#include "support/GLContext.h"

#include <chrono>
#include <vector>

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
    struct Case {
        int frames;
        int firstBack;
        int dropped;
    };
    for (Case c : {Case{3, 100, 0}, Case{4, 100, 0}, Case{7, 103, 3}}) {
        SCOPED_TRACE(c.frames);
        dusk::GpuTimer timer(2, 4);
        runFrames(timer, c.frames);
        std::vector<std::int64_t> back;
        std::int64_t id = -1;
        double seconds[2] = {-1.0, -1.0};
        while (timer.takeFinished(&id, seconds, true)) {
            back.push_back(id);
            EXPECT_GE(seconds[0], 0.0);
            EXPECT_GE(seconds[1], 0.0);
        }
        ASSERT_EQ(back.size(), static_cast<size_t>(c.frames - c.dropped));
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(back[i], c.firstBack + static_cast<std::int64_t>(i));
        }
        EXPECT_EQ(timer.dropped, c.dropped);
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
    int reports = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (reports == 0 && std::chrono::steady_clock::now() < giveUp) {
        reports += timer.takeFinished(&id, seconds) ? 1 : 0;
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(id, 100);
    EXPECT_FALSE(timer.takeFinished(&id, seconds, true));
}

}  // namespace
