// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "game/bar.h"
#include "game/commands.h"
#include "game_fixture.h"

namespace game {
namespace {

// A game's data with its tables filled, driven by MoveBar alone.
std::shared_ptr<Game> TablesOnly(int32_t level) {
    std::shared_ptr<Game> game = CreateGame();
    BuildTables(*game);
    game->State.BarLevel = level;
    game->State.BarDirection = 1;
    return game;
}

TEST(MoveBar, TurnsAtTheEndsOfTheLaneForEveryLevel) {
    const int32_t lowest[] = {0, 485, 430, 375, 320, 265, 210, 155, 100, 45};
    for (int32_t level = 1; level <= 9; ++level) {
        std::shared_ptr<Game> game = TablesOnly(level);
        int32_t ticksDown = 0;
        do {
            MoveBar(*game);
            ++ticksDown;
        } while (game->State.BarDirection.load() != 0);
        EXPECT_EQ(game->State.BarOffset.load(), lowest[level]) << "level " << level;
        EXPECT_EQ(ticksDown, lowest[level] / 5);
        int32_t ticksUp = 0;
        do {
            MoveBar(*game);
            ++ticksUp;
        } while (game->State.BarDirection.load() == 0);
        EXPECT_EQ(game->State.BarOffset.load(), 0);
        EXPECT_EQ(ticksUp, ticksDown);
    }
}

TEST(MoveBar, AGrownBarBelowItsNewTurnStepsOnceMoreAndTurns) {
    std::shared_ptr<Game> game = TablesOnly(1);
    game->State.BarOffset = 470;
    game->State.BarLevel = 2;
    MoveBar(*game);
    EXPECT_EQ(game->State.BarOffset.load(), 475);
    EXPECT_EQ(game->State.BarDirection.load(), 0);
    MoveBar(*game);
    EXPECT_EQ(game->State.BarOffset.load(), 470);
}

TEST(MoveBar, ALevelBeyondTheTableUsesTheLongestBar) {
    std::shared_ptr<Game> game = TablesOnly(11);
    MoveBar(*game);  // 5 + 550 reaches the bottom: it turns at once
    EXPECT_EQ(game->State.BarDirection.load(), 0);
}

using BarWorker = HeadlessGame;

TEST_F(BarWorker, ShowsAFrameEveryTickWithTheBarMoved) {
    NewGame();
    Tick();
    EXPECT_EQ(State().BarOffset.load(), 5);
    EXPECT_EQ(FramesPresented(), 2);
    Tick(96);
    EXPECT_EQ(State().BarOffset.load(), 485);
    EXPECT_EQ(State().BarDirection.load(), 0);
    Tick(97);
    EXPECT_EQ(State().BarOffset.load(), 0);
    EXPECT_EQ(State().BarDirection.load(), 1);
    EXPECT_EQ(FramesPresented(), 1 + 194);
}

TEST_F(BarWorker, TheTenthLevelLosesAtTheEndOfTheTick) {
    NewGame();
    Tick(3);
    State().BarLevel = 10;
    const int32_t framesBefore = FramesPresented();
    Tick();
    EXPECT_TRUE(NewEnabled());
    EXPECT_EQ(State().BarOffset.load(), 0);
    EXPECT_EQ(FramesPresented(), framesBefore + 2);  // the tick, then "Game Over"
    Tick(5);
    EXPECT_EQ(FramesPresented(), framesBefore + 2);  // the worker has ended
    EXPECT_EQ(runtime::TestClockWorkers(), 0);
}

TEST_F(BarWorker, BothEndsOnOneTickShowGameOverThenGanaste) {
    NewGame();
    State().BarLevel = 10;
    State().BlocksDestroyed = 100;
    const int32_t framesBefore = FramesPresented();
    Tick();
    EXPECT_TRUE(NewEnabled());
    EXPECT_EQ(FramesPresented(), framesBefore + 3);
}

TEST_F(BarWorker, AnEarlierGamesWorkerStopsAtItsNextTickAndNeverPresents) {
    NewGame();
    Tick(2);
    const std::weak_ptr<Game> first = CurrentGame();
    NewGame();
    const int32_t framesBefore = FramesPresented();
    Tick();
    EXPECT_EQ(FramesPresented(), framesBefore + 1);  // only the new game's tick
    EXPECT_TRUE(first.expired());                    // its surfaces and tables are gone
}

}  // namespace
}  // namespace game
