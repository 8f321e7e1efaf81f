// SPDX-License-Identifier: MIT
// The pump-or-sleep pause and the clock that paces the game.
//
// Owns: the pace of every worker (one tick per pause) and the hook through which
// the user-interface thread's pause handles one pending event.
// Threads: PumpOrSleep from any thread.
#pragma once

#include <cstdint>

namespace runtime {

// The timer granularity the game's pace was designed around: a pause of 1 ms
// lasts until the next 1/64 s boundary. The bar moves 5 px per tick, so 320 px/s.
constexpr int64_t TickNanos = 15'625'000;

// Pauses the calling thread. On a worker: until the next tick (see above), or, with
// the test clock, until the test advances it. On any other thread: hands one
// pending event to the pump hook, or sleeps like a worker when there is none.
void PumpOrSleep(int32_t milliseconds);

// The hook handles one pending event of the calling thread and says whether there
// was one. The shell sets it; with none set the pause only sleeps.
using PumpHook = bool (*)();
void SetPumpHook(PumpHook hook);

// The first tick boundary strictly later than now that also lies at least
// `milliseconds` later (rounded up to whole ticks; at least one tick).
int64_t NextTickBoundary(int64_t nowNanos, int32_t milliseconds);

// The steady clock and the sleep the pacer uses; tests replace them.
struct PaceClock {
    int64_t (*Now)();                           // nanoseconds of a steady clock
    void (*SleepUntil)(int64_t deadlineNanos);  // returns at or after the deadline
};
PaceClock SystemPaceClock();
void SetPaceClock(PaceClock clock);

}  // namespace runtime
