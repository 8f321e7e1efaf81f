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
    const render::SurfaceHandle layer = game.Surfaces.BlockLayer;
    render::BlankSurface(layer);
    render::PaintCaption(layer, 0, render::CaptionText, render::NewCaptionFont());
    for (int32_t row = 1; row <= RowCount; ++row) {
        for (int32_t column = 1; column <= ColumnCount; ++column) {
            const int32_t x = CellWidth * column;
            const int32_t y = CellHeight * row;
            const int32_t colour = ColourOfCell(game, column);
            render::PaintBlockOn(layer, x, y, colour);
            BlockCell& cell = game.Grid->Cell(row, column);
            cell.Left = x;
            cell.Right = x + CellWidth;
            cell.Top = y;
            cell.Bottom = y + CellHeight;
            cell.Colour = colour;
            cell.Destroyed.store(0);
        }
    }
}

}  // namespace game
