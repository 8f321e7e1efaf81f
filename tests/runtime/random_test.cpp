// SPDX-License-Identifier: MIT
#include "runtime/random.h"

#include <gtest/gtest.h>

#include <climits>

namespace runtime {
namespace {

TEST(RandomFraction, AdvancesTheStateAndTakesItsUpper31Bits) {
    RandomState = 0;
    EXPECT_EQ(RandomFraction(), 0.0);
    EXPECT_EQ(RandomState, 1u);

    EXPECT_EQ(RandomFraction(), 67387907 * 0x1p-31);
    EXPECT_EQ(RandomState, 134775814u);
}

TEST(RandomInt, TakesBoundsInEitherOrderAndAdvancesOnce) {
    RandomState = 1;
    EXPECT_EQ(RandomInt(0, 900), 28);
    const uint32_t after = RandomState;

    RandomState = 1;
    EXPECT_EQ(RandomInt(900, 0), 28);
    EXPECT_EQ(RandomState, after);

    RandomState = 1;
    EXPECT_EQ(RandomInt(-7, -7), -7);
    EXPECT_EQ(RandomState, after);
}

TEST(RandomInt, SpansTheWholeIntegerRangeWithoutOverflow) {
    RandomState = 0xFFFFFFFFu;  // advances to 0xF7F77BFC
    EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), 2012707836);
    RandomState = 0x4D60AE66u;  // advances to 0xFFFFFFFF, the largest fraction
    EXPECT_EQ(RandomInt(INT32_MIN, INT32_MAX), INT32_MAX - 1);
}

TEST(SeedFromClock, StoresTheTimeOfDayAsFloatBits) {
    const struct {
        TimeOfDay Time;
        uint32_t State;
    } cases[] = {
        {{0, 0, 0, 0}, 0x00000000u},      {{0, 0, 0, 1}, 0x3A83126Fu},
        {{1, 2, 3, 456}, 0x4568B74Cu},    {{12, 0, 0, 0}, 0x4728C000u},
        {{23, 59, 59, 999}, 0x47A8C000u},  // 86399.999 rounds to the float 86400
    };
    for (const auto& c : cases) {
        SetFixedTimeOfDay(c.Time);
        SeedFromClock();
        EXPECT_EQ(RandomState, c.State) << c.Time.Hours << ":" << c.Time.Minutes;
    }
    SetFixedTimeOfDay(std::nullopt);
}

TEST(SeedFromClock, NoonGivesTheFirstColoursOfTheWall) {
    SetFixedTimeOfDay(TimeOfDay{12, 0, 0, 0});
    SeedFromClock();
    SetFixedTimeOfDay(std::nullopt);
    EXPECT_EQ(RandomInt(30000, 16777215), 6754785);
    EXPECT_EQ(RandomInt(30000, 16777215), 1666304);
    EXPECT_EQ(RandomInt(30000, 16777215), 8163250);
}

}  // namespace
}  // namespace runtime
