// SPDX-License-Identifier: MIT
// The generator's cost: one new game draws 1394 numbers.
#include <benchmark/benchmark.h>

#include "runtime/random.h"

static void BM_RandomInt(benchmark::State& state) {
    runtime::RandomState = 0x4728C000u;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::RandomInt(30000, 16777215));
    }
}
BENCHMARK(BM_RandomInt);
