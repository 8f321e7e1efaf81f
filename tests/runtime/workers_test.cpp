// SPDX-License-Identifier: MIT
#include "runtime/workers.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <future>

namespace runtime {
namespace {

TEST(EffectiveStackSize, RoundsDownToWhole64KiBWithA64KiBFloor) {
    EXPECT_EQ(EffectiveStackSize(0x100000), 0x100000);
    EXPECT_EQ(EffectiveStackSize(100000), 0x10000);
    EXPECT_EQ(EffectiveStackSize(0x1FFFF), 0x10000);
    EXPECT_EQ(EffectiveStackSize(1), 0x10000);
    EXPECT_EQ(EffectiveStackSize(0), 0);  // the system default
}

size_t StackSizeOfWorker(int64_t requested) {
    std::promise<size_t> measured;
    std::atomic<int32_t> handle{0};
    CreateWorker(
        [&](int32_t) {
            pthread_attr_t attributes;
            pthread_getattr_np(pthread_self(), &attributes);
            size_t size = 0;
            pthread_attr_getstacksize(&attributes, &size);
            pthread_attr_destroy(&attributes);
            measured.set_value(size);
        },
        0, requested, false, handle);
    EXPECT_NE(handle.load(), 0);
    const size_t size = measured.get_future().get();
    CloseWorkerHandle(handle.load());
    return size;
}

TEST(CreateWorker, RunsTheWorkerOnTheStackItAskedFor) {
    EXPECT_EQ(StackSizeOfWorker(0x100000), 0x100000u);
#if defined(__SANITIZE_THREAD__)
    // The thread sanitizer enlarges small stacks for its own bookkeeping.
    EXPECT_GE(StackSizeOfWorker(100000), 0x10000u);
#else
    EXPECT_EQ(StackSizeOfWorker(100000), 0x10000u);
#endif
}

TEST(CreateWorker, StoresZeroWhenNoThreadCanBeMade) {
    std::atomic<int32_t> handle{77};
    bool ran = false;
    CreateWorker([&](int32_t) { ran = true; }, 0, int64_t{1} << 46, false, handle);
    EXPECT_EQ(handle.load(), 0);
    EXPECT_FALSE(ran);
}

TEST(CreateWorker, GivesTheBodyItsArgumentAndAWorkersThreadState) {
    std::promise<ThreadState> seen;
    std::promise<int32_t> argument;
    std::atomic<int32_t> handle{0};
    CreateWorker(
        [&](int32_t value) {
            argument.set_value(value);
            seen.set_value(CurrentThreadState());
        },
        1234, 0x100000, false, handle);
    EXPECT_EQ(argument.get_future().get(), 1234);
    const ThreadState state = seen.get_future().get();
    EXPECT_TRUE(state.IsWorker);
    EXPECT_FALSE(CurrentThreadState().IsWorker);
    CloseWorkerHandle(handle.load());
}

TEST(CloseWorkerHandle, ReleasesTheHandleOnceAndLeavesTheThreadRunning) {
    std::promise<void> release;
    std::promise<void> finished;
    std::atomic<int32_t> handle{0};
    CreateWorker(
        [&](int32_t) {
            release.get_future().wait();
            finished.set_value();
        },
        0, 0x100000, false, handle);
    ASSERT_NE(handle.load(), 0);

    EXPECT_EQ(CloseWorkerHandle(handle.load()), -1);
    EXPECT_EQ(CloseWorkerHandle(handle.load()), 0);
    EXPECT_EQ(CloseWorkerHandle(0), 0);
    EXPECT_EQ(CloseWorkerHandle(-5), 0);

    release.set_value();
    finished.get_future().wait();  // the worker went on to the end of its body
}

TEST(CreateWorker, ASuspendedWorkerWaitsForResume) {
    std::atomic<bool> ran{false};
    std::promise<void> finished;
    std::atomic<int32_t> handle{0};
    CreateWorker(
        [&](int32_t) {
            ran = true;
            finished.set_value();
        },
        0, 0x100000, true, handle);
    ASSERT_NE(handle.load(), 0);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(ResumeWorker(handle.load()), -1);
    finished.get_future().wait();
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(ResumeWorker(handle.load()), 0);  // already running
    CloseWorkerHandle(handle.load());
}

}  // namespace
}  // namespace runtime
