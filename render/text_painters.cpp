// SPDX-License-Identifier: MIT
// The text painters: three passes of one text, white up-left, maroon down-right,
// then the face colour, each on a transparent background. The white and maroon passes
// lie one line from the anchor (a pixel at 1x, LineWidth device pixels at a scale), as
// the boxes' bevels do: mapping the passes' own logical places instead would set them
// one device pixel off on one side and two on the other at 3/2.
#include "render/text_painters.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

#include "render/glyphs.h"
#include "render/painters.h"
#include "runtime/pacing.h"

namespace render {

namespace {

constexpr int32_t CaptionX = 19, CaptionY = 250;
constexpr float ScoreLabelPoints = 14;
constexpr float ScoreNumberPoints = 24;
constexpr float EndPoints = 84;

// The bold serif every text is set in, at the given size.
FontHandle TextFont(float points) {
    return NewFont(TextFace, points, FontBold);
}

// The pass of the text anchored at (x, y) moved by lines (-1, 0 or 1 each way).
void TextPass(std::string_view text, int32_t x, int32_t y, int32_t lines, int32_t colour) {
    SetForeColour(colour);
    SetBackColour(ColourNone);
    DrawTextShifted(x, y, lines, lines, text);
    EndTextLine();
}

// The text in the current font on the current surface, its face pass at (x, y).
void DrawThreePass(std::string_view text, int32_t x, int32_t y, int32_t face) {
    TextPass(text, x, y, -1, ColourWhite);
    TextPass(text, x, y, 1, ColourMaroon);
    TextPass(text, x, y, 0, face);
}

void PaintEndScreen(SurfaceHandle surface, std::string_view text, int32_t face) {
    AttachSurface(surface, 0);
    SetTextFont(TextFont(EndPoints));
    DrawThreePass(text, EndX, EndY, face);
}

// The bottom of a text line drawn at y in the font (its last pass is one row lower).
int32_t LineBottom(float points, int32_t y) {
    return y + 1 + FontLineHeight(TextFont(points));  // no face: 0, the line draws nothing
}

}  // namespace

bool MakeTextFonts(Scale scale) {
    // The score's glyphs are the digits and the minus sign.
    const std::pair<float, std::string_view> uses[] = {{CaptionPoints, CaptionText},
                                                       {ScoreLabelPoints, ScoreLabel},
                                                       {ScoreNumberPoints, "-0123456789"},
                                                       {EndPoints, LostText},
                                                       {EndPoints, WonText}};
    bool made = MakeFontNow(1, "", scale);  // every surface's font until one is chosen
    for (const auto& [points, text] : uses) {
        made = MakeFontNow(TextFont(points), text, scale) && made;
    }
    return made;
}

FontHandle NewCaptionFont() {
    return TextFont(CaptionPoints);
}

std::string_view ScoreText(int16_t count, char (&buffer)[8]) {
    // "-32768" is the longest text; the buffer always holds it.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, count);
    return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

Rect ScoreLineArea() {
    // A text is drawn from its pen's start rightwards, within its line's rows.
    static const Rect area{ScoreLabelX - 1, ScoreLabelY - 1, std::numeric_limits<int32_t>::max(),
                           std::max(LineBottom(ScoreLabelPoints, ScoreLabelY),
                                    LineBottom(ScoreNumberPoints, ScoreNumberY))};
    return area;
}

void PaintScoreOn(SurfaceHandle frame, int16_t count) {
    AttachSurface(frame, 0);
    SetTextFont(TextFont(ScoreLabelPoints));
    DrawThreePass(ScoreLabel, ScoreLabelX, ScoreLabelY, ColourBlue);
    char buffer[8];
    SetTextFont(TextFont(ScoreNumberPoints));
    DrawThreePass(ScoreText(count, buffer), ScoreNumberX, ScoreNumberY, ColourOrange);
}

void PaintGameOver(SurfaceHandle surface) {
    PaintEndScreen(surface, LostText, ColourRed);
}

void PaintWin(SurfaceHandle surface) {
    PaintEndScreen(surface, WonText, ColourGold);
}

// A new game is built inside the handling of a menu command; the pause first hands
// one pending event of the calling thread to the pump (or sleeps one tick).
void PaintCaption(SurfaceHandle surface, int32_t controlId, std::string_view text,
                  FontHandle font) {
    runtime::PumpOrSleep(1);
    AttachSurface(surface, controlId);
    ClearSurface(ColourSilver);
    SetTextFont(font);
    DrawThreePass(text, CaptionX, CaptionY, ColourBlue);
}

}  // namespace render
