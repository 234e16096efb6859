#pragma once

#include <string>

namespace dusk::bench {

class BenchRecorder;

// A PNG chart of the frame times: one stacked column per group of frames (the mean of each
// part: update, the render steps, and the rest of the frame: poll, clear, swap, events), with
// a millisecond scale, frame numbers and a legend. False, with a message, on failure.
bool writeFrameChart(const BenchRecorder& recorder, const std::string& title,
                     const std::string& path);

}  // namespace dusk::bench
