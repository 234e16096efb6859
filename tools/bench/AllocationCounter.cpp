#include "AllocationCounter.h"

#include <algorithm>
#include <cstdlib>
#include <new>

// The sanitizers keep their own operator new, whose checks a replacement would hide; a static
// link of libstdc++ for Windows cannot replace its operator new (no weak definitions in PE), so
// nothing is counted there either.
#if defined(DUSK_SANITIZE) || defined(_WIN32)
#define DUSK_NO_ALLOCATION_COUNT
#endif

namespace {

// Per thread: the frame's own work is on the main thread, whatever libraries do on theirs.
thread_local std::uint64_t allocations = 0;

}  // namespace

bool dusk::bench::allocationCountAvailable() {
#ifdef DUSK_NO_ALLOCATION_COUNT
    return false;
#else
    return true;
#endif
}

std::uint64_t dusk::bench::allocationCount() {
    return allocations;
}

#ifndef DUSK_NO_ALLOCATION_COUNT

namespace {

void* counted(void* memory) {
    ++allocations;
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

// libstdc++ builds every other form of new and delete (arrays, no-throw) on these, so each
// allocation is counted once and freed by the allocator that made it.
void* operator new(std::size_t size) {
    return counted(std::malloc(size == 0 ? 1 : size));
}

void* operator new(std::size_t size, std::align_val_t alignment) {
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    return counted(
        std::aligned_alloc(align, (std::max<std::size_t>(size, 1) + align - 1) / align * align));
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}

#endif
