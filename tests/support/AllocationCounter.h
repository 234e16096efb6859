#pragma once

// Counts the C++ heap allocations a test's own thread makes while countingAllocations is set.
// The replaced global operator new and delete live in AllocationCounter.cpp and serve every test
// program; outside a counting window they only pass the request on.
namespace dusk::test {

extern thread_local bool countingAllocations;
extern thread_local int allocationCount;

}  // namespace dusk::test
