#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local std::uint64_t allocations = 0;

}  // namespace

namespace dusk::test {

#ifdef DUSK_SANITIZE
bool allocationCountAvailable() {
    return false;
}
#else
bool allocationCountAvailable() {
    return true;
}
#endif

std::uint64_t allocationCount() {
    return allocations;
}

}  // namespace dusk::test

#ifndef DUSK_SANITIZE
// Every other form of new, and every delete, of the C++ library goes through this one or through
// malloc and free, which it pairs with.
void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
#endif
