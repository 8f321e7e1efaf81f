// SPDX-License-Identifier: MIT
// Workers on POSIX threads: detached threads named by 32-bit handles.
//
// A handle names an entry of the handle table until CloseWorkerHandle releases it;
// releasing never touches the thread, which ends by returning from its body.
#include "runtime/workers.h"

#include <pthread.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "runtime/test_clock.h"

namespace runtime {

namespace {

// Everything a new thread needs; shared by the thread and its handle entry.
struct WorkerLaunch {
    WorkerBody Body;
    int32_t Argument = 0;
    uint64_t Sequence = 0;
    bool UnderTestClock = false;
    std::mutex Mutex;
    std::condition_variable Resumed;
    bool Suspended = false;
};

struct HandleTable {
    std::mutex Mutex;
    std::unordered_map<int32_t, std::shared_ptr<WorkerLaunch>> Entries;
    int32_t LastHandle = 0;
};

// Never destroyed: detached workers may still release handles while the process exits.
HandleTable& Handles() {
    static HandleTable& table = *new HandleTable;
    return table;
}

std::atomic<uint64_t> NextSequence{1};
thread_local ThreadState State;

int32_t AddHandle(std::shared_ptr<WorkerLaunch> launch) {
    std::lock_guard lock(Handles().Mutex);
    int32_t& last = Handles().LastHandle;
    do {
        last = last == INT32_MAX ? 1 : last + 1;
    } while (Handles().Entries.contains(last));
    Handles().Entries.emplace(last, std::move(launch));
    return last;
}

std::shared_ptr<WorkerLaunch> FindHandle(int32_t handle) {
    std::lock_guard lock(Handles().Mutex);
    auto found = Handles().Entries.find(handle);
    return found == Handles().Entries.end() ? nullptr : found->second;
}

void WaitWhileSuspended(WorkerLaunch& launch) {
    std::unique_lock lock(launch.Mutex);
    launch.Resumed.wait(lock, [&] { return !launch.Suspended; });
}

// Entry and exit bracket every body: a fresh thread state in, nothing left out.
void* WorkerMain(void* raw) {
    std::shared_ptr<WorkerLaunch> launch(
        std::move(*static_cast<std::shared_ptr<WorkerLaunch>*>(raw)));
    delete static_cast<std::shared_ptr<WorkerLaunch>*>(raw);
    State = ThreadState{true, launch->Sequence};
    WaitWhileSuspended(*launch);
    launch->Body(launch->Argument);
    launch->Body = nullptr;  // what the body captured goes now, not with the handle
    State = ThreadState{};
    if (launch->UnderTestClock) {
        TestClockForget(launch->Sequence);
    }
    return nullptr;
}

bool StartThread(const std::shared_ptr<WorkerLaunch>& launch, int64_t stackSize) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    bool ok = stackSize == 0 ||
              pthread_attr_setstacksize(&attributes, static_cast<size_t>(stackSize)) == 0;
    if (ok) {
        auto* handOver = new std::shared_ptr<WorkerLaunch>(launch);
        pthread_t thread;
        ok = pthread_create(&thread, &attributes, &WorkerMain, handOver) == 0;
        if (!ok) {
            delete handOver;
        }
    }
    pthread_attr_destroy(&attributes);
    return ok;
}

}  // namespace

ThreadState& CurrentThreadState() {
    return State;
}

int64_t EffectiveStackSize(int64_t requested) {
    if (requested <= 0) {
        return 0;
    }
    const int64_t rounded = requested / StackGranule * StackGranule;
    return rounded < StackGranule ? StackGranule : rounded;
}

void CreateWorker(WorkerBody body, int32_t argument, int64_t stackSize, bool startSuspended,
                  std::atomic<int32_t>& handle) {
    auto launch = std::make_shared<WorkerLaunch>();
    launch->Body = std::move(body);
    launch->Argument = argument;
    launch->Sequence = NextSequence.fetch_add(1);
    launch->UnderTestClock = TestClockInUse();
    launch->Suspended = startSuspended;
    if (launch->UnderTestClock) {
        TestClockRegister(launch->Sequence);
    }
    if (!StartThread(launch, EffectiveStackSize(stackSize))) {
        if (launch->UnderTestClock) {
            TestClockForget(launch->Sequence);
        }
        handle.exchange(0);
        return;
    }
    handle.exchange(AddHandle(launch));
    if (launch->UnderTestClock && !startSuspended) {
        TestClockAwaitPause(launch->Sequence);
    }
}

int32_t ResumeWorker(int32_t handle) {
    std::shared_ptr<WorkerLaunch> launch = FindHandle(handle);
    if (launch == nullptr) {
        return 0;
    }
    {
        std::lock_guard lock(launch->Mutex);
        if (!launch->Suspended) {
            return 0;
        }
        launch->Suspended = false;
    }
    launch->Resumed.notify_all();
    if (launch->UnderTestClock) {
        TestClockAwaitPause(launch->Sequence);
    }
    return -1;
}

int32_t CloseWorkerHandle(int32_t handle) {
    if (handle == 0) {
        return 0;
    }
    std::lock_guard lock(Handles().Mutex);
    return Handles().Entries.erase(handle) == 1 ? -1 : 0;
}

}  // namespace runtime
