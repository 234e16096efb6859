#pragma once

#include <cstdint>
#include <vector>

namespace dusk {

// Largest result of nextRandom(), the classic 15-bit range.
constexpr int randomMax = 32767;

// The one process-wide generator of the scene: state = state * 214013 + 2531011 (mod 2^32),
// result = (state >> 16) & 0x7FFF. Starts from 1, so every run builds the same scene. Scripted
// results, if any, come first.
int nextRandom();

// Restarts the generator at the given state and drops any scripted results.
void resetRandom(std::uint32_t state = 1);

// The next results nextRandom() returns, before it goes back to the generator.
void scriptRandom(std::vector<int> results);

// How many results have been drawn since the last reset.
std::uint64_t randomDrawCount();

}  // namespace dusk
