// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <thread>

#include "game/commands.h"
#include "game/shot.h"
#include "game_fixture.h"

namespace game {
namespace {

using Shots = HeadlessGame;

const std::vector<std::string> ShotOnly = {"#212"};
const std::vector<std::string> ShotThenBlock = {"#212", "#210"};
const std::vector<std::string> ShotThenBar = {"#212", "#211"};

// With the shot fired right after a new game, the bar lies at 110..165 when the shot
// reaches the lane at step 22.

TEST_F(Shots, AShotAtRowThreeDestroysColumnThirtyAtStep24) {
    NewGame();
    FireAt(100);
    EXPECT_EQ(State().ShotCount.load(), 1);
    Tick(23);
    EXPECT_EQ(Current().Grid->Cell(3, 30).Destroyed.load(), 0);
    Tick();
    EXPECT_EQ(Current().Grid->Cell(3, 30).Destroyed.load(), 1);
    EXPECT_EQ(State().BlocksDestroyed.load(), 1);
    EXPECT_EQ(Cues(), ShotThenBlock);
    EXPECT_EQ(ShotsInFlight.load(), 0);
}

TEST_F(Shots, TwoShotsOnARowEdgeTakeTheUpperRowFirst) {
    NewGame();
    FireAt(60);
    FireAt(60);
    Tick(24);
    EXPECT_EQ(Current().Grid->Cell(1, 30).Destroyed.load(), 1);
    EXPECT_EQ(Current().Grid->Cell(2, 30).Destroyed.load(), 1);
    EXPECT_EQ(Current().Grid->Cell(3, 30).Destroyed.load(), 0);
    EXPECT_EQ(State().BlocksDestroyed.load(), 2);
}

TEST_F(Shots, AShotAboveTheWallFliesOffAfter65StepsAndChangesNothing) {
    NewGame();
    FireAt(25);
    Tick(64);
    EXPECT_EQ(ShotsInFlight.load(), 1);
    Tick();
    EXPECT_EQ(ShotsInFlight.load(), 0);
    EXPECT_EQ(State().BlocksDestroyed.load(), 0);
    EXPECT_EQ(State().BarLevel.load(), 1);
    EXPECT_EQ(Cues(), ShotOnly);
}

TEST_F(Shots, EitherEndOfTheBarCountsAsAHit) {
    for (int32_t y : {110, 165}) {
        NewGame();
        game::InstallHeadlessHost();  // a fresh record of cues
        FireAt(y);
        Tick(22);
        EXPECT_EQ(State().BarLevel.load(), 2) << "y " << y;
        EXPECT_EQ(ShotsInFlight.load(), 0);
        EXPECT_EQ(State().BlocksDestroyed.load(), 0);
        EXPECT_EQ(Cues(), ShotThenBar);
    }
}

TEST_F(Shots, JustOutsideTheBarTheShotFliesOn) {
    for (int32_t y : {109, 166}) {
        NewGame();
        FireAt(y);
        Tick(22);
        EXPECT_EQ(State().BarLevel.load(), 1) << "y " << y;
        EXPECT_EQ(ShotsInFlight.load(), 1);
        Tick(2);
    }
}

TEST_F(Shots, ARowWithNoStandingBlockLetsTheShotThrough) {
    NewGame();
    for (int32_t column = 1; column <= ColumnCount; ++column) {
        Current().Grid->Cell(3, column).Destroyed = 1;
    }
    FireAt(100);
    Tick(65);
    EXPECT_EQ(ShotsInFlight.load(), 0);
    EXPECT_EQ(State().BlocksDestroyed.load(), 0);
}

TEST_F(Shots, OnAColumnEdgeTheLowerColumnIsTakenFirst) {
    NewGame();
    EXPECT_TRUE(ShotHitsBlock(Current(), 580, 45));
    EXPECT_EQ(Current().Grid->Cell(1, 28).Destroyed.load(), 1);
    EXPECT_TRUE(ShotHitsBlock(Current(), 580, 45));
    EXPECT_EQ(Current().Grid->Cell(1, 29).Destroyed.load(), 1);
    EXPECT_FALSE(ShotHitsBlock(Current(), 580, 45));
    EXPECT_EQ(State().BlocksDestroyed.load(), 2);
}

TEST_F(Shots, ABlockTestedByManyShotsAtOnceIsCountedOnce) {
    NewGame();
    std::atomic<int32_t> hits{0};
    std::vector<std::thread> shooters;
    for (int i = 0; i < 8; ++i) {
        shooters.emplace_back([&] { hits += ShotHitsBlock(Current(), 610, 45) ? 1 : 0; });
    }
    for (auto& shooter : shooters) {
        shooter.join();
    }
    EXPECT_EQ(hits.load(), 1);
    EXPECT_EQ(State().BlocksDestroyed.load(), 1);
}

TEST_F(Shots, NoShotFliesBeforeTheFirstGameOrBeyondTheLastNumber) {
    FireShot();
    EXPECT_EQ(ShotsInFlight.load(), 0);
    EXPECT_TRUE(Cues().empty());

    NewGame();
    State().ShotCount = ShotLimit;
    FireShot();
    EXPECT_EQ(ShotsInFlight.load(), 0);
    EXPECT_EQ(State().ShotCount.load(), ShotLimit);
}

TEST_F(Shots, TheAimTakesOnlyThePlayAreaRows) {
    AimAt(200);  // before the first game too
    EXPECT_EQ(State().AimY.load(), 200);
    NewGame();
    AimAt(503);
    EXPECT_EQ(State().AimY.load(), 503);
    AimAt(504);
    AimAt(-1);
    EXPECT_EQ(State().AimY.load(), 503);
}

TEST_F(Shots, TheHundredthBlockWinsAtTheEndOfThatTick) {
    NewGame();
    State().BlocksDestroyed = 99;
    FireAt(100);
    Tick(24);
    EXPECT_EQ(State().BlocksDestroyed.load(), 100);
    EXPECT_FALSE(NewEnabled());  // the bar worker stepped before the shot in that tick
    Tick();
    EXPECT_TRUE(NewEnabled());
    EXPECT_EQ(State().BarOffset.load(), 0);
}

TEST_F(Shots, ShotsAfterTheEndStillChangeTheStateButShowNothing) {
    NewGame();
    State().BlocksDestroyed = 100;
    Tick();
    ASSERT_TRUE(NewEnabled());
    const int32_t frames = FramesPresented();
    FireAt(100);  // the bar rests at 0..55 now
    Tick(24);
    EXPECT_EQ(State().BlocksDestroyed.load(), 101);
    EXPECT_EQ(FramesPresented(), frames);
}

TEST_F(Shots, ShotsOfAnEarlierGameNeverTouchTheNewOne) {
    NewGame();
    State().BlocksDestroyed = 99;
    FireAt(100);  // the hundredth block at step 24: the game ends a tick later
    Tick(10);
    FireAt(100);  // these two fly on after the end; the bar is past them at their step 22
    FireAt(400);
    Tick(15);
    ASSERT_TRUE(NewEnabled());
    std::shared_ptr<Game> earlier = CurrentGame();
    NewGame();
    Tick(50);
    EXPECT_EQ(earlier->State.BlocksDestroyed.load(), 102);
    EXPECT_EQ(earlier->Grid->Cell(3, 29).Destroyed.load(), 1);
    EXPECT_EQ(earlier->Grid->Cell(13, 30).Destroyed.load(), 1);
    EXPECT_EQ(State().BlocksDestroyed.load(), 0);
    for (const BlockCell& cell : Current().Grid->Cells) {
        ASSERT_EQ(cell.Destroyed.load(), 0);
    }
    EXPECT_EQ(ShotsInFlight.load(), 0);
    const std::weak_ptr<Game> watched = std::exchange(earlier, nullptr);
    EXPECT_TRUE(watched.expired());  // nobody holds it once its last shot has landed
}

}  // namespace
}  // namespace game
