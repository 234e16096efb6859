#pragma once

#include <cstdint>

namespace dusk::bench {

// Heap allocations through operator new (every form) made by the calling thread since it
// started. The counter replaces the global operator new of any program that links the
// dusk_allocation_counter library. The sanitizer build keeps the sanitizer's own operator new,
// whose new/delete pairing checks a replacement would hide, and the Windows build cannot replace
// it: there nothing is counted.
bool allocationCountAvailable();
std::uint64_t allocationCount();  // 0 where the count is not available

}  // namespace dusk::bench
