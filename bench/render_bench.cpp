// SPDX-License-Identifier: MIT
// The drawing surface's cost per frame, each beside the plain loop that bounds it:
// the clear against std::fill of the same words, the copy of the block layer against
// memcpy of its rows, a block's box, and the score line's text.
//
// Every heap allocation of the process is counted (malloc, calloc and realloc are
// replaced, and operator new allocates through malloc); the "allocations" counter
// is the number made inside the timed loop, after one untimed call. It must be 0.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/surface.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

namespace {

std::atomic<int64_t> Allocations{0};

}  // namespace

extern "C" {
void* malloc(size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
}

namespace {

constexpr int32_t FrameWidth = 1000, FrameHeight = 576;
constexpr int32_t LayerWidth = 620, LayerHeight = 550;

// Runs one untimed call, then the timed loop, and reports the allocations made in it.
template <typename Operation>
void Measure(benchmark::State& state, Operation&& operation) {
    operation();
    const int64_t before = Allocations.load();
    for (auto _ : state) {
        operation();
        benchmark::ClobberMemory();
    }
    state.counters["allocations"] = static_cast<double>(Allocations.load() - before);
}

render::SurfaceHandle AttachedFrame() {
    const render::SurfaceHandle frame = render::NewBitmap(FrameWidth, FrameHeight);
    render::AttachSurface(frame, 0);
    render::ClearSurface(render::ColourSilver);
    return frame;
}

void BM_ClearSurface(benchmark::State& state) {
    AttachedFrame();
    Measure(state, [] { render::ClearSurface(render::ColourSilver); });
}
BENCHMARK(BM_ClearSurface);

// Silver is one byte repeated, so memset writes the very same bytes.
void BM_ClearLimit_Memset(benchmark::State& state) {
    std::vector<uint32_t> words(static_cast<size_t>(FrameWidth) * FrameHeight);
    Measure(state, [&] { std::memset(words.data(), 0xC0, words.size() * sizeof(uint32_t)); });
}
BENCHMARK(BM_ClearLimit_Memset);

void BM_CopyBitmap(benchmark::State& state) {
    const render::SurfaceHandle layer = render::NewBitmap(LayerWidth, LayerHeight);
    render::AttachSurface(layer, 0);
    render::ClearSurface(0x00D7FF);
    AttachedFrame();
    Measure(state, [&] { render::CopyBitmap(layer, 0); });
}
BENCHMARK(BM_CopyBitmap);

void BM_CopyLimit_MemcpyRows(benchmark::State& state) {
    std::vector<uint32_t> layer(static_cast<size_t>(LayerWidth) * LayerHeight, 0xFFFFD700u);
    std::vector<uint32_t> frame(static_cast<size_t>(FrameWidth) * FrameHeight);
    Measure(state, [&] {
        for (int32_t row = 0; row < LayerHeight; ++row) {
            std::memcpy(frame.data() + static_cast<size_t>(row) * FrameWidth,
                        layer.data() + static_cast<size_t>(row) * LayerWidth,
                        LayerWidth * sizeof(uint32_t));
        }
    });
}
BENCHMARK(BM_CopyLimit_MemcpyRows);

void BM_DrawBox_Block(benchmark::State& state) {
    AttachedFrame();
    Measure(state, [] { render::DrawBox(40, 60, 60, 90, 0, 0xFFFFFF, 0x4360B0); });
}
BENCHMARK(BM_DrawBox_Block);

void BM_DrawBox_Launcher(benchmark::State& state) {
    AttachedFrame();
    Measure(state, [] { render::DrawBox(980, 100, 998, 151, 70, 0x000080, 0x00D7FF); });
}
BENCHMARK(BM_DrawBox_Launcher);

// The score line as a frame draws it: position, text, end of line.
void BM_DrawText_Score(benchmark::State& state) {
    AttachedFrame();
    render::SetTextFont(render::NewFont("Times New Roman", 14, render::FontBold));
    render::SetBackColour(render::ColourNone);
    Measure(state, [] {
        render::SetPosition(700, 8);
        render::DrawText("Bloques Destruidos 100");
        render::EndTextLine();
    });
}
BENCHMARK(BM_DrawText_Score);

}  // namespace

BENCHMARK_MAIN();
