#pragma once

#include <array>

namespace dusk {

// The overlay's record of frame times: the median of the last second, and a graph of the last
// ten seconds in tenths of a second. Fixed-size rings, so that adding a frame never allocates.
class FrameTimeHistory {
public:
    static constexpr int recentCapacity = 2048;  // frames kept for the median
    static constexpr int graphBins = 100;        // tenths of a second in the graph

    // A frame of `seconds` that ended at `now` (seconds on any steady clock).
    void add(double now, double seconds);
    // The median frame time of the frames that ended in the second up to `now`; 0 if none.
    double medianOfLastSecond(double now);
    // Fills `graph` with the longest frame time in milliseconds over each tenth of a second of
    // the ten seconds up to `now`, oldest first; 0 where no frame was recorded.
    void fillGraph(double now);

    std::array<float, graphBins> graph{};

private:
    struct Frame {
        double end = 0.0;
        double seconds = 0.0;
    };
    std::array<Frame, recentCapacity> recent{};
    int recentCount = 0;
    int recentNext = 0;
    std::array<double, recentCapacity> scratch{};  // the median's working copy
    // Per ring slot: the absolute tenth of a second it holds, and its longest frame.
    std::array<long long, graphBins> binTenth{};
    std::array<double, graphBins> binLongest{};
    bool binsUsed = false;
};

}  // namespace dusk
