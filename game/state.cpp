// SPDX-License-Identifier: MIT
// The data of a game and the pointer to the game being played.
#include "game/state.h"

#include <algorithm>
#include <cassert>
#include <mutex>
#include <utility>

namespace game {

namespace {

// The game being played: none until the first new game.
// A plain pointer under a small mutex, whose ordering the thread sanitizer sees, and
// the unit's address beside it for the workers' frequent "is my game current?".
struct CurrentSlotData {
    std::mutex Mutex;
    std::shared_ptr<Game> Current;            // under Mutex
    std::atomic<const Game*> CurrentAddress;  // written under Mutex, read anywhere
};

// Never destroyed: workers may still ask for the current game while the process exits.
CurrentSlotData& CurrentSlot() {
    static CurrentSlotData& slot = *new CurrentSlotData;
    return slot;
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

std::shared_ptr<Game> CreateGame() {
    auto game = std::make_shared<Game>();
    game->Grid = std::make_unique<BlockGrid>();
    game->ShotThreads = std::make_unique<ShotThreadTable>();
    game->Colours = std::make_unique<ColourTable>();
    game->BarLengths = std::make_unique<BarLengthTable>();
    return game;
}

std::shared_ptr<Game> CurrentGame() {
    std::lock_guard lock(CurrentSlot().Mutex);
    return CurrentSlot().Current;
}

void ReplaceCurrentGame(std::shared_ptr<Game> game) {
    std::shared_ptr<Game> previous;  // released after the lock: it may free surfaces
    std::lock_guard lock(CurrentSlot().Mutex);
    CurrentSlot().CurrentAddress.store(game.get());
    previous = std::exchange(CurrentSlot().Current, std::move(game));
}

// The address alone is enough: a caller holds its own game, so that address cannot be
// reused by a newer game while it asks.
bool IsCurrentGame(const Game& game) {
    return CurrentSlot().CurrentAddress.load() == &game;
}

}  // namespace game
