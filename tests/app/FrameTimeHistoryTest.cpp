#include "app/FrameTimeHistory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

struct Frames {
    double firstEnd;
    double seconds;  // each frame's length; they follow one another
    int count;
};

// The median counts exactly the frames that ended in the last second.
TEST(FrameTimeHistoryTest, MedianOfTheFramesOfTheLastSecond) {
    struct Case {
        const char* name;
        std::vector<Frames> frames;
        double now;
        double median;
    };
    for (const Case& c : {
             Case{"steady", {{0.01, 0.01, 200}}, 2.0, 0.01},
             Case{"older second left out", {{0.1, 0.1, 10}, {1.02, 0.02, 50}}, 2.0, 0.02},
             Case{"even count: mean of the middle two",
                  {{5.1, 0.01, 1}, {5.2, 0.04, 1}, {5.3, 0.02, 1}, {5.4, 0.03, 1}},
                  5.5,
                  0.025},
             Case{"a slow odd one out", {{3.1, 0.3, 1}, {3.2, 0.05, 1}, {3.3, 0.06, 1}}, 3.5, 0.06},
             Case{"nothing in the last second", {{0.5, 0.5, 1}}, 2.0, 0.0},
         }) {
        SCOPED_TRACE(c.name);
        dusk::FrameTimeHistory history;
        for (const Frames& run : c.frames) {
            for (int i = 0; i < run.count; ++i) {
                history.add(run.firstEnd + i * run.seconds, run.seconds);
            }
        }
        EXPECT_NEAR(history.medianOfLastSecond(c.now), c.median, 1e-9);
    }
}

// Each tenth of a second shows the longest frame that covered it; a long frame fills every
// tenth it spans, and ten seconds on it has left the graph.
TEST(FrameTimeHistoryTest, GraphHoldsTheLongestFrameOfEachTenth) {
    dusk::FrameTimeHistory history;
    history.add(9.78, 0.02);
    history.add(10.04, 0.23);  // from 9.81: the tenths 98, 99 and 100
    history.add(10.07, 0.02);
    history.fillGraph(10.09);
    for (int i = 0; i < dusk::FrameTimeHistory::graphBins; ++i) {
        // The last bin is the tenth 100.
        EXPECT_NEAR(history.graph[i],
                    i == 96  ? 20.0f
                    : i > 96 ? 230.0f
                             : 0.0f,
                    1e-3)
            << "bin " << i;
    }
    history.fillGraph(20.1);
    EXPECT_EQ(std::count(std::begin(history.graph), std::end(history.graph), 0.0f),
              dusk::FrameTimeHistory::graphBins);
}

}  // namespace
