// SPDX-License-Identifier: MIT
// The drawing layer: surfaces and their handles, copies, clears, the graphic control's
// refresh, boxes to the pixel, text and fonts, and the scene painters against their
// golden images.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/painters.h"
#include "render/surface.h"
#include "render/text_painters.h"
#include "tests/golden.h"

namespace render {
namespace {

constexpr int32_t Red = 0x0000FF, Blue = 0xFF0000;
constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// The pixel word (0xFFRRGGBB) that a colour (0x00BBGGRR) paints.
constexpr uint32_t Word(int32_t colour) {
    const auto bgr = static_cast<uint32_t>(colour);
    return 0xFF000000u | (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
}

struct Image {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int32_t x, int32_t y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    bool operator==(const Image&) const = default;
};

Image Snapshot(SurfaceHandle surface, int32_t control = 0) {
    Image image;
    EXPECT_TRUE(ReadPixels(surface, control, image.Pixels, image.Width, image.Height));
    return image;
}

// A new bitmap, attached on the calling thread and cleared to the colour.
SurfaceHandle Cleared(int32_t width, int32_t height, int32_t colour = ColourSilver) {
    const SurfaceHandle bitmap = NewBitmap(width, height);
    AttachSurface(bitmap, 0);
    ClearSurface(colour);
    return bitmap;
}

bool AllOf(const Image& image, int32_t colour = ColourSilver) {
    return std::ranges::all_of(image.Pixels, [&](uint32_t p) { return p == Word(colour); });
}

// A bitmap whose pixels all differ: colour (x, y, 7).
SurfaceHandle Patterned(int32_t width, int32_t height) {
    const SurfaceHandle bitmap = Cleared(width, height);
    for (int32_t x = 0, y = 0; y < height; y += ++x / width, x %= width) {
        DrawBox(x, y, x + 1.0f, y + 2.0f, 0, MakeRgb(x, y, 7), ColourNone);
    }
    return bitmap;
}

TEST(Surfaces, BadAndFreedHandlesDrawNothingAndAreNeverReused) {
    EXPECT_EQ(std::pair(NewBitmap(0, 5), NewBitmap(1 << 20, 1 << 20)), std::pair(0, 0));
    const SurfaceHandle bitmap = Cleared(4, 4);
    FreeBitmap(bitmap);
    DrawBox(0, 0, 4, 4, 0, 0, 0);  // still current: draws nowhere
    SurfaceMetrics metrics;
    Image image;
    EXPECT_FALSE(CurrentMetrics(metrics) ||
                 ReadPixels(bitmap, 0, image.Pixels, image.Width, image.Height));
    EXPECT_GT(NewBitmap(4, 4), bitmap);
    FreeBitmap(bitmap);                                        // a second time: no harm
    for (const SurfaceHandle none : {0, NewWindowHandle()}) {  // a window: only its controls
        Cleared(1, 1);
        AttachSurface(none, 0);
        EXPECT_FALSE(CurrentMetrics(metrics)) << none;
    }
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
}

// A colour keeps all of its low 24 bits; the default is the surface's own.
TEST(Surfaces, ColoursKeepTheirLow24Bits) {
    const std::pair<int32_t, int32_t> colours[] = {
        {0x123457, 0x123457}, {0x7F0000FF, Red}, {ColourDefault, DefaultBackColour}};
    for (auto [argument, kept] : colours) {
        const SurfaceHandle bitmap = Cleared(2, 2);
        SetBackColour(argument);
        SetForeColour(argument);
        ClearSurface(ColourDefault);                        // in the back colour
        DrawBox(0, 1, 2, 2, 0, ColourDefault, ColourNone);  // the last row in the fore colour
        const int32_t fore = argument == ColourDefault ? DefaultForeColour : kept;
        EXPECT_EQ(Snapshot(bitmap).Pixels,
                  (std::vector{Word(kept), Word(kept), Word(fore), Word(fore)}))
            << argument;
    }
}

TEST(Surfaces, CopiesClipAtEveryEdgeAndClearsKeepTheirRectangle) {
    const SurfaceHandle source = Patterned(5, 4);
    const SurfaceHandle target = Cleared(6, 6);
    CopyBitmapAt(source, 0, -2, -1);  // cut on the left and top
    CopyBitmapAt(source, 0, 4, 3);    // and on the right and bottom
    for (auto [x, y] : {std::pair{-5.f, 0.f}, {6, 0}, {0, -4}, {0, 6}, {1e30f, NaN}, {-1e30f, 0}}) {
        CopyBitmapAt(source, 0, x, y);  // wholly off the surface
    }
    EXPECT_TRUE(MatchesGolden(target, 0, "copies"));
    AttachSurface(source, 0);
    CopyBitmapAt(source, 0, 1, 2);  // onto itself: each pixel moves whole
    EXPECT_TRUE(MatchesGolden(source, 0, "copied_onto_itself"));
    // Onto itself over rows it reads, down and up, right and left.
    for (auto [dx, dy] : {std::pair{1, 1}, {-1, -2}, {0, 1}, {0, -1}, {2, 0}, {-2, 0}}) {
        const SurfaceHandle moved = Patterned(5, 4);
        const Image before = Snapshot(moved);
        CopyBitmapAt(moved, 0, dx, dy);
        const Image after = Snapshot(moved);
        for (int32_t at = 0, x = 0, y = 0; at < 20; ++at, x = at % 5, y = at / 5) {
            const bool copied = x - dx >= 0 && x - dx < 5 && y - dy >= 0 && y - dy < 4;
            ASSERT_EQ(after.At(x, y), copied ? before.At(x - dx, y - dy) : before.At(x, y))
                << x << "," << y << " moved by " << dx << "," << dy;
        }
    }
    // Outside the kept rectangle, clipped to the surface, the colour; inside, as it was.
    const Rect keeps[] = {{1, 1, 4, 3}, {-3, -2, 2, 2}, {4, 3, 99, 99},
                          {0, 1, 6, 3}, {0, 0, 6, 5},   {2, 0, 3, 5},
                          {},           {4, 3, 1, 1},   {7, 0, 9, 5}};
    for (const Rect& kept : keeps) {
        const SurfaceHandle bitmap = Patterned(6, 5);
        const Image before = Snapshot(bitmap);
        ClearSurface(Red, kept);
        const Image after = Snapshot(bitmap);
        for (int32_t at = 0, x = 0, y = 0; at < 30; ++at, x = at % 6, y = at / 6) {
            const bool in = x >= kept.Left && x < kept.Right && y >= kept.Top && y < kept.Bottom;
            EXPECT_EQ(after.At(x, y), in ? before.At(x, y) : Word(Red))
                << x << "," << y << " keeping " << kept.Left << "," << kept.Top;
        }
    }
}

const SurfaceHandle Window = NewWindowHandle();

// Hears of changes and, when taking, takes them from inside Changed: that takes the
// surfaces' lock, so it would never return if the lock were still held.
struct RecordingSink : ControlSink {
    bool Taking = true;
    int32_t Told = 0;
    DamageList Parts;  // the last parts taken
    std::vector<uint32_t> Shown = std::vector<uint32_t>(40 * 30);
    void Changed() override {
        ++Told;
        if (Taking) {
            TakeControlChanges(Window, 1001, Shown.data(), 40, Parts);
        }
    }
    std::tuple<int32_t, int32_t, int32_t, int32_t> Last() const {
        Rect r;
        for (int32_t part = 0; part < Parts.Count; ++part) {
            r = UnionOf(r, Parts.Rects[static_cast<size_t>(part)]);
        }
        return {r.Left, r.Top, r.Right, r.Bottom};
    }
};

// A drawing marks the pen's whole extent clamped to the image, a copy what it covered,
// and parts far apart stay apart; the sink is told outside the lock, once until the
// changes are taken, and the parts' pixels reach the taker's copy.
TEST(GraphicControl, TellsOfItsChangesOnceAndHandsThemOver) {
    RecordingSink sink;
    NewGraphicControl(Window, 1001, 40, 30, &sink);
    AttachSurface(Window, 1001);
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 40, 30));  // a new control is all changed
    DrawBox(5, 6, 10, 12, 0, Red, ColourNone);
    EXPECT_EQ(sink.Last(), std::tuple(4, 5, 11, 13));
    DrawBox(-5, -5, 2, 2, 0, Red, ColourNone);
    EXPECT_EQ(sink.Last(), std::tuple(0, 0, 3, 3));  // clamped to the image
    const SurfaceHandle frame = Cleared(50, 40);
    DrawBox(1, 1, 3, 3, 0, Blue, Blue);
    DrawBox(35, 25, 38, 28, 0, Blue, Blue);
    AttachSurface(Window, 1001);
    CopyBitmapAt(frame, 0, 30, 20);
    EXPECT_EQ(sink.Last(), std::tuple(30, 20, 40, 30));
    sink.Taking = false;
    const int32_t told = sink.Told;
    DamageList areas;
    AddDamage(areas, {0, 0, 4, 4});
    AddDamage(areas, {34, 24, 40, 30});
    CopyBitmapWithin(frame, 0, areas);
    ClearSurface(Red);
    EXPECT_EQ(sink.Told, told + 1);
    TakeControlChanges(Window, 1001, sink.Shown.data(), 40, sink.Parts);
    EXPECT_EQ(std::pair(sink.Parts.Count, sink.Shown[0]), std::pair(1, Word(Red)));
    sink.Taking = true;
    CopyBitmapWithin(frame, 0, areas);
    EXPECT_EQ(std::tuple(sink.Told, sink.Parts.Count, sink.Last()),
              std::tuple(told + 2, 2, std::tuple(0, 0, 40, 30)));
    // Copied within its areas only: (4, 0), just right of the first, stays red.
    EXPECT_EQ(std::tuple(sink.Shown[2 * 40 + 2], sink.Shown[5 * 40 + 5], sink.Shown[4]),
              std::tuple(Word(Blue), Word(Red), Word(Red)));
}

// The box (x1, y1)-(x2, y2), white on red, on a silver surface of width x height.
Image Drawn(int32_t width, int32_t height, float x1, float y1, float x2, float y2, int32_t corner) {
    const SurfaceHandle bitmap = Cleared(width, height);
    DrawBox(x1, y1, x2, y2, corner, ColourWhite, Red);
    return Snapshot(bitmap);
}

// Run under the address sanitizer, this also shows that nothing lands outside the buffer.
TEST(DrawBox, IsClippedLikeTheSameBoxSeenThroughAWindowEvenFarOut) {
    for (auto [x, y] : {std::pair{-9, -20}, {-17, 3}, {4, -50}, {10, 12}, {1, 40}, {-5, 44}}) {
        const Image clipped = Drawn(20, 60, x, y, x + 18.0f, y + 51.0f, 70);
        const Image whole = Drawn(80, 180, x + 30.0f, y + 60.0f, x + 48.0f, y + 111.0f, 70);
        for (size_t at = 0; at < clipped.Pixels.size(); ++at) {
            ASSERT_EQ(clipped.Pixels[at], whole.At(at % 20 + 30, at / 20 + 60)) << x << ", " << y;
        }
    }
    const float far[] = {-3e38f, -3e38f, 3e38f, 3e38f, NaN, NaN, 5,    5, 1e9f,  1e9f, 2e9f, 2e9f,
                         -2e9f,  2,      9,     3e9f,  Inf, NaN, -Inf, 4, -1e6f, 3,    1e6f, 7};
    for (size_t at = 0; at < std::size(far); at += 4) {  // a box's two corners at a time
        for (int32_t corner : {0, 70, 100}) {
            Drawn(8, 6, far[at], far[at + 1], far[at + 2], far[at + 3], corner);
        }
    }
    // A box around the whole surface has its outline off it: only the fill shows.
    EXPECT_TRUE(AllOf(Drawn(8, 6, -Inf, -Inf, Inf, Inf, 0), Red));
    EXPECT_TRUE(AllOf(Drawn(8, 6, -1e9f, -1e9f, 1e9f, 1e9f, 70), Red));
    EXPECT_EQ(Drawn(8, 6, NaN, NaN, 3, 3, 0), Drawn(8, 6, 0, 0, 3, 3, 0));  // NaN is 0
}

// The image as rows of '.' (silver), 'o' (white) and 'x' (red), each ended by '|'.
std::string Art(const Image& image) {
    std::string art;
    for (size_t at = 0; at < image.Pixels.size(); ++at) {
        const uint32_t pixel = image.Pixels[at];
        art += pixel == Word(ColourWhite)    ? 'o'
               : pixel == Word(Red)          ? 'x'
               : pixel == Word(ColourSilver) ? '.'
                                             : '?';
        art += (at + 1) % static_cast<size_t>(image.Width) == 0 ? "|" : "";
    }
    return art;
}

// Small boxes to the pixel, the corners above all: ellipses of 2 (square), 3, 4 and 6.
// Each is (1, 1)-(right, bottom), with a pixel of silver around it.
TEST(DrawBox, SmallBoxesAreExactToThePixel) {
    const std::tuple<int32_t, int32_t, int32_t, std::string_view> boxes[] = {
        {6, 6, 50, ".......|.ooooo.|.oxxxo.|.oxxxo.|.oxxxo.|.ooooo.|.......|"},
        {4, 4, 100, ".....|..o..|.oxo.|..o..|.....|"},
        {5, 4, 100, "......|..oo..|.oxxo.|..oo..|......|"},
        {6, 9, 70,
         ".......|..ooo..|.oxxxo.|.oxxxo.|.oxxxo.|.oxxxo.|.oxxxo.|.oxxxo.|..ooo..|.......|"},
        {8, 6, 90, ".........|..ooooo..|.oxxxxxo.|.oxxxxxo.|.oxxxxxo.|..ooooo..|.........|"},
        {7, 7, 100, "........|...oo...|..oxxo..|.oxxxxo.|.oxxxxo.|..oxxo..|...oo...|........|"},
    };
    for (auto [right, bottom, corner, art] : boxes) {
        EXPECT_EQ(Art(Drawn(right + 1, bottom + 1, 1, 1, right, bottom, corner)), art) << right;
    }
}

constexpr std::string_view Face = "Times New Roman";

FontHandle Bold(float points) {
    return NewFont(Face, points, FontBold, 0, 0, 0);
}

// The pen's advance over the text in the current font.
int32_t WidthOf(std::string_view text) {
    SetPosition(0, 0);
    DrawText(text);
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics));
    return metrics.X;
}

// Transparent text, its widths and its baseline are pinned by the painters' and the
// game's golden images; opaque text fills its line's band, clipped to the surface.
TEST(Text, OpaqueTextFillsItsLineClippedAndFarOutPositionsDrawNothing) {
    const SurfaceHandle band = Cleared(300, 100);
    SetTextFont(Bold(24));
    SetBackColour(Blue);
    SetForeColour(Blue);  // glyphs blended blue over blue: the band is all blue
    SetPosition(-10, 80);
    DrawText("Ganaste");                                 // 112 wide, line 36 high
    EXPECT_TRUE(MatchesGolden(band, 0, "opaque_text"));  // blue over 0..101 x 80..99
    const SurfaceHandle bitmap = Cleared(50, 40);
    SetTextFont(Bold(84));
    for (auto [x, y] : {std::pair{2e9f, 0.0f}, {0.0f, 2e9f}, {-2e9f, -2e9f}, {0.0f, -200.0f}}) {
        SetPosition(x, y);
        DrawText("Game Over");
        EndTextLine();
    }
    EXPECT_TRUE(AllOf(Snapshot(bitmap)));
    SetPosition(0, 3e9f);
    EndTextLine();
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics) && metrics.Y == INT32_MAX);
}

TEST(Text, MalformedUtf8BecomesOneReplacementCharacterPerByte) {
    Cleared(300, 60);
    SetTextFont(Bold(24));
    EXPECT_EQ(WidthOf("Versi\xC3\xB3n"), WidthOf("Version"));  // ó advances like o
    const int32_t replacement = WidthOf("\xEF\xBF\xBD");
    // Stray, cut short, overlong, a surrogate, beyond U+10FFFF: one for each byte.
    const std::string_view texts[] = {"\xFF",         "\xC3",         "\xC0\xAF",
                                      "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    for (std::string_view text : texts) {
        // Appended, not "a" + text: GCC 12 at -O3 warns (-Wrestrict) on that operator+.
        EXPECT_EQ(WidthOf(std::string("a").append(text)), WidthOf("a") + text.size() * replacement)
            << text.size();
    }
}

TEST(NewFont, ReusesTheNumberOfTheSameRequestAndUnknownFontsAreRefused) {
    const FontHandle score = Bold(14);
    EXPECT_TRUE(score > 1 && Bold(14) == score);
    EXPECT_NE(NewFont(Face, 14, FontBold | FontItalic, 0, 0, 0), score);
    EXPECT_EQ(NewFont("MS Sans Serif", 0, 0, 0, 0, 0), 1);  // size 0 is 8 points
    const std::string longName(40, 'x');
    EXPECT_EQ(NewFont(longName, 9, 0, 0, 0, 0), NewFont(longName.substr(0, 31), 9, 0, 0, 0, 0));
    Cleared(100, 30);
    SetTextFont(score);
    SetTextFont(99999);
    EXPECT_EQ(LastError(), ErrorInvalidHandle);
    SurfaceMetrics metrics;
    EXPECT_TRUE(CurrentMetrics(metrics) && metrics.Height == 21);
    EXPECT_EQ(
        std::tuple(MakeFontNow(score, "Hola"), MakeFontNow(99999, "Hola"), MakeFontNow(0, "")),
        std::tuple(true, false, false));
    SetTextFont(NewFont("No Such Face At All", 24, 0, 0, 0, 0));  // falls back, still draws
    EXPECT_GT(WidthOf("Hola"), 20);
}

// ---- The painters --------------------------------------------------------------

// The shot, whole and clipped as it is last painted at x = -5, and the longest bar:
// each the face over white up-left and maroon down-right. Each level's bar covers the
// last; with no length there is no bar, and with no surface no shot.
// Whether every pixel that is not silver lies in one of the areas.
bool PaintedWithin(const Image& image, std::initializer_list<Rect> areas) {
    for (int32_t y = 0; y < image.Height; ++y) {
        for (int32_t x = 0; x < image.Width; ++x) {
            const bool inside = std::ranges::any_of(areas, [&](Rect a) {
                return x >= a.Left && x < a.Right && y >= a.Top && y < a.Bottom;
            });
            if (image.At(x, y) != Word(ColourSilver) && !inside) {
                return false;
            }
        }
    }
    return true;
}

// What a painter touches lies in its area, and a bar's rows between its end rows are
// all alike: the window shows them again only from those.
TEST(Painters, PaintWithinTheirAreasAndABarsMiddleRowsAreAlike) {
    const SurfaceHandle shots = Cleared(30, 12);
    PaintShot(shots, 5, 4);
    PaintShot(shots, 22, 7);
    EXPECT_TRUE(PaintedWithin(Snapshot(shots), {ShotArea(5, 4), ShotArea(22, 7)}));
    const SurfaceHandle launcher = Cleared(30, 60);
    PaintLauncherOn(launcher);
    EXPECT_TRUE(PaintedWithin(Snapshot(launcher), {LauncherArea()}));
    const SurfaceHandle wall = Cleared(60, 70);
    PaintBlockOn(wall, 20, 30, Red);
    EXPECT_TRUE(PaintedWithin(Snapshot(wall), {BlockArea(20, 30)}));
    EraseBlockOn(wall, 20, 30);
    EXPECT_TRUE(AllOf(Snapshot(wall)));
    for (int32_t length = 55; length <= 550; length += 55) {
        const SurfaceHandle layer = Cleared(17, 570);
        PaintBarOn(layer, length);
        const Image bar = Snapshot(layer);
        EXPECT_TRUE(PaintedWithin(bar, {BarArea(length)})) << length;
        for (int32_t y = BarEndRows; y < length + 1 - BarEndRows; ++y) {
            ASSERT_TRUE(std::equal(&bar.Pixels[y * 17], &bar.Pixels[y * 17 + 17],
                                   &bar.Pixels[BarEndRows * 17]))
                << length << " row " << y;
        }
    }
}

TEST(Painters, TheShotAndTheBarAreThreeBoxesInTheirOrder) {
    const SurfaceHandle shots = Cleared(20, 8);
    PaintShot(shots, -5, 2);
    PaintShot(shots, 10, 2);
    EXPECT_TRUE(MatchesGolden(shots, 0, "shots"));
    PaintShot(0, 2, 2);  // nothing is painted, not even on the current surface
    PaintShot(0x7FFF0000, 2, 2);
    const SurfaceHandle layer = Cleared(17, 570);
    for (int32_t length : {-1000, 0}) {
        PaintBarOn(layer, length);
        EXPECT_TRUE(AllOf(Snapshot(layer))) << length;
    }
    for (int32_t level = 1; level <= 10; ++level) {
        PaintBarOn(layer, 55 * level);
    }
    EXPECT_TRUE(MatchesGolden(layer, 0, "bar_550"));
    EXPECT_TRUE(MatchesGolden(shots, 0, "shots"));
}

// A corner of the wall, painted row by row as the game does, with one block shot away.
TEST(Painters, TheWallWithABlockErased) {
    const SurfaceHandle wall = Cleared(140, 180);
    for (int32_t column = 1, row = 1; row <= 4; row += column / 5, column = column % 5 + 1) {
        PaintBlockOn(wall, 20 * column, 30 * row, 0xB06043 + 0x10 * column);
    }
    EraseBlockOn(wall, 60, 60);  // silver over 59..79 x 59..89, just what the block drew
    EXPECT_TRUE(MatchesGolden(wall, 0, "wall"));
}

// The golden image places "100" to the pixel: a leading blank would move it right.
// Each frame asks for the same two fonts, so the font table does not grow.
TEST(Painters, TheScoreHasNoLeadingBlankAndReusesItsFonts) {
    char buffer[8];
    EXPECT_EQ(ScoreText(7, buffer), "7");
    EXPECT_EQ(ScoreText(-32768, buffer), "-32768");  // the longest text fits the buffer
    const SurfaceHandle frame = Cleared(1000, 576);
    PaintScoreOn(frame, 100);
    EXPECT_TRUE(MatchesGolden(frame, 0, "score_100"));
    const FontHandle before = NewFont("probe before", 10, 0, 0, 0, 0);
    for (int16_t count = 1; count < 20; ++count) {
        PaintScoreOn(frame, count);
    }
    EXPECT_EQ(NewFont("probe after", 10, 0, 0, 0, 0), before + 1);
}

}  // namespace
}  // namespace render
