// SPDX-License-Identifier: MIT
// The pause: one tick of a steady 1/64 s clock for workers, one pending event or
// the same pause for the user-interface thread.
#include "runtime/pacing.h"

#include <sched.h>

#include <atomic>
#include <cerrno>
#include <ctime>

#include "runtime/test_clock.h"
#include "runtime/workers.h"

namespace runtime {

namespace {

int64_t SteadyNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

void SleepUntilSteady(int64_t deadlineNanos) {
    const timespec deadline{static_cast<time_t>(deadlineNanos / 1'000'000'000LL),
                            static_cast<long>(deadlineNanos % 1'000'000'000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

std::atomic<int64_t (*)()> ClockNow{&SteadyNow};
std::atomic<void (*)(int64_t)> ClockSleepUntil{&SleepUntilSteady};
std::atomic<PumpHook> Hook{nullptr};

void SleepTicks(int32_t milliseconds) {
    if (milliseconds <= 0) {
        sched_yield();
        return;
    }
    ClockSleepUntil.load()(NextTickBoundary(ClockNow.load()(), milliseconds));
}

}  // namespace

int64_t NextTickBoundary(int64_t nowNanos, int32_t milliseconds) {
    const int64_t wanted = static_cast<int64_t>(milliseconds) * 1'000'000LL;
    const int64_t ticks = wanted <= TickNanos ? 1 : (wanted + TickNanos - 1) / TickNanos;
    return (nowNanos / TickNanos + ticks) * TickNanos;
}

PaceClock SystemPaceClock() {
    return {&SteadyNow, &SleepUntilSteady};
}

void SetPaceClock(PaceClock clock) {
    ClockNow.store(clock.Now);
    ClockSleepUntil.store(clock.SleepUntil);
}

void SetPumpHook(PumpHook hook) {
    Hook.store(hook);
}

void PumpOrSleep(int32_t milliseconds) {
    const ThreadState& self = CurrentThreadState();
    if (self.IsWorker) {
        if (TestClockInUse() && TestClockPark(self.WorkerSequence)) {
            return;
        }
        SleepTicks(milliseconds);
        return;
    }
    const PumpHook hook = Hook.load();
    if (hook != nullptr && hook()) {
        return;
    }
    if (!TestClockInUse()) {
        SleepTicks(milliseconds);
    }
}

}  // namespace runtime
