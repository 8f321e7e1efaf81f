// SPDX-License-Identifier: MIT
// The counting operator new that replaces the standard library's in each benchmark
// program linked with it.
#include "bench/allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int64_t> HeapAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    HeapAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace bench {

int64_t HeapAllocationsSoFar() {
    return HeapAllocations.load(std::memory_order_relaxed);
}

}  // namespace bench
