// SPDX-License-Identifier: MIT
#include "game/state.h"
#include "game/layout.h"

#include <gtest/gtest.h>

namespace game {
namespace {

TEST(Game, BeforeTheFirstNewGameEverythingIsZeroAndNoTableExists) {
    const std::shared_ptr<Game> current = CurrentGame();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->State.BlocksDestroyed.load(), 0);
    EXPECT_EQ(current->State.BarLevel.load(), 0);
    EXPECT_EQ(current->Grid, nullptr);
    EXPECT_EQ(current->ShotThreads, nullptr);
    EXPECT_EQ(BarThread.load(), 0);
}

TEST(BlockGrid, IsOneBasedAndStoredRowByRow) {
    BlockGrid grid;
    EXPECT_EQ(&grid.Cell(1, 1), &grid.Cells.front());
    EXPECT_EQ(&grid.Cell(1, 2), &grid.Cells[1]);
    EXPECT_EQ(&grid.Cell(2, 1), &grid.Cells[30]);
    EXPECT_EQ(&grid.Cell(17, 30), &grid.Cells.back());
}

TEST(BarLengthTable, LevelsBeyondTheTableReadItsNearestEnd) {
    BarLengthTable lengths;
    for (int32_t level = 1; level <= LevelCount; ++level) {
        lengths.At(level) = BarStep * level;
    }
    EXPECT_EQ(lengths.LengthFor(1), 55);
    EXPECT_EQ(lengths.LengthFor(10), 550);
    EXPECT_EQ(lengths.LengthFor(11), 550);
    EXPECT_EQ(lengths.LengthFor(INT32_MAX), 550);
    EXPECT_EQ(lengths.LengthFor(0), 55);  // before the first game
}

}  // namespace
}  // namespace game
