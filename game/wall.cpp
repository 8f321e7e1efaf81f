// SPDX-License-Identifier: MIT
// The wall: 17 rows of 30 blocks, 20 x 30 px each, covering x 20..620, y 30..540.
#include "game/wall.h"

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

void PaintCaptionStep(render::SurfaceHandle layer) {
    const render::FontHandle font =
        render::NewFont(render::TextFace, render::CaptionPoints, render::FontBold, 0, 0, 0);
    render::CaptionFont.store(font);
    render::PaintCaption(layer, 0, render::CaptionText, font);
}

}  // namespace

void BuildBlockGrid(Game& game) {
    const render::SurfaceHandle layer = game.Surfaces.BlockLayer;
    render::BlankSurface(layer);
    PaintCaptionStep(layer);
    for (int32_t row = 1; row <= RowCount; ++row) {
        for (int32_t column = 1; column <= ColumnCount; ++column) {
            const int32_t x = render::BlockWidth * column;
            const int32_t y = render::BlockHeight * row;
            const int32_t colour = ColourOfCell(game, column);
            render::PaintBlockOn(layer, x, y, colour);
            BlockCell& cell = game.Grid->Cell(row, column);
            cell.Left = x;
            cell.Right = x + render::BlockWidth;
            cell.Top = y;
            cell.Bottom = y + render::BlockHeight;
            cell.Colour = colour;
            cell.Destroyed.store(0);
        }
    }
}

}  // namespace game
