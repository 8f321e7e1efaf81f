// SPDX-License-Identifier: MIT
// The data of a game: its counters, the wall, the tables and the worker handles.
//
// Owns: Game, one game's whole data as one unit, and the process-wide pointer to the
// game being played. A new game makes a new unit; every worker holds a shared
// reference to the unit of its own game from its start, so a worker of an earlier
// game never reads or writes the new game's data, and a finished game's unit (with
// its surfaces) goes when its last worker ends.
//
// Threads: the fields below are shared by the main thread, the bar worker and the
// shot workers with no lock. Each is atomic: whole values are read and written with
// relaxed order (no field orders another), and every count grows by an atomic
// read-modify-write, so each hit adds exactly one.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "game/layout.h"
#include "game/rules.h"
#include "render/surface.h"

namespace game {

// Which end screen a game showed last, and the count it shows.
enum class GameEnd : int32_t { None, Lost, Won };
struct EndShown {
    int32_t Blocks = 0;
    GameEnd End = GameEnd::None;
};

struct GameState {
    std::atomic<int16_t> BlocksDestroyed{0};  // blocks destroyed; shot workers add 1 per hit
    std::atomic<int32_t> BarOffset{0};        // px, y of the bar's upper end; the bar worker's
    std::atomic<int32_t> AimY{0};             // px, y of the launcher, 0..503; the main thread's
    std::atomic<int32_t> BarDirection{0};     // non-zero: the bar moves down; the bar worker's
    std::atomic<int32_t> BarLevel{0};         // 1..10 in play; shot workers add 1 per bar hit
    std::atomic<int32_t> ShotCount{0};        // shots fired this game; the main thread's
    // Set by the bar worker as each end screen goes up; one value, so the end and its
    // count are read together. Shots still flying count on unseen.
    std::atomic<EndShown> ShownEnd{};
};
static_assert(std::atomic<EndShown>::is_always_lock_free);

// One block. Its geometry and colour are set while the game is made and only read
// afterwards; Destroyed goes from 0 to 1 once, by one atomic exchange.
struct BlockCell {
    int32_t Left = 0;                   // px, x of the left edge, included
    int32_t Right = 0;                  // px, x of the right edge, included
    int32_t Top = 0;                    // px, y of the upper edge, included
    int32_t Bottom = 0;                 // px, y of the lower edge, included
    int32_t Colour = 0;                 // 0x00BBGGRR
    std::atomic<int32_t> Destroyed{0};  // 0 standing, 1 destroyed
};

// The wall, rows 1..17 by columns 1..30, stored row by row.
struct BlockGrid {
    std::array<BlockCell, RowCount * ColumnCount> Cells;

    BlockCell& Cell(int32_t row, int32_t column);
    const BlockCell& Cell(int32_t row, int32_t column) const;
};

// The colours a new game draws the wall from, indices 0..900.
struct ColourTable {
    std::array<int32_t, ColourCount> Entries{};

    int32_t& At(int32_t index);
};

// Bar lengths by level, indices 1..10.
struct BarLengthTable {
    std::array<int32_t, LevelCount> Entries{};

    int32_t& At(int32_t level);
    // The length of a level as the game reads it: a level above 10 (two quick bar
    // hits, or hits after the end) has the level-10 length; nothing outside is read.
    int32_t LengthFor(int32_t level) const;
};

// Shot worker handles by shot number, indices 1..500000.
struct ShotThreadTable {
    std::unique_ptr<std::atomic<int32_t>[]> Entries;

    ShotThreadTable();
    std::atomic<int32_t>& Slot(int32_t shot);
};

// The surfaces of one game; 0 until the game sets them up. Released with the game,
// when no worker of it is left to draw on them, or when the device scale changes and
// they are made again at it. Once the game is played, everything drawn on them is
// drawn under the frame lock (game/frame.h), under which the main thread replaces them.
struct GameSurfaces {
    render::OwnedBitmap BarLayer;
    render::OwnedBitmap BlockLayer;
    render::OwnedBitmap LauncherLayer;
    render::OwnedBitmap FrameBitmap;
    render::Scale Scale;  // all four are made at it
};

// Paints an end screen on the frame given.
using EndScreenPainter = void (*)(render::SurfaceHandle frame);

// A flying shot's mark: where its worker last put it. It lives on the shot worker's
// stack and is counted at its place in its game's frame while the shot flies. Under
// the frame lock (game/frame.h).
struct ShotMark {
    int32_t Step = 0;  // steps flown: the face's left edge is at ShotXAt(Step)
    int32_t Y = 0;     // px, the top edge of the shot's face
};

// How many shots in flight stand at each place: by the row of their face's top edge,
// then by the step of their flight.
using ShotPlaces = std::array<std::array<int32_t, ShotLastStep + 1>, PlayAreaHeight>;

// What the frame must show and does not yet. Under the frame lock (game/frame.h).
struct FrameChanges {
    render::DamageList Pending;  // areas to compose at the next composition
    // A composition looks only at the places near what it draws, and draws each place
    // once, however many shots fly or share it.
    ShotPlaces ShotsAt{};
    // The end screen up, null for none: shots no longer show, and a frame made again
    // at another scale shows it again.
    EndScreenPainter EndScreen = nullptr;
};

// One game's whole data. The tables exist only from a new game on.
struct Game {
    GameState State;
    std::unique_ptr<BlockGrid> Grid;
    std::unique_ptr<ColourTable> Colours;
    std::unique_ptr<BarLengthTable> BarLengths;
    std::unique_ptr<ShotThreadTable> ShotThreads;
    GameSurfaces Surfaces;
    FrameChanges Frame;

    Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

// Makes the unit of a new game: every table created, every field 0.
std::shared_ptr<Game> CreateGame();

// The game being played; null before the first new game, or after a driver has
// stopped the game (MakeCurrentGame(nullptr)).
std::shared_ptr<Game> CurrentGame();
// The slot alone, without the frame lock: only MakeCurrentGame (game/frame.h) calls
// it; everyone else makes a game current through MakeCurrentGame.
void ReplaceCurrentGame(std::shared_ptr<Game> game);

// Whether this is the game being played.
bool IsCurrentGame(const Game& game);

// The handle of the newest bar worker.
inline std::atomic<int32_t> BarThread{0};

}  // namespace game
