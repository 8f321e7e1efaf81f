// SPDX-License-Identifier: MIT
#include "runtime/pacing.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/test_clock.h"
#include "runtime/workers.h"

namespace runtime {
namespace {

constexpr int64_t Ms = 1'000'000;

TEST(NextTickBoundary, IsTheNextSixtyFourthOfASecondStrictlyLater) {
    EXPECT_EQ(NextTickBoundary(0, 1), TickNanos);
    EXPECT_EQ(NextTickBoundary(TickNanos - 1, 1), TickNanos);
    EXPECT_EQ(NextTickBoundary(TickNanos, 1), 2 * TickNanos);
    EXPECT_EQ(NextTickBoundary(100 * Ms, 1), 7 * TickNanos);  // 109.375 ms
    EXPECT_EQ(NextTickBoundary(0, 15), TickNanos);
    EXPECT_EQ(NextTickBoundary(0, 16), 2 * TickNanos);  // longer pauses take whole ticks
}

// A steady clock that stands still and a sleep that only records its deadline.
std::atomic<int64_t> FakeNow{0};
std::mutex DeadlinesMutex;
std::vector<int64_t> Deadlines;

int64_t FakeClockNow() {
    return FakeNow.load();
}
void FakeSleepUntil(int64_t deadline) {
    std::lock_guard lock(DeadlinesMutex);
    Deadlines.push_back(deadline);
}

class PacingWithFakeClock : public ::testing::Test {
  protected:
    void SetUp() override {
        SetPaceClock({&FakeClockNow, &FakeSleepUntil});
        Deadlines.clear();
    }
    void TearDown() override {
        SetPaceClock(SystemPaceClock());
        SetPumpHook(nullptr);
    }
};

TEST_F(PacingWithFakeClock, AWorkerSleepsUntilTheNextTickBoundary) {
    FakeNow = 100 * Ms + 3;
    std::promise<void> done;
    std::atomic<int32_t> handle{0};
    CreateWorker(
        [&](int32_t) {
            PumpOrSleep(1);
            done.set_value();
        },
        0, 0x100000, false, handle);
    done.get_future().wait();
    CloseWorkerHandle(handle.load());
    std::lock_guard lock(DeadlinesMutex);
    EXPECT_EQ(Deadlines, std::vector<int64_t>{7 * TickNanos});
}

bool PendingEvents = true;
int HookCalls = 0;
bool FakePump() {
    ++HookCalls;
    return PendingEvents;
}

TEST_F(PacingWithFakeClock, TheUserInterfaceThreadHandlesAnEventOrSleeps) {
    FakeNow = 0;
    HookCalls = 0;
    PumpOrSleep(1);  // no hook yet: only the sleep
    SetPumpHook(&FakePump);
    PendingEvents = true;
    PumpOrSleep(1);  // one event handled, no sleep
    PendingEvents = false;
    PumpOrSleep(1);  // nothing pending: the sleep
    EXPECT_EQ(HookCalls, 2);
    std::lock_guard lock(DeadlinesMutex);
    EXPECT_EQ(Deadlines, (std::vector<int64_t>{TickNanos, TickNanos}));
}

// ---- The test clock ----------------------------------------------------------

class TestClock : public ::testing::Test {
  protected:
    void SetUp() override { UseTestClock(true); }
    void TearDown() override {
        AdvanceTestClock(100);  // lets every worker run to its end
        EXPECT_EQ(TestClockWorkers(), 0);
        UseTestClock(false);
    }

    // A worker that logs "<name>0" before its first pause and "<name>k" after pause k.
    void Start(const std::string& name, int32_t steps) {
        std::atomic<int32_t> handle{0};
        CreateWorker(
            [this, name](int32_t count) {
                Log(name + "0");
                for (int32_t step = 1; step <= count; ++step) {
                    PumpOrSleep(1);
                    Log(name + std::to_string(step));
                }
            },
            steps, 0x100000, false, handle);
        CloseWorkerHandle(handle.load());
    }
    void Log(const std::string& entry) {
        std::lock_guard lock(mutex_);
        log_.push_back(entry);
    }
    std::vector<std::string> TakeLog() {
        std::lock_guard lock(mutex_);
        return std::exchange(log_, {});
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> log_;
};

TEST_F(TestClock, AStartedWorkerRunsUntilItsFirstPause) {
    Start("a", 3);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"a0"});
    EXPECT_EQ(TestClockWorkers(), 1);
}

TEST_F(TestClock, EachTickStepsEveryWorkerOnceInCreationOrder) {
    Start("bar", 5);
    Start("s1", 2);
    Start("s2", 4);
    TakeLog();
    AdvanceTestClock(3);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"bar1", "s11", "s21", "bar2", "s12", "s22",
                                                   "bar3", "s23"}));  // s1 ended after 2 steps
    EXPECT_EQ(TestClockWorkers(), 2);
    AdvanceTestClock(2);
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"bar4", "s24", "bar5"}));
    EXPECT_EQ(TestClockWorkers(), 0);
}

TEST_F(TestClock, APauseOffAWorkerReturnsAtOnce) {
    PumpOrSleep(1);  // would sleep a tick with the real clock; must not block here
    SUCCEED();
}

}  // namespace
}  // namespace runtime
