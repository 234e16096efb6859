#pragma once

#include <cstdint>

namespace dusk::test {

// Heap allocations through operator new made by the calling thread since it started; the
// replacement operator new is in AllocationCounter.cpp. The sanitizer build keeps the
// sanitizer's own operator new, whose new/delete pairing checks a replacement would hide: there
// nothing is counted.
bool allocationCountAvailable();
std::uint64_t allocationCount();

}  // namespace dusk::test
