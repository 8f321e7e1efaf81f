// SPDX-License-Identifier: MIT
// Heap allocations counted by this program's own operator new (allocations.cpp), so a
// benchmark can report how many its timed loop makes.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace bench {

// The program's heap allocations so far, from every thread.
int64_t HeapAllocationsSoFar();

// Reports the heap allocations made since it was made, per iteration ("allocs/iter").
class AllocationCounter {
  public:
    AllocationCounter() : start_(HeapAllocationsSoFar()) {}
    void Report(benchmark::State& state) const {
        state.counters["allocs/iter"] =
            benchmark::Counter(static_cast<double>(HeapAllocationsSoFar() - start_),
                               benchmark::Counter::kAvgIterations);
    }

  private:
    int64_t start_;
};

}  // namespace bench
