// SPDX-License-Identifier: MIT
// Fonts: the font table, faces resolved by fontconfig and opened by FreeType, their
// line metrics, and a surface's font.
//
// The font table has a lock of its own (FontLock), held only while the table is
// searched or extended. A font's drawing face is made and used under SurfaceLock only.
// The FreeType library and every face live until the process ends.
//
// A font drawn on a scaled surface is the same face at the scaled em: a FreeType size
// of its own, so the face is hinted at that em and the 1x size is left as it is.
//
// Line metrics follow the desktop's TrueType rules: ascent and descent from the OS/2
// table's usWinAscent and usWinDescent, scaled by MulDiv/MulFix rounding halves away
// from zero.
#include "render/fonts.h"

#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <string>

#include "render/control.h"

namespace render {

namespace {

// ---- Constants ----

constexpr size_t MaxFaceName = 31;     // characters of a face name kept
constexpr float DefaultPoints = 8.0f;  // a size of 0 means this
constexpr double DotsPerInch = 96.0;

// ---- Types ----

// A font as asked for; everything but Made is fixed once the entry is in the table.
struct FontEntry {
    std::string Face;
    float Points = DefaultPoints;
    int32_t Style = 0;
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

// Sets the face's active size to ppem and reads the font's scale and line metrics at it.
bool SizeFaceAt(FontFace& made, int32_t ppem) {
    FT_Face face = made.Face;
    const DesignMetrics design = DesignMetricsOf(face);
    const int64_t unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        return false;
    }
    made.Size = face->size;
    made.Scale = static_cast<int32_t>(MulDiv(ppem, 65536, unitsPerEm));
    made.PixelsPerEm = ppem;
    LineMetrics& metrics = made.Metrics;
    metrics.Ascent = MulFix(design.Ascent, made.Scale);
    metrics.Descent = MulFix(design.Descent, made.Scale);
    metrics.Height = metrics.Ascent + metrics.Descent;
    metrics.ExternalLeading = std::max(0, MulFix(design.Leading, made.Scale));
    metrics.AverageWidth = std::max(1, MulFix(design.AverageWidth, made.Scale));
    return true;
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
    const int64_t unitsPerEm = made->Face->units_per_EM > 0 ? made->Face->units_per_EM : 2048;
    if (!SizeFaceAt(*made, PixelsPerEm(entry, DesignMetricsOf(made->Face), unitsPerEm))) {
        FT_Done_Face(made->Face);
        return nullptr;
    }
    return made;
}

// The face at another em: a new size of the same FreeType face, with glyphs of its own.
std::unique_ptr<FontFace> MakeFaceAt(const FontFace& font, int32_t ppem) {
    auto made = std::make_unique<FontFace>();
    made->Face = font.Face;
    FT_Size size = nullptr;
    if (FT_New_Size(font.Face, &size) != 0) {
        return nullptr;
    }
    if (FT_Activate_Size(size) != 0 || !SizeFaceAt(*made, ppem)) {
        FT_Done_Size(size);
        return nullptr;
    }
    CacheGlyphsLocked(*made, font);
    return made;
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

}  // namespace

// ---- Shared inside the layer ----

int32_t ScaledUnits(const FontFace& font, int64_t units) {
    return MulFix(units, font.Scale);
}

void SelectFontLocked(Surface& surface, FontHandle font) {
    FontFace* face = FaceForFontLocked(font);
    if (face == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    surface.Font = font;
    surface.Face = face;
    surface.Metrics = face->Metrics;
}

FontFace* FaceForFontLocked(FontHandle font) {
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
    return entry->Made.get();
}

int32_t PixelsPerEmAt(int32_t pixelsPerEm, Scale scale) {
    if (!IsValid(scale)) {
        return pixelsPerEm;
    }
    const int64_t scaled = (2 * int64_t{pixelsPerEm} * scale.Num + scale.Den) / (2 * scale.Den);
    return static_cast<int32_t>(std::clamp<int64_t>(scaled, 1, MaxPixelsPerEm));
}

FontFace* FaceAtScaleLocked(FontFace& font, Scale scale) {
    const int32_t ppem = PixelsPerEmAt(font.PixelsPerEm, scale);
    if (ppem == font.PixelsPerEm) {
        return &font;
    }
    for (const std::unique_ptr<FontFace>& other : font.OtherEms) {
        if (other->PixelsPerEm == ppem) {
            return other.get();
        }
    }
    std::unique_ptr<FontFace> made = MakeFaceAt(font, ppem);
    if (made == nullptr) {
        return nullptr;  // tried again at the next text
    }
    return font.OtherEms.emplace_back(std::move(made)).get();
}

// ---- Public functions ----

FontHandle NewFont(std::string_view face, float points, int32_t style) {
    FontEntry wanted;
    wanted.Face = KeptFaceName(face);
    wanted.Points = points == 0.0f || !std::isfinite(points) ? DefaultPoints : points;
    wanted.Style = style;
    FontTable& table = Fonts();
    std::lock_guard lock(table.Lock);
    for (size_t i = 0; i < table.Fonts.size(); ++i) {
        const FontEntry& entry = *table.Fonts[i];
        if (entry.Points == wanted.Points && entry.Style == wanted.Style &&
            entry.Face == wanted.Face) {
            return static_cast<FontHandle>(i + 1);
        }
    }
    if (table.Fonts.size() >= static_cast<size_t>(std::numeric_limits<FontHandle>::max())) {
        return 0;
    }
    table.Fonts.push_back(std::make_unique<FontEntry>(std::move(wanted)));
    return static_cast<FontHandle>(table.Fonts.size());
}

int32_t FontPixelsPerEm(FontHandle font) {
    std::lock_guard lock(SurfaceLock());
    const FontFace* face = FaceForFontLocked(font);
    return face != nullptr ? face->PixelsPerEm : 0;
}

int32_t FontLineHeight(FontHandle font) {
    std::lock_guard lock(SurfaceLock());
    const FontFace* face = FaceForFontLocked(font);
    return face != nullptr ? face->Metrics.Height + face->Metrics.ExternalLeading : 0;
}

void SetTextFont(FontHandle font) {
    OnCurrentSurface([&](Surface& surface) { SelectFontLocked(surface, font == 0 ? 1 : font); });
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
