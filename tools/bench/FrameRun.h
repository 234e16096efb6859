#pragma once

#include <chrono>

namespace dusk::bench {

struct Options;

// Runs the capture or bench command in the working directory (or the run directory given) and
// returns the exit code: 0 when everything asked for was done, 1 otherwise.
int runCommand(const Options& options, std::chrono::steady_clock::time_point programStart);

}  // namespace dusk::bench
