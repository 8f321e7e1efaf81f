// SPDX-License-Identifier: MIT
// The clock of day and the random-number generator that colours the wall.
//
// Owns: RandomState, a linear congruential generator seeded from the local time.
// Threads: the main thread only (new game).
#pragma once

#include <cstdint>
#include <optional>

namespace runtime {

// The generator's state. 0xFFFFFFFF until the first seeding.
inline uint32_t RandomState = 0xFFFFFFFFu;

struct TimeOfDay {
    int32_t Hours = 0, Minutes = 0, Seconds = 0, Milliseconds = 0;
};

// Pins the local time of day that ClockSeconds reads (std::nullopt: the real clock).
void SetFixedTimeOfDay(std::optional<TimeOfDay> time);

// Seconds since local midnight, with milliseconds as the fraction.
double ClockSeconds();

// RandomState becomes the bits of ClockSeconds as the nearest 32-bit float.
void SeedFromClock();

// Advances the state once; the upper 31 bits of the new state as a fraction of 1.
double RandomFraction();

// A whole number between the two bounds, both included, in either order.
// Advances the state exactly once.
int32_t RandomInt(int32_t first, int32_t second);

}  // namespace runtime
