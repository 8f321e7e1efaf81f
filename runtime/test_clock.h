// SPDX-License-Identifier: MIT
// The test clock: workers step tick by tick, one at a time, with no real sleeping.
//
// With the test clock on, a worker's pause waits until AdvanceTestClock; then the
// waiting workers each run one step, one at a time, in the order they were created
// (so a game's bar worker first, then its shots by number), each until its next
// pause or its end. CreateWorker returns once the new worker has reached its first
// pause. A pause on any other thread returns at once.
// Threads: one test thread drives it; workers park in it from PumpOrSleep.
#pragma once

#include <cstdint>

namespace runtime {

// Turn on before the first worker starts; workers started before stay real-timed.
void UseTestClock(bool on);
bool TestClockInUse();

// Runs `ticks` rounds of steps; returns when the last worker of the last round has
// paused again or ended.
void AdvanceTestClock(int32_t ticks);

// Workers started under the test clock that have not ended yet.
int32_t TestClockWorkers();

// ---- For the worker machinery ------------------------------------------------
void TestClockRegister(uint64_t workerSequence);
void TestClockForget(uint64_t workerSequence);
// Parks the worker until its next step; false when the worker is not registered.
bool TestClockPark(uint64_t workerSequence);
// Waits until the worker has paused for the first time or ended.
void TestClockAwaitPause(uint64_t workerSequence);

}  // namespace runtime
