#pragma once

#include <cstdint>

namespace dusk::bench {

// Heap allocations through operator new (every form) since the program started. The counter
// replaces the global operator new, so only the dusk_bench program has it.
std::uint64_t allocationCount();

}  // namespace dusk::bench
