#pragma once

#include <chrono>
#include <cstdint>

namespace dusk::bench {

struct Options;

// How many heap allocations the program has made so far; the program's own counter.
using AllocationCount = std::uint64_t (*)();

// Runs the capture or bench command in the working directory (or the run directory given) and
// returns the exit code: 0 when everything asked for was done, 1 otherwise.
int runCommand(const Options& options, std::chrono::steady_clock::time_point programStart,
               AllocationCount allocationCount);

}  // namespace dusk::bench
