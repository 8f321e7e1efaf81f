#include "game/state.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

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

TEST(Game, ANewUnitHasEveryTableCreatedAndZeroed) {
    const std::shared_ptr<Game> game = CreateGame();
    ASSERT_NE(game->Grid, nullptr);
    EXPECT_EQ(game->Grid->Cell(17, 30).Destroyed.load(), 0);
    EXPECT_EQ(game->ShotThreads->Slot(1).load(), 0);
    EXPECT_EQ(game->ShotThreads->Slot(ShotLimit).load(), 0);
    EXPECT_EQ(game->Colours->At(900), 0);
    EXPECT_EQ(game->BarLengths->At(10), 0);
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

TEST(SetCurrentGame, KeepsAnEarlierUnitAliveForThoseWhoHoldIt) {
    const std::shared_ptr<Game> before = CurrentGame();
    const std::shared_ptr<Game> held = CreateGame();
    SetCurrentGame(held);
    const std::weak_ptr<Game> watched = held;
    SetCurrentGame(CreateGame());
    EXPECT_FALSE(watched.expired());
    EXPECT_NE(CurrentGame(), held);
    SetCurrentGame(before);
}

TEST(GameState, ConcurrentHitsEachAddExactlyOne) {
    Game game;
    constexpr int Threads = 4, HitsEach = 20000;
    std::vector<std::thread> shooters;
    for (int t = 0; t < Threads; ++t) {
        shooters.emplace_back([&] {
            for (int i = 0; i < HitsEach; ++i) {
                game.State.BarLevel.fetch_add(1, std::memory_order_relaxed);
            }
        });
    }
    for (auto& shooter : shooters) {
        shooter.join();
    }
    EXPECT_EQ(game.State.BarLevel.load(), Threads * HitsEach);
}

}  // namespace
}  // namespace game
