// SPDX-License-Identifier: MIT
// The runtime: the generator and its seed, worker threads and the pace of a pause.
// The test clock is proved by the game's tests, which step its workers tick by tick.
#include <gtest/gtest.h>
#include <pthread.h>

#include <array>
#include <climits>
#include <future>
#include <mutex>
#include <tuple>
#include <vector>

#include "runtime/pacing.h"
#include "runtime/random.h"
#include "runtime/workers.h"

namespace runtime {
namespace {

TEST(Random, DrawsSpanBothBoundsInEitherOrderAndTheSeedIsTheTimeAsFloatBits) {
    RandomState = 0;
    EXPECT_EQ((std::vector{RandomFraction(), RandomFraction()}),
              (std::vector{0.0, 67387907 * 0x1p-31}));
    // The state before, the bounds, the number drawn; the last has the largest fraction.
    for (auto [state, first, second, drawn] : {std::array<int64_t, 4>{1, 0, 900, 28},
                                               {1, 900, 0, 28},
                                               {1, -7, -7, -7},
                                               {0xFFFFFFFF, INT32_MIN, INT32_MAX, 2012707836},
                                               {0x4D60AE66, INT32_MIN, INT32_MAX, INT32_MAX - 1}}) {
        RandomState = uint32_t(state);
        RandomFraction();
        const uint32_t advancedOnce = std::exchange(RandomState, uint32_t(state));
        EXPECT_EQ(RandomInt(int32_t(first), int32_t(second)), drawn) << first << ".." << second;
        EXPECT_EQ(RandomState, advancedOnce);
    }
    for (auto [time, state] : {std::pair{TimeOfDay{0, 0, 0, 1}, 0x3A83126Fu},
                               {{1, 2, 3, 456}, 0x4568B74Cu},
                               {{23, 59, 59, 999}, 0x47A8C000u}}) {  // 86399.999 becomes 86400
        SetFixedTimeOfDay(time);
        SeedFromClock();
        EXPECT_EQ(RandomState, state) << time.Hours;
    }
    SetFixedTimeOfDay(std::nullopt);
}

// Starts body on a worker; returns its handle.
int32_t Start(std::function<void(int32_t)> body, int32_t argument = 0, int64_t stack = 0x100000,
              bool suspended = false) {
    std::atomic<int32_t> handle{77};
    CreateWorker(std::move(body), argument, stack, suspended, handle);
    return handle.load();
}

TEST(Workers, RunSuspendedOnTheStackAskedForAndReleaseTheirHandleOnce) {
    EXPECT_EQ(std::pair(EffectiveStackSize(0), EffectiveStackSize(1)), std::pair(0l, 0x10000l));
    bool ran = false;
    EXPECT_EQ(Start([&](int32_t) { ran = true; }, 0, int64_t{1} << 46), 0);  // no such stack
    std::promise<std::tuple<int32_t, bool, size_t>> seen;
    std::promise<void> release, finished;
    const int32_t handle = Start(
        [&](int32_t argument) {
            pthread_attr_t attributes;
            pthread_getattr_np(pthread_self(), &attributes);
            size_t stack = 0;
            pthread_attr_getstacksize(&attributes, &stack);
            pthread_attr_destroy(&attributes);
            seen.set_value({argument, CurrentThreadState().IsWorker, stack});
            release.get_future().wait();
            finished.set_value();
        },
        1234, 100000, true);
    std::future<std::tuple<int32_t, bool, size_t>> started = seen.get_future();
    EXPECT_EQ(started.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    EXPECT_EQ(ResumeWorker(handle), -1);
#if defined(__SANITIZE_THREAD__)  // the sanitizer enlarges small stacks for itself
    EXPECT_GE(std::get<2>(started.get()), 0x10000u);
#else
    EXPECT_EQ(started.get(), std::tuple(1234, true, 0x10000u));  // whole 64 KiB, rounded down
#endif
    // Already running; then released once.
    EXPECT_EQ((std::vector{ResumeWorker(handle), CloseWorkerHandle(handle),
                           CloseWorkerHandle(handle), CloseWorkerHandle(0)}),
              (std::vector{0, -1, 0, 0}));
    release.set_value();
    finished.get_future().wait();  // released, the worker still runs to its end
    EXPECT_FALSE(ran || CurrentThreadState().IsWorker);
}

// A steady clock that stands still and a sleep that only records its deadline.
std::mutex Mutex;
std::vector<int64_t> Deadlines;

TEST(Pacing, APauseSleepsToTheNextTickBoundary) {
    constexpr int64_t T = TickNanos;
    EXPECT_EQ(
        (std::vector{NextTickBoundary(0, 1), NextTickBoundary(T - 1, 1), NextTickBoundary(T, 1),
                     NextTickBoundary(0, 15), NextTickBoundary(0, 16)}),
        (std::vector{T, T, 2 * T, T, 2 * T}));  // longer pauses take whole ticks
    SetPaceClock({[] { return int64_t{100'000'003}; },
                  [](int64_t deadline) {
                      std::lock_guard lock(Mutex);
                      Deadlines.push_back(deadline);
                  }});
    std::promise<void> done;
    CloseWorkerHandle(Start([&](int32_t) {
        PumpOrSleep(1);
        done.set_value();
    }));
    done.get_future().wait();
    PumpOrSleep(1);  // no hook: the interface thread sleeps too
    SetPaceClock(SystemPaceClock());
    EXPECT_EQ(Deadlines, std::vector<int64_t>(2, 7 * T));  // 109.375 ms
}

}  // namespace
}  // namespace runtime
