// SPDX-License-Identifier: MIT
// The cost of a game's tick, of a new game, and the memory many games leave behind.
//
//   BM_FrameCopy         the least a tick must move: one 1000 x 576 frame, memcpy
//   BM_Tick              one bar tick: compose what changed and present it (headless),
//                        at device scales 1, 2 and 3
//   BM_TickWhole         the same tick, the frame composed and presented whole
//   BM_TickWith500Shots  BM_Tick while 500 shots fly on their own threads
//   BM_ShotStep          one step of each of N shots in flight (1 to 10,000), on one
//                        row (spread 0) or over every row (spread 1): per_shot_step
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
#include "render/scale.h"
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

// A game whose bar worker is parked under the test clock, so the bench drives ticks,
// at a device scale.
std::shared_ptr<game::Game> ParkedGame(render::Scale scale = {}) {
    runtime::UseTestClock(true);
    game::InstallHeadlessHost();
    game::SetDeviceScale(scale);
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

// The scale k of a benchmark's argument.
render::Scale ScaleOf(const benchmark::State& state) {
    return render::MakeScale(static_cast<int32_t>(state.range(0)), 1);
}

void BM_Tick(benchmark::State& state) {
    std::shared_ptr<game::Game> current = ParkedGame(ScaleOf(state));
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        ComposeAndPresent(*current);
    }
    counter.Report(state);
}
BENCHMARK(BM_Tick)->ArgName("scale")->Arg(1)->Arg(2)->Arg(3);

// The same tick with the whole frame composed and presented, as a frame would be with
// no record of what changed.
void BM_TickWhole(benchmark::State& state) {
    std::shared_ptr<game::Game> current = ParkedGame(ScaleOf(state));
    const bench::AllocationCounter counter;
    for (auto _ : state) {
        game::ChangeFrame(*current, render::Rect{0, 0, game::PlayAreaWidth, game::PlayAreaHeight});
        ComposeAndPresent(*current);
    }
    counter.Report(state);
}
BENCHMARK(BM_TickWhole)->ArgName("scale")->Arg(1)->Arg(2)->Arg(3);

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

// One step of each of N shots in flight, as its worker takes it but for the pause:
// its mark moved (its old and new places composed and presented), the bar test and
// the wall's scan. Every 20 steps, short of the bar and the wall, the shots start
// over from x 970. The time per step grows with the shots only if a composition looks
// at marks far from what it composes, or draws a shared place once per shot.
void BM_ShotStep(benchmark::State& state) {
    constexpr int32_t Steps = 20;
    const auto shots = static_cast<size_t>(state.range(0));
    const bool spread = state.range(1) != 0;
    std::shared_ptr<game::Game> current = ParkedGame();
    std::vector<game::ShotMark> marks(shots);
    const auto fire = [&] {
        for (size_t shot = 0; shot < shots; ++shot) {
            const auto row = spread ? static_cast<int32_t>(shot % (game::AimLimit + 1)) : 200;
            marks[shot] = {0, row + game::ShotBelowAim};
            game::ShowShot(*current, marks[shot]);
        }
    };
    fire();
    int32_t stepped = 0;
    for (auto _ : state) {
        for (game::ShotMark& mark : marks) {
            game::MoveShot(*current, mark);
            const int32_t x = game::ShotXAt(mark.Step);
            benchmark::DoNotOptimize(game::ShotHitsBar(*current, x, mark.Y) ||
                                     game::ShotHitsBlock(*current, x, mark.Y));
        }
        if (++stepped == Steps) {
            state.PauseTiming();
            for (game::ShotMark& mark : marks) {
                game::EndShot(*current, mark);
            }
            fire();
            stepped = 0;
            state.ResumeTiming();
        }
    }
    state.counters["per_shot_step"] =
        benchmark::Counter(static_cast<double>(state.iterations() * shots),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ShotStep)
    ->ArgsProduct({{1, 10, 100, 1000, 10000}, {0, 1}})
    ->ArgNames({"shots", "spread"});

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
