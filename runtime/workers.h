// SPDX-License-Identifier: MIT
// Worker threads and the per-thread runtime state.
//
// Owns: the table of worker handles, the start and end of every worker, and the
// state each thread keeps for itself (whether it is a worker, and which).
// Threads: CreateWorker and CloseWorkerHandle may be called from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace runtime {

// A worker's body receives the one 32-bit argument it was started with.
using WorkerBody = std::function<void(int32_t argument)>;

// Stack sizes are whole multiples of this, and never smaller.
constexpr int64_t StackGranule = 0x10000;  // 64 KiB

// What each thread keeps for itself. A worker gets a fresh one on entry and loses
// it on exit; any other thread has one from its first use.
struct ThreadState {
    bool IsWorker = false;        // started by CreateWorker
    uint64_t WorkerSequence = 0;  // creation order of the worker, 1 for the first
};

// The calling thread's own state.
ThreadState& CurrentThreadState();

// The stack size a request turns into: 0 keeps the system default (returned as 0);
// anything else is rounded down to a multiple of 64 KiB, and at least 64 KiB.
int64_t EffectiveStackSize(int64_t requested);

// Starts body(argument) on a new thread and stores its handle in handle with one
// atomic exchange once the thread exists; stores 0 when no thread could be made.
// A suspended worker waits for ResumeWorker before its body runs.
void CreateWorker(WorkerBody body, int32_t argument, int64_t stackSize, bool startSuspended,
                  std::atomic<int32_t>& handle);

// Lets a worker started suspended run. Returns -1 when it was waiting, else 0.
int32_t ResumeWorker(int32_t handle);

// Releases a handle; the thread itself runs on to the end of its body.
// Returns -1 when the handle was released, 0 for 0 or a handle not held.
int32_t CloseWorkerHandle(int32_t handle);

}  // namespace runtime
