// SPDX-License-Identifier: MIT
// The test clock: a baton passed from the test thread to one worker at a time, and
// from each worker straight to the next, so a step costs one thread switch however
// many workers are parked.
#include "runtime/test_clock.h"

#include <semaphore.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace runtime {

namespace {

// A POSIX semaphore: a waiter sleeps in the kernel at once. The standard library's
// spins with sched_yield first, which on two cores turned each step of a thousand
// shots into several more system calls than the hand-over itself.
class Semaphore final {
  public:
    Semaphore() { sem_init(&Handle, 0, 0); }
    ~Semaphore() { sem_destroy(&Handle); }
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;
    void Release() { sem_post(&Handle); }
    void Acquire() {
        while (sem_wait(&Handle) != 0) {  // only EINTR: a signal during the wait
        }
    }

  private:
    sem_t Handle;
};

// One worker's place in the clock. Each worker waits on its own semaphore, so a step
// wakes exactly the worker whose turn it is.
struct WorkerRecord {
    bool Parked = false;  // waiting in a pause
    Semaphore Go;
};

// Workers by creation sequence, so that iteration gives the stepping order. Nodes of a
// map stay where they are, so a worker can wait on its own record's semaphore.
struct TestClockData {
    std::mutex Mutex;
    std::condition_variable Paused;  // a worker paused or ended, for a worker's first pause
    std::map<uint64_t, WorkerRecord> Workers;
    std::vector<uint64_t> ToStep;  // this round's parked workers, reused round to round
    size_t NextToStep = 0;         // index in ToStep of the round's next worker
    uint64_t Stepping = 0;         // the worker taking its step; 0 for none
    Semaphore StepDone;            // the round's last worker paused again or ended
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
    Clock().NextToStep = 0;
    for (const auto& [sequence, record] : Clock().Workers) {
        if (record.Parked) {
            Clock().ToStep.push_back(sequence);
        }
    }
}

// The next worker of this round that is still parked, made the one stepping; null at
// the round's end. Its record stays valid after the lock is let go: only its own
// worker forgets it, and that worker is parked until its Go.
WorkerRecord* TakeNextToStepLocked() {
    TestClockData& clock = Clock();
    while (clock.NextToStep < clock.ToStep.size()) {
        const uint64_t sequence = clock.ToStep[clock.NextToStep++];
        WorkerRecord* record = FindLocked(sequence);
        if (record != nullptr && record->Parked) {
            record->Parked = false;
            clock.Stepping = sequence;
            return record;
        }
    }
    clock.Stepping = 0;
    return nullptr;
}

// A worker paused or ended. If it was taking its step, it hands the baton straight to
// the round's next worker, or back to the stepping side at the round's end: one
// thread switch a step.
struct Baton {
    WorkerRecord* Next = nullptr;
    bool RoundDone = false;
};

Baton EndStepLocked(uint64_t sequence) {
    Clock().Paused.notify_all();
    if (Clock().Stepping != sequence) {
        return {};
    }
    WorkerRecord* next = TakeNextToStepLocked();
    return {next, next == nullptr};
}

void PassOn(const Baton& baton) {
    if (baton.Next != nullptr) {
        baton.Next->Go.Release();
    } else if (baton.RoundDone) {
        Clock().StepDone.Release();
    }
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
        WorkerRecord* first = TakeNextToStepLocked();
        if (first == nullptr) {
            continue;
        }
        lock.unlock();
        first->Go.Release();
        Clock().StepDone.Acquire();
        lock.lock();
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
    Baton baton;
    {
        std::lock_guard lock(Clock().Mutex);
        Clock().Workers.erase(workerSequence);
        baton = EndStepLocked(workerSequence);
    }
    PassOn(baton);
}

bool TestClockPark(uint64_t workerSequence) {
    WorkerRecord* record = nullptr;
    Baton baton;
    {
        std::lock_guard lock(Clock().Mutex);
        record = FindLocked(workerSequence);
        if (record == nullptr) {
            return false;
        }
        record->Parked = true;
        baton = EndStepLocked(workerSequence);
    }
    PassOn(baton);
    record->Go.Acquire();
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
