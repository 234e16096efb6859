#pragma once

#include <string>

namespace dusk::bench {

class BenchRecorder;

// A PNG chart of the frame times over the intro: stacked columns of the mean time of each part
// of the frame (update, the render steps, and the rest: poll, clear, swap, events) against
// pathTime, a millisecond scale, a legend, and with the floor run the floor of the render steps
// as a line. False, with one error line, on failure.
bool writeFrameChart(const BenchRecorder& recorder, const std::string& title,
                     const std::string& path);

}  // namespace dusk::bench
