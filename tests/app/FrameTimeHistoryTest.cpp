#include "app/FrameTimeHistory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Frames = std::vector<std::pair<double, double>>;  // each frame's end and length

// The median counts exactly the frames that ended in the last second, up to 5.5: of an even
// count the mean of the middle two, of an odd one the middle one, whatever a slow frame takes.
TEST(FrameTimeHistoryTest, MedianOfTheFramesOfTheLastSecond) {
    for (const auto& [frames, median] : {
             std::pair<Frames, double>{{{5.1, 0.01}, {5.2, 0.04}, {5.3, 0.02}, {5.4, 0.03}}, 0.025},
             {{{5.1, 0.3}, {5.2, 0.05}, {5.3, 0.06}}, 0.06},
             {{{4.2, 0.01}, {4.3, 0.01}, {4.4, 0.01}, {5.2, 0.04}}, 0.04},  // older: left out
         }) {
        dusk::FrameTimeHistory history;
        for (auto [end, seconds] : frames) {
            history.add(end, seconds);
        }
        EXPECT_NEAR(history.medianOfLastSecond(5.5), median, 1e-9) << median;
    }
}

// Each tenth of a second shows the longest frame that covered it; a long frame fills every
// tenth it spans, and ten seconds on it has left the graph.
TEST(FrameTimeHistoryTest, GraphHoldsTheLongestFrameOfEachTenth) {
    dusk::FrameTimeHistory history;
    history.add(9.78, 0.02);
    history.add(10.04, 0.23);  // from 9.81: the tenths 98, 99 and 100
    history.add(10.07, 0.02);
    history.fillGraph(10.09);  // the last bin is the tenth 100
    for (int i = 0; i < dusk::FrameTimeHistory::graphBins; ++i) {
        EXPECT_NEAR(history.graph[i], i == 96 ? 20.0f : i > 96 ? 230.0f : 0.0f, 1e-3) << i;
    }
    history.fillGraph(20.1);
    EXPECT_EQ(*std::max_element(history.graph.begin(), history.graph.end()), 0.0f);
}

}  // namespace
