// SPDX-License-Identifier: MIT
// The text painters: the wall's caption, the score line and the two end screens.
//
// Every text is drawn three times with a transparent background: white one line
// up-left, maroon one line down-right (a pixel at 1x, LineWidth device pixels at a
// scale), then its face colour at its anchor.
#pragma once

#include <cstdint>
#include <string_view>

#include "render/surface.h"
#include "render/words.h"

namespace render {

constexpr std::string_view TextFace = "Times New Roman";
constexpr float CaptionPoints = 48;

// Where the score line's two texts and the end screens' text are drawn in the frame.
constexpr int32_t ScoreLabelX = 760, ScoreLabelY = 14;
constexpr int32_t ScoreNumberX = 828, ScoreNumberY = 35;  // left end: the number grows right
constexpr int32_t EndX = 190, EndY = 230;

// Makes every font the painters use, with the glyphs of their texts, at 1x and at the
// scale, so that no painter depends on memory left late in a game; false when a font
// has no face. A host whose device scale changes calls it again with the new scale.
bool MakeTextFonts(Scale scale = {});

// The caption's font: the same handle every time it is asked for.
FontHandle NewCaptionFont();

// The score line, drawn on the frame given; the frame stays attached.
void PaintScoreOn(SurfaceHandle frame, int16_t count);
// Every pixel the score line may touch, whatever the count: from the label's first
// pass to the right, from its first row down to the number's last.
Rect ScoreLineArea();
void PaintGameOver(SurfaceHandle surface);
void PaintWin(SurfaceHandle surface);
// Pauses once (the caller's pending event), clears the surface silver and draws text.
void PaintCaption(SurfaceHandle surface, int32_t controlId, std::string_view text, FontHandle font);

// The score number as drawn: the decimal count with no blanks ("7", not " 7").
std::string_view ScoreText(int16_t count, char (&buffer)[8]);

}  // namespace render
