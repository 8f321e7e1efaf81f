// SPDX-License-Identifier: MIT
// Fonts and text: the font table, faces resolved by fontconfig and rendered by
// FreeType, line metrics, a surface's font and text position, and text drawn in
// anti-aliased glyphs.
//
// The font table has a lock of its own (FontLock), held only while the table is
// searched or extended. A font's drawing face and its glyph cache are made and used
// under SurfaceLock only. The FreeType library and every face live until the process
// ends; each glyph is rendered once per font and kept.
//
// Line metrics follow the desktop's TrueType rules: ascent and descent from the OS/2
// table's usWinAscent and usWinDescent, scaled by MulDiv/MulFix rounding halves away
// from zero; each glyph advances the pen by its unhinted advance, scaled and rounded
// on its own.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>

#include "render/control.h"
#include "render/fill_copy.h"
#include "render/text.h"
#include "render/utf8.h"

namespace render {

// ---- Constants ----

constexpr size_t MaxFaceName = 31;     // characters of a face name kept
constexpr float DefaultPoints = 8.0f;  // a size of 0 means this
constexpr double DotsPerInch = 96.0;

// ---- Types ----

// One rendered glyph: its coverage rows and where they sit relative to the pen.
struct Glyph {
    int32_t Left = 0;     // first column, from the pen
    int32_t Top = 0;      // first row, above the baseline
    int32_t Width = 0;    // coverage columns
    int32_t Rows = 0;     // coverage rows
    int32_t Advance = 0;  // whole pixels the pen moves
    size_t Offset = 0;    // first coverage byte in FontFace::Coverage
};

// The drawing face a surface record points to (surface_table.h).
struct FontFace {
    FT_Face Face = nullptr;
    int32_t Scale = 0;  // font units to pixels, 16.16
    int32_t PixelsPerEm = 0;
    LineMetrics Metrics;
    std::unordered_map<char32_t, Glyph> Glyphs;
    std::vector<uint8_t> Coverage;  // every cached glyph's rows, one byte per pixel
};

namespace {

// A font as asked for; everything but Made is fixed once the entry is in the table.
struct FontEntry {
    std::string Face;
    float Points = DefaultPoints;
    int32_t Style = 0, Charset = 0, PitchAndFamily = 0, Angle = 0;
    std::unique_ptr<FontFace> Made;  // under SurfaceLock; null until first selected
};

// The face's usWinAscent and usWinDescent in font units, the line gap the desktop adds,
// and the average character width.
struct DesignMetrics {
    int64_t Ascent = 0, Descent = 0, Leading = 0, AverageWidth = 0;
};

// ---- Module state ----

struct FontTable {
    std::mutex Lock;                                // FontLock: the list itself
    std::vector<std::unique_ptr<FontEntry>> Fonts;  // font number n at n - 1
};

// Never destroyed: fonts live as long as the process, workers included.
FontTable& Fonts() {
    static FontTable* table = [] {
        auto* made = new FontTable;
        auto builtIn = std::make_unique<FontEntry>();  // font 1: 8 points, weight 400
        builtIn->Face = "MS Sans Serif";
        made->Fonts.push_back(std::move(builtIn));
        return made;
    }();
    return *table;
}

FT_Library FreeTypeLocked() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// ---- Internal helpers: arithmetic ----

// round(a * b / c), halves away from zero.
int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
    const int64_t product = a * b;
    const int64_t half = c / 2;
    return product >= 0 ? (product + half) / c : -((-product + half) / c);
}

int32_t MulFix(int64_t a, int64_t scale) {
    return static_cast<int32_t>(MulDiv(a, scale, 65536));
}

int32_t PixelsOfPoints(double points) {
    const double pixels = RoundHalfEven(points * DotsPerInch / 72.0);
    return static_cast<int32_t>(std::clamp(pixels, 0.0, 1e6));
}

// ---- Internal helpers: making a face ----

// The file fontconfig picks for the face, weight and slant; its closest match when
// the machine lacks the face.
bool MatchFontFile(const FontEntry& entry, std::string& file, int& index) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(entry.Face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        (entry.Style & FontBold) != 0 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT,
                        (entry.Style & FontItalic) != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
            index = 0;
        }
    }
    FcPatternDestroy(match);
    return found;
}

// The metrics of the OS/2 table, or FreeType's when the face has none.
DesignMetrics DesignMetricsOf(FT_Face face) {
    DesignMetrics design;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 != nullptr && os2->version != 0xFFFF) {
        design.Ascent = os2->usWinAscent;
        design.Descent = os2->usWinDescent;
        design.AverageWidth = os2->xAvgCharWidth;
    } else {
        design.Ascent = face->ascender;
        design.Descent = -face->descender;
        design.AverageWidth = face->max_advance_width / 2;
    }
    if (hhea != nullptr) {
        design.Leading = hhea->Line_Gap -
                         ((design.Ascent + design.Descent) - (hhea->Ascender - hhea->Descender));
    }
    return design;
}

// The em size in pixels: the size is the character height, or with a negative value
// (after the cell-height style bit negates it) the height of the whole cell.
int32_t PixelsPerEm(const FontEntry& entry, const DesignMetrics& design, int64_t unitsPerEm) {
    const float points = (entry.Style & FontCellHeight) != 0 ? -entry.Points : entry.Points;
    int64_t ppem = PixelsOfPoints(std::fabs(points));
    if (points < 0 && design.Ascent + design.Descent > 0) {
        ppem = MulDiv(ppem, unitsPerEm, design.Ascent + design.Descent);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(ppem, 1, MaxPixelsPerEm));
}

std::unique_ptr<FontFace> MakeFace(const FontEntry& entry) {
    std::string file;
    int index = 0;
    FT_Library library = FreeTypeLocked();
    if (library == nullptr || !MatchFontFile(entry, file, index)) {
        return nullptr;
    }
    auto made = std::make_unique<FontFace>();
    if (FT_New_Face(library, file.c_str(), index, &made->Face) != 0) {
        return nullptr;
    }
    FT_Face face = made->Face;
    const DesignMetrics design = DesignMetricsOf(face);
    const int64_t unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const int32_t ppem = PixelsPerEm(entry, design, unitsPerEm);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    made->Scale = static_cast<int32_t>(MulDiv(ppem, 65536, unitsPerEm));
    made->PixelsPerEm = ppem;
    LineMetrics& metrics = made->Metrics;
    metrics.Ascent = MulFix(design.Ascent, made->Scale);
    metrics.Descent = MulFix(design.Descent, made->Scale);
    metrics.Height = metrics.Ascent + metrics.Descent;
    metrics.ExternalLeading = std::max(0, MulFix(design.Leading, made->Scale));
    metrics.AverageWidth = std::max(1, MulFix(design.AverageWidth, made->Scale));
    return made;
}

// ---- Internal helpers: glyphs ----

// The glyph of one character, rendered on first use. The advance is the design
// advance scaled and rounded; the coverage comes from lightly hinted outlines.
const Glyph& GlyphOf(FontFace& font, char32_t character) {
    auto found = font.Glyphs.find(character);
    if (found != font.Glyphs.end()) {
        return found->second;
    }
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(font.Face, character);
    FT_Fixed units = 0;
    if (FT_Get_Advance(font.Face, index, FT_LOAD_NO_SCALE, &units) == 0) {
        glyph.Advance = MulFix(units, font.Scale);
    }
    const FT_Int32 flags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(font.Face, index, flags) == 0 &&
        FT_Render_Glyph(font.Face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_GlyphSlot slot = font.Face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.Left = slot->bitmap_left;
        glyph.Top = slot->bitmap_top;
        glyph.Width = static_cast<int32_t>(bitmap.width);
        glyph.Rows = static_cast<int32_t>(bitmap.rows);
        glyph.Offset = font.Coverage.size();
        for (int32_t row = 0; row < glyph.Rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            font.Coverage.insert(font.Coverage.end(), line, line + glyph.Width);
        }
    }
    return font.Glyphs.emplace(character, glyph).first->second;
}

int64_t TextWidth(FontFace& font, std::string_view utf8) {
    int64_t width = 0;
    for (size_t at = 0; at < utf8.size();) {
        width += GlyphOf(font, NextCharacter(utf8, at)).Advance;
    }
    return width;
}

// dst + (colour - dst) * coverage / 255, per channel, rounded.
uint32_t Blend(uint32_t destination, uint32_t colour, uint32_t coverage) {
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t d = (destination >> shift) & 0xFFu, c = (colour >> shift) & 0xFFu;
        result |= ((c * coverage + d * (255 - coverage) + 127) / 255) << shift;
    }
    return result;
}

void DrawGlyph(Surface& surface, const FontFace& font, const Glyph& glyph, int64_t penX,
               int64_t baseline, Rect clip, uint32_t colour) {
    const int64_t x0 = penX + glyph.Left, y0 = baseline - glyph.Top;
    const int64_t left = std::max<int64_t>(x0, clip.Left);
    const int64_t right = std::min<int64_t>(x0 + glyph.Width, clip.Right);
    const int64_t top = std::max<int64_t>(y0, clip.Top);
    const int64_t bottom = std::min<int64_t>(y0 + glyph.Rows, clip.Bottom);
    for (int64_t y = top; y < bottom; ++y) {
        const uint8_t* coverage = font.Coverage.data() + glyph.Offset + (y - y0) * glyph.Width;
        uint32_t* pixel = surface.Pixels.data() + y * surface.Width;
        for (int64_t x = left; x < right; ++x) {
            const uint32_t amount = coverage[x - x0];
            if (amount == 255) {
                pixel[x] = colour;  // the glyph's solid inside: most of a bold glyph
            } else if (amount != 0) {
                pixel[x] = Blend(pixel[x], colour, amount);
            }
        }
    }
}

// The face name as kept: its first 31 characters, never a split UTF-8 sequence.
std::string KeptFaceName(std::string_view face) {
    if (face.size() <= MaxFaceName) {
        return std::string(face);
    }
    size_t end = MaxFaceName;
    while (end > 0 && (static_cast<unsigned char>(face[end]) & 0xC0u) == 0x80u) {
        --end;
    }
    return std::string(face.substr(0, end));
}

int32_t SaturatedAdd(int32_t a, int64_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Draws text at the surface's position and advances it; see DrawText.
void DrawTextLocked(Surface& surface, std::string_view utf8) {
    if (utf8.empty() || surface.Face == nullptr) {
        return;
    }
    FontFace& font = *surface.Face;
    const int64_t x = surface.X, y = surface.Y;
    const int64_t lineHeight =
        static_cast<int64_t>(surface.Metrics.Height) + surface.Metrics.ExternalLeading;
    const int64_t width = TextWidth(font, utf8);
    const Rect area = DrawableLocked(surface);
    const auto clamped = [](int64_t value, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
    };
    // The line's rows, from the pen to the surface's right edge.
    const Rect clip{clamped(x, area.Left, area.Right), clamped(y, area.Top, area.Bottom),
                    area.Right, clamped(y + lineHeight, area.Top, area.Bottom)};
    if (surface.BackColour != ColourNone) {
        const Rect cells{clip.Left, clip.Top, clamped(x + width, clip.Left, area.Right),
                         clip.Bottom};
        FillRectLocked(surface, PixelOf(surface.BackColour), cells);
    }
    const uint32_t colour = PixelOf(surface.ForeColour);
    const int64_t baseline = y + surface.Metrics.Ascent;
    int64_t pen = x;
    for (size_t at = 0; at < utf8.size();) {
        const Glyph& glyph = GlyphOf(font, NextCharacter(utf8, at));
        if (clip.Top < clip.Bottom) {
            DrawGlyph(surface, font, glyph, pen, baseline, clip, colour);
        }
        pen += glyph.Advance;
    }
    surface.X = static_cast<int32_t>(std::clamp<int64_t>(x + width, INT32_MIN, INT32_MAX));
    MarkDirtyLocked(surface, x, y, x + width, y + lineHeight);
}

}  // namespace

// ---- Shared inside the layer ----

void SelectFontLocked(Surface& surface, FontHandle font) {
    LineMetrics metrics;
    FontFace* face = FaceForFontLocked(font, metrics);
    if (face == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    surface.Font = font;
    surface.Face = face;
    surface.Metrics = metrics;
}

FontFace* FaceForFontLocked(FontHandle font, LineMetrics& metrics) {
    FontEntry* entry = nullptr;
    {
        std::lock_guard lock(Fonts().Lock);
        if (font >= 1 && static_cast<size_t>(font) <= Fonts().Fonts.size()) {
            entry = Fonts().Fonts[static_cast<size_t>(font) - 1].get();
        }
    }
    if (entry == nullptr) {
        return nullptr;
    }
    if (entry->Made == nullptr) {
        entry->Made = MakeFace(*entry);  // retried on a later selection when it fails
    }
    if (entry->Made == nullptr) {
        return nullptr;
    }
    metrics = entry->Made->Metrics;
    return entry->Made.get();
}

// ---- Public functions ----

FontHandle NewFont(std::string_view face, float points, int32_t style, int32_t charset,
                   int32_t pitchAndFamily, int32_t angle) {
    FontEntry wanted;
    wanted.Face = KeptFaceName(face);
    wanted.Points = points == 0.0f || !std::isfinite(points) ? DefaultPoints : points;
    wanted.Style = style;
    wanted.Charset = charset & 0xFF;
    wanted.PitchAndFamily = pitchAndFamily & 0xFF;
    wanted.Angle = angle;
    FontTable& table = Fonts();
    std::lock_guard lock(table.Lock);
    for (size_t i = 0; i < table.Fonts.size(); ++i) {
        const FontEntry& entry = *table.Fonts[i];
        if (entry.Points == wanted.Points && entry.Style == wanted.Style &&
            entry.Charset == wanted.Charset && entry.PitchAndFamily == wanted.PitchAndFamily &&
            entry.Angle == wanted.Angle && entry.Face == wanted.Face) {
            return static_cast<FontHandle>(i + 1);
        }
    }
    if (table.Fonts.size() >= static_cast<size_t>(std::numeric_limits<FontHandle>::max())) {
        return 0;
    }
    table.Fonts.push_back(std::make_unique<FontEntry>(std::move(wanted)));
    return static_cast<FontHandle>(table.Fonts.size());
}

bool MakeFontNow(FontHandle font, std::string_view utf8) {
    std::lock_guard lock(SurfaceLock());
    LineMetrics metrics;
    FontFace* face = FaceForFontLocked(font, metrics);
    if (face != nullptr) {
        TextWidth(*face, utf8);  // renders each glyph once
    }
    return face != nullptr;
}

int32_t FontPixelsPerEm(FontHandle font) {
    std::lock_guard lock(SurfaceLock());
    LineMetrics metrics;
    const FontFace* face = FaceForFontLocked(font, metrics);
    return face != nullptr ? face->PixelsPerEm : 0;
}

void SetTextFont(FontHandle font) {
    OnCurrentSurface([&](Surface& surface) { SelectFontLocked(surface, font == 0 ? 1 : font); });
}

void SetPosition(float x, float y) {
    OnCurrentSurface([&](Surface& surface) {
        surface.X = ToPixel(x);
        surface.Y = ToPixel(y);
    });
}

void DrawText(std::string_view utf8) {
    OnCurrentSurface([&](Surface& surface) { DrawTextLocked(surface, utf8); });
}

void EndTextLine() {
    OnCurrentSurface([](Surface& surface) {
        surface.X = 0;
        surface.Y = SaturatedAdd(surface.Y, static_cast<int64_t>(surface.Metrics.Height) +
                                                surface.Metrics.ExternalLeading);
    });
}

}  // namespace render

#if defined(__SANITIZE_ADDRESS__)
// fontconfig loses a block of its configuration parser when it first loads its
// configuration (inside libfontconfig, under expat); the leak checker is told so that
// every program drawing text can run under the address sanitizer.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
