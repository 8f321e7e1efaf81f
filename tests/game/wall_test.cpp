// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "game/commands.h"
#include "game/state.h"
#include "game_fixture.h"
#include "runtime/random.h"

namespace game {
namespace {

using Wall = HeadlessGame;

TEST_F(Wall, NoonSeedGivesItsKnownColoursAndCells) {
    NewGame();
    const Game& game = Current();
    EXPECT_EQ(game.Colours->Entries[0], 6754785);
    EXPECT_EQ(game.Colours->Entries[900], 7462734);
    EXPECT_EQ(game.Grid->Cell(1, 1).Colour, game.Colours->Entries[189]);
    EXPECT_EQ(game.Grid->Cell(1, 1).Colour, 0xBEBEC9);
    EXPECT_EQ(game.Grid->Cell(1, 2).Colour, game.Colours->Entries[754]);
    EXPECT_EQ(game.Grid->Cell(1, 2).Colour, 0x30B6D3);
    EXPECT_EQ(game.Grid->Cell(2, 1).Colour, game.Colours->Entries[764]);
    EXPECT_EQ(game.Grid->Cell(2, 1).Colour, 0x64AE51);
}

TEST_F(Wall, EveryCellHasItsGeometryAndAColourOfTheTable) {
    NewGame();
    const Game& game = Current();
    for (int32_t row = 1; row <= RowCount; ++row) {
        for (int32_t column = 1; column <= ColumnCount; ++column) {
            const BlockCell& cell = game.Grid->Cell(row, column);
            ASSERT_EQ(cell.Left, 20 * column);
            ASSERT_EQ(cell.Right, 20 * column + 20);
            ASSERT_EQ(cell.Top, 30 * row);
            ASSERT_EQ(cell.Bottom, 30 * row + 30);
            ASSERT_EQ(cell.Destroyed.load(), 0);
            if (column == ColumnCount) {
                ASSERT_EQ(cell.Colour, FixedBlockColour);
            } else {
                const auto& entries = game.Colours->Entries;
                ASSERT_NE(std::find(entries.begin(), entries.end(), cell.Colour), entries.end());
            }
        }
    }
    for (int32_t colour : game.Colours->Entries) {
        ASSERT_GE(colour, 30000);
        ASSERT_LE(colour, 16777215);
    }
    EXPECT_EQ(game.BarLengths->At(1), 55);
    EXPECT_EQ(game.BarLengths->At(10), 550);
}

TEST_F(Wall, ANewGameDrawsExactly1394NumbersAndStartsFromItsDefaults) {
    runtime::SeedFromClock();
    for (int draw = 0; draw < 901 + 493; ++draw) {
        runtime::RandomInt(0, 1);
    }
    const uint32_t expected = runtime::RandomState;

    NewGame();
    EXPECT_EQ(runtime::RandomState, expected);
    const GameState& state = State();
    EXPECT_EQ(state.BlocksDestroyed.load(), 0);
    EXPECT_EQ(state.BarOffset.load(), 0);
    EXPECT_EQ(state.AimY.load(), 0);
    EXPECT_EQ(state.BarDirection.load(), 1);
    EXPECT_EQ(state.BarLevel.load(), 1);
    EXPECT_EQ(state.ShotCount.load(), 0);
    EXPECT_FALSE(NewEnabled());
    EXPECT_EQ(FramesPresented(), 1);  // the first frame
}

TEST_F(Wall, TwoGamesSeededAlikeGetTheSameWall) {
    NewGame();
    const std::shared_ptr<Game> first = CurrentGame();
    NewGame();
    const std::shared_ptr<Game> second = CurrentGame();
    ASSERT_NE(first, second);
    EXPECT_EQ(first->Colours->Entries, second->Colours->Entries);
    for (size_t cell = 0; cell < first->Grid->Cells.size(); ++cell) {
        ASSERT_EQ(first->Grid->Cells[cell].Colour, second->Grid->Cells[cell].Colour);
    }
}

}  // namespace
}  // namespace game
