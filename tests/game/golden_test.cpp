// SPDX-License-Identifier: MIT
// Whole frames of the noon game, pixel for pixel.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace game {
namespace {

using Frames = HeadlessGame;

constexpr int32_t Silver = 0xC0C0C0;

TEST_F(Frames, TheFirstFrameShowsTheWallTheBarTheLauncherAndScoreZero) {
    EXPECT_EQ(WindowColourAt(WindowImage(), 500, 300), Silver);  // silver before any game
    NewGame();
    EXPECT_TRUE(WindowMatchesGolden("first_frame"));
    const std::vector<uint32_t> image = WindowImage();
    EXPECT_EQ(WindowColourAt(image, 610, 45), FixedBlockColour);  // column 30, row 1
    EXPECT_EQ(WindowColourAt(image, 637, 20), 0x00D7FF);          // the bar's face at y 0
    EXPECT_EQ(WindowColourAt(image, 987, 25), 0x00D7FF);          // the launcher's face
    EXPECT_EQ(WindowColourAt(image, 637, 70), Silver);            // below the bar
}

TEST_F(Frames, AHitShowsTheBlockGoneAndTheNewCountOnTheNextTick) {
    NewGame();
    FireAt(100);
    Tick(25);
    EXPECT_TRUE(WindowMatchesGolden("after_one_hit"));
    const std::vector<uint32_t> image = WindowImage();
    EXPECT_EQ(WindowColourAt(image, 610, 105), Silver);  // row 3, column 30
    EXPECT_EQ(WindowColourAt(image, 610, 75), FixedBlockColour);
}

TEST_F(Frames, TheLostGameEndsOnGameOverWithTheBarHome) {
    NewGame();
    Tick(40);
    State().BarLevel = 10;
    Tick();
    EXPECT_TRUE(WindowMatchesGolden("game_over"));
}

TEST_F(Frames, AGameLostAndWonOnOneTickEndsOnGanaste) {
    NewGame();
    Tick(40);
    State().BarLevel = 10;
    State().BlocksDestroyed = 100;
    Tick();
    EXPECT_TRUE(WindowMatchesGolden("ganaste"));
}

}  // namespace
}  // namespace game
