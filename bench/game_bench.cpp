// SPDX-License-Identifier: MIT
// The cost of a game's tick, of a new game, and the memory many games leave behind.
//
//   BM_FrameCopy         the least a tick must move: one 1000 x 576 frame, memcpy
//   BM_Tick              one bar tick: compose what changed and present it (headless)
//   BM_TickWhole         the same tick, the frame composed and presented whole
//   BM_TickWith500Shots  BM_Tick while 500 shots fly on their own threads
//   BM_ShotStep/N/rows   one step of each of N shots in flight (1 to 10,000) on one row
//                        (rows 0) or spread over every row (rows 1), per shot step
//   BM_NewGame           "Nuevo", headless
//   BM_ResidentAfter300Games  resident memory after the first and the 300th game
//
// The two ticks without shots also report their heap allocations per iteration.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "bench/allocations.h"
#include "game/bar.h"
#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/shot.h"
#include "runtime/test_clock.h"

namespace {

constexpr size_t FrameBytes = 1000 * 576 * 4;

void BM_FrameCopy(benchmark::State& state) {
    std::vector<uint32_t> from(FrameBytes / 4, 0xFFC0C0C0u), to(FrameBytes / 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), FrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FrameBytes));
}
BENCHMARK(BM_FrameCopy);

// A game whose bar worker is parked under the test clock, so the bench drives ticks.
std::shared_ptr<game::Game> ParkedGame() {
    runtime::UseTestClock(true);
    game::InstallHeadlessHost();
    game::NewGame();
    return game::CurrentGame();
}

// One tick of the bar worker, without its pause.
void ComposeAndPresent(game::Game& current) {
    const int32_t from = current.State.BarOffset.load();
    game::MoveBar(current);
    game::BarMoved(current, from, current.State.BarOffset.load());
    game::ComposeFrame(current);
}

void BM_Tick(benchmark::State& state) {
    std::shared_ptr<game::Game> current = ParkedGame();
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        ComposeAndPresent(*current);
    }
    counter.Report(state);
}
BENCHMARK(BM_Tick);

// The same tick with the whole frame composed and presented, as a frame would be with
// no record of what changed.
void BM_TickWhole(benchmark::State& state) {
    std::shared_ptr<game::Game> current = ParkedGame();
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        game::ChangeFrame(*current, render::Rect{0, 0, game::PlayAreaWidth, game::PlayAreaHeight});
        ComposeAndPresent(*current);
    }
    counter.Report(state);
}
BENCHMARK(BM_TickWhole);

// The shots keep their real pace: they all wake at each 1/64 s boundary, paint and
// scan, and contend with the tick for the drawing lock and the processor.
void BM_TickWith500Shots(benchmark::State& state) {
    std::shared_ptr<game::Game> current = ParkedGame();
    runtime::UseTestClock(false);
    for (auto _ : state) {
        state.PauseTiming();
        if (game::ShotsInFlight.load() < 100) {
            current->State.ShotCount = 0;
            game::AimAt(0);  // above the wall: every shot flies its 65 steps
            for (int shot = 0; shot < 500; ++shot) {
                game::FireShot();
            }
        }
        state.ResumeTiming();
        ComposeAndPresent(*current);
    }
    state.counters["shots_in_flight_at_end"] = game::ShotsInFlight.load();
}
BENCHMARK(BM_TickWith500Shots)->MinTime(2.0);

// N shots fired on one tick, then stepped 20 ticks under the test clock: each step
// composes and presents the shot's two places while the other shots fly, so the time
// per step grows with the shots only if a composition looks at shots far from it. In
// 20 steps a shot flies from x 955 to 670, short of the bar and the wall.
void BM_ShotStep(benchmark::State& state) {
    constexpr int32_t Steps = 20;
    constexpr int32_t Flight = game::ShotLastStep + 1;  // ticks until every shot has ended
    const auto shots = static_cast<int32_t>(state.range(0));
    const bool spread = state.range(1) != 0;
    ParkedGame();
    for (auto _ : state) {
        state.PauseTiming();
        game::NewGame();
        for (int32_t shot = 0; shot < shots; ++shot) {
            game::AimAt(spread ? shot % (game::AimLimit + 1) : 200);
            game::FireShot();
        }
        state.ResumeTiming();
        runtime::AdvanceTestClock(Steps);
        state.PauseTiming();
        runtime::AdvanceTestClock(Flight - Steps);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * shots * Steps);
    state.counters["per_shot_step"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * shots * Steps,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_ShotStep)
    ->ArgsProduct({{1, 10, 100, 1000, 10000}, {0, 1}})
    ->ArgNames({"shots", "spread"})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_NewGame(benchmark::State& state) {
    ParkedGame();
    for (auto _ : state) {
        game::NewGame();
        state.PauseTiming();
        runtime::AdvanceTestClock(1);  // the earlier game's bar worker stops
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NewGame)->Unit(benchmark::kMillisecond);

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

void BM_ResidentAfter300Games(benchmark::State& state) {
    ParkedGame();
    for (auto _ : state) {
        game::NewGame();
        runtime::AdvanceTestClock(1);
        const double afterFirst = ResidentMegabytes();
        for (int round = 1; round < 300; ++round) {
            game::NewGame();
            runtime::AdvanceTestClock(1);
        }
        state.counters["resident_first_MB"] = afterFirst;
        state.counters["resident_300th_MB"] = ResidentMegabytes();
        state.counters["growth_MB"] = ResidentMegabytes() - afterFirst;
    }
}
BENCHMARK(BM_ResidentAfter300Games)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
