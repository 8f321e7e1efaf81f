// SPDX-License-Identifier: MIT
// The wall: 17 rows of 30 blocks, 20 x 30 px each, covering x 20..620, y 30..540.
#include "game/wall.h"

#include "game/layout.h"
#include "game/rules.h"
#include "render/painters.h"
#include "render/text_painters.h"
#include "runtime/random.h"

namespace game {

namespace {

int32_t ColourOfCell(const Game& game, int32_t column) {
    if (column == ColumnCount) {
        return FixedBlockColour;  // no number is drawn for the right-most column
    }
    return game.Colours->Entries[static_cast<size_t>(runtime::RandomInt(0, ColourCount - 1))];
}

}  // namespace

void BuildBlockGrid(Game& game) {
    for (int32_t row = 1; row <= RowCount; ++row) {
        for (int32_t column = 1; column <= ColumnCount; ++column) {
            BlockCell& cell = game.Grid->Cell(row, column);
            cell.Left = CellWidth * column;
            cell.Right = cell.Left + CellWidth;
            cell.Top = CellHeight * row;
            cell.Bottom = cell.Top + CellHeight;
            cell.Colour = ColourOfCell(game, column);
            cell.Destroyed.store(0);
        }
    }
    PaintWall(game, game.Surfaces.BlockLayer);
}

// Each block is painted over the edges of those before it: its maroon line falls on
// its left and upper neighbours' last column and row.
void PaintWall(const Game& game, render::SurfaceHandle layer) {
    render::BlankSurface(layer);
    render::PaintCaption(layer, 0, render::CaptionText, render::NewCaptionFont());
    for (const BlockCell& cell : game.Grid->Cells) {
        render::PaintBlockOn(layer, cell.Left, cell.Top, cell.Colour);
    }
}

void EraseDestroyed(const Game& game, render::SurfaceHandle layer) {
    for (const BlockCell& cell : game.Grid->Cells) {
        if (cell.Destroyed.load() != 0) {
            render::EraseBlockOn(layer, cell.Left, cell.Top);
        }
    }
}

}  // namespace game
