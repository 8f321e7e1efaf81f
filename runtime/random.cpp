// SPDX-License-Identifier: MIT
// The clock of day and the generator: exact integer arithmetic, no rounding to
// nearest, so that a seed always gives the same wall.
#include "runtime/random.h"

#include <algorithm>
#include <bit>
#include <ctime>

namespace runtime {

namespace {

constexpr uint32_t Multiplier = 134775813u;  // 0x08088405

std::optional<TimeOfDay> FixedTime;

TimeOfDay LocalTimeOfDay() {
    if (FixedTime) {
        return *FixedTime;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec,
            static_cast<int32_t>(now.tv_nsec / 1'000'000)};
}

uint32_t AdvanceRandomState() {
    RandomState = RandomState * Multiplier + 1u;  // modulo 2^32 by unsigned wrap-around
    return RandomState;
}

}  // namespace

void SetFixedTimeOfDay(std::optional<TimeOfDay> time) {
    FixedTime = time;
}

double ClockSeconds() {
    const TimeOfDay time = LocalTimeOfDay();
    const int64_t millis = time.Hours * 3'600'000LL + time.Minutes * 60'000LL +
                           time.Seconds * 1'000LL + time.Milliseconds;
    return static_cast<double>(millis) / 1000.0;
}

void SeedFromClock() {
    RandomState = std::bit_cast<uint32_t>(static_cast<float>(ClockSeconds()));
}

double RandomFraction() {
    return static_cast<double>(AdvanceRandomState() >> 1) * 0x1p-31;
}

int32_t RandomInt(int32_t first, int32_t second) {
    const int64_t low = std::min(first, second);
    const int64_t high = std::max(first, second);
    const uint64_t range = static_cast<uint64_t>(high - low) + 1;  // up to 2^32
    const uint64_t scaled = (static_cast<uint64_t>(AdvanceRandomState() >> 1) * range) >> 31;
    return static_cast<int32_t>(low + static_cast<int64_t>(scaled));
}

}  // namespace runtime
