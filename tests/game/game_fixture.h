// SPDX-License-Identifier: MIT
// A headless game driven tick by tick: the test clock, the recording shell and the
// clock of day pinned to noon (the board of the 12:00:00.000 seed).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/commands.h"
#include "game/frame.h"
#include "game/headless_host.h"
#include "game/state.h"
#include "runtime/random.h"
#include "runtime/test_clock.h"

namespace game {

class HeadlessGame : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime::UseTestClock(true);
        runtime::SetFixedTimeOfDay(runtime::TimeOfDay{12, 0, 0, 0});
        game::InstallHeadlessHost();
    }

    // Stops the bar worker (its game is no longer played) and lets every shot land.
    void TearDown() override {
        MakeCurrentGame(std::make_shared<Game>());
        runtime::AdvanceTestClock(70);
        EXPECT_EQ(runtime::TestClockWorkers(), 0);
        runtime::SetFixedTimeOfDay(std::nullopt);
        runtime::UseTestClock(false);
    }

    static Game& Current() { return *CurrentGame(); }
    static GameState& State() { return CurrentGame()->State; }
    static void Tick(int32_t ticks = 1) { runtime::AdvanceTestClock(ticks); }

    // Aims so that the shot flies at y, and fires.
    static void FireAt(int32_t y) {
        AimAt(y - 25);
        FireShot();
    }

    static std::vector<std::string> Cues() { return game::HeadlessSnapshot().Cues; }
    static int32_t FramesPresented() { return game::HeadlessSnapshot().FramesPresented; }
    static bool NewEnabled() { return game::HeadlessSnapshot().NewEnabled; }
};

// The window's image: the control's 998 x 574 pixels (0xFFRRGGBB words).
std::vector<uint32_t> WindowImage();
// A pixel of the window's image as 0x00BBGGRR, the game's colour order.
int32_t WindowColourAt(const std::vector<uint32_t>& image, int32_t x, int32_t y);

// Compares the window's image with a checked-in PNG under tests/game/golden; with
// ZARPETA_UPDATE_GOLDEN=1 in the environment it writes the PNG instead.
::testing::AssertionResult WindowMatchesGolden(const std::string& name);

}  // namespace game
