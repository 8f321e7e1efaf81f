// SPDX-License-Identifier: MIT
// The test clock: a baton passed from the test thread to one worker at a time, each
// worker woken on its own so that a step costs the same however many are parked.
#include "runtime/test_clock.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace runtime {

namespace {

// One worker's place in the clock. Each worker waits on its own wake-up, so a step
// wakes exactly the worker whose turn it is.
struct WorkerRecord {
    bool Parked = false;           // waiting in a pause
    bool Go = false;               // allowed to take its next step
    uint64_t Pauses = 0;           // pauses reached so far
    std::condition_variable Wake;  // the worker waits here for Go
};

// Workers by creation sequence, so that iteration gives the stepping order. Nodes of a
// map stay where they are, so a worker can wait on its own record's wake-up.
struct TestClockData {
    std::mutex Mutex;
    std::condition_variable Paused;  // a worker paused or ended: the stepping side waits
    std::map<uint64_t, WorkerRecord> Workers;
    std::vector<uint64_t> ToStep;  // this round's parked workers, reused round to round
};

std::atomic<bool> InUse{false};

// Never destroyed: workers may still be parked in it while the process exits.
TestClockData& Clock() {
    static TestClockData& clock = *new TestClockData;
    return clock;
}

WorkerRecord* FindLocked(uint64_t sequence) {
    auto found = Clock().Workers.find(sequence);
    return found == Clock().Workers.end() ? nullptr : &found->second;
}

void CollectParkedWorkersLocked() {
    Clock().ToStep.clear();
    for (const auto& [sequence, record] : Clock().Workers) {
        if (record.Parked) {
            Clock().ToStep.push_back(sequence);
        }
    }
}

// Lets one worker take a step and waits until it has paused again or ended.
void StepWorkerLocked(std::unique_lock<std::mutex>& lock, uint64_t sequence) {
    WorkerRecord* record = FindLocked(sequence);
    if (record == nullptr) {
        return;
    }
    const uint64_t pausesBefore = record->Pauses;
    record->Go = true;
    record->Wake.notify_one();
    Clock().Paused.wait(lock, [&] {
        WorkerRecord* current = FindLocked(sequence);
        return current == nullptr || current->Pauses > pausesBefore;
    });
}

}  // namespace

void UseTestClock(bool on) {
    InUse.store(on);
}

bool TestClockInUse() {
    return InUse.load();
}

void AdvanceTestClock(int32_t ticks) {
    std::unique_lock lock(Clock().Mutex);
    for (int32_t tick = 0; tick < ticks; ++tick) {
        CollectParkedWorkersLocked();
        for (uint64_t sequence : Clock().ToStep) {
            StepWorkerLocked(lock, sequence);
        }
    }
}

int32_t TestClockWorkers() {
    std::lock_guard lock(Clock().Mutex);
    return static_cast<int32_t>(Clock().Workers.size());
}

void TestClockRegister(uint64_t workerSequence) {
    std::lock_guard lock(Clock().Mutex);
    Clock().Workers.try_emplace(workerSequence);
}

void TestClockForget(uint64_t workerSequence) {
    std::lock_guard lock(Clock().Mutex);
    Clock().Workers.erase(workerSequence);
    Clock().Paused.notify_all();
}

bool TestClockPark(uint64_t workerSequence) {
    std::unique_lock lock(Clock().Mutex);
    WorkerRecord* record = FindLocked(workerSequence);
    if (record == nullptr) {
        return false;
    }
    record->Parked = true;
    record->Pauses += 1;
    Clock().Paused.notify_all();
    record->Wake.wait(lock, [&] { return record->Go; });
    record->Go = false;
    record->Parked = false;
    return true;
}

void TestClockAwaitPause(uint64_t workerSequence) {
    std::unique_lock lock(Clock().Mutex);
    Clock().Paused.wait(lock, [&] {
        WorkerRecord* record = FindLocked(workerSequence);
        return record == nullptr || record->Parked;
    });
}

}  // namespace runtime
