// SPDX-License-Identifier: MIT
// The data of a game and the pointer to the game being played.
#include "game/state.h"

#include <algorithm>
#include <cassert>

namespace game {

namespace {

// Holds the current game; a pre-game unit with no tables until the first new game.
std::atomic<std::shared_ptr<Game>>& CurrentSlot() {
    static std::atomic<std::shared_ptr<Game>> current{std::make_shared<Game>()};
    return current;
}

}  // namespace

BlockCell& BlockGrid::Cell(int32_t row, int32_t column) {
    assert(row >= 1 && row <= RowCount && column >= 1 && column <= ColumnCount);
    return Cells[static_cast<size_t>((row - 1) * ColumnCount + (column - 1))];
}

const BlockCell& BlockGrid::Cell(int32_t row, int32_t column) const {
    return const_cast<BlockGrid*>(this)->Cell(row, column);
}

int32_t& ColourTable::At(int32_t index) {
    assert(index >= 0 && index < ColourCount);
    return Entries[static_cast<size_t>(index)];
}

int32_t& BarLengthTable::At(int32_t level) {
    assert(level >= 1 && level <= LevelCount);
    return Entries[static_cast<size_t>(level - 1)];
}

int32_t BarLengthTable::LengthFor(int32_t level) const {
    return Entries[static_cast<size_t>(std::clamp(level, 1, LevelCount) - 1)];
}

ShotThreadTable::ShotThreadTable() : Entries(std::make_unique<std::atomic<int32_t>[]>(ShotLimit)) {}

std::atomic<int32_t>& ShotThreadTable::Slot(int32_t shot) {
    assert(shot >= 1 && shot <= ShotLimit);
    return Entries[static_cast<size_t>(shot - 1)];
}

Game::~Game() {
    render::FreeBitmap(Surfaces.BarLayer);
    render::FreeBitmap(Surfaces.BlockLayer);
    render::FreeBitmap(Surfaces.LauncherLayer);
    render::FreeBitmap(Surfaces.FrameBitmap);
}

std::shared_ptr<Game> CreateGame() {
    auto game = std::make_shared<Game>();
    game->Grid = std::make_unique<BlockGrid>();
    game->ShotThreads = std::make_unique<ShotThreadTable>();
    game->Colours = std::make_unique<ColourTable>();
    game->BarLengths = std::make_unique<BarLengthTable>();
    return game;
}

std::shared_ptr<Game> CurrentGame() {
    return CurrentSlot().load();
}

void SetCurrentGame(std::shared_ptr<Game> game) {
    CurrentSlot().store(std::move(game));
}

bool IsCurrentGame(const Game& game) {
    return CurrentSlot().load().get() == &game;
}

}  // namespace game
