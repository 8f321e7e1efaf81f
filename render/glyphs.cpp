// SPDX-License-Identifier: MIT
// Glyphs: each font's glyphs rendered by FreeType once and kept, the text position, and
// text drawn in anti-aliased glyphs. Under SurfaceLock only.
//
// Each glyph advances the pen by its unhinted advance, scaled and rounded on its own,
// as the desktop's TrueType rules measure text.
//
// On a scaled surface a text keeps its logical place, band and advance, and the surface's
// line metrics stay logical: what callers lay out with does not change with the scale.
// Only its pixels are the device's: the pen starts at the device pixel of its position
// (ToDevice) and moves by the advances of the same face at the scaled em, so the text is
// drawn at its size, not as a copy of its 1x pixels.
#include "render/glyphs.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "render/control.h"
#include "render/fill_copy.h"
#include "render/fonts.h"
#include "render/utf8.h"
#include FT_ADVANCES_H

namespace render {

namespace {

// ---- Internal helpers ----

// The glyph of one character, rendered on first use. The advance is the design
// advance scaled and rounded; the coverage comes from lightly hinted outlines.
const Glyph& GlyphOf(FontFace& font, char32_t character) {
    auto found = font.Glyphs.ByCharacter.find(character);
    if (found != font.Glyphs.ByCharacter.end()) {
        return found->second;
    }
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(font.Face, character);
    FT_Fixed units = 0;
    if (FT_Get_Advance(font.Face, index, FT_LOAD_NO_SCALE, &units) == 0) {
        glyph.Advance = ScaledUnits(font, units);
    }
    const FT_Int32 flags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;
    if (FT_Activate_Size(font.Size) == 0 && FT_Load_Glyph(font.Face, index, flags) == 0 &&
        FT_Render_Glyph(font.Face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_GlyphSlot slot = font.Face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.Left = slot->bitmap_left;
        glyph.Top = slot->bitmap_top;
        glyph.Width = static_cast<int32_t>(bitmap.width);
        glyph.Rows = static_cast<int32_t>(bitmap.rows);
        glyph.Offset = font.Glyphs.Coverage.size();
        for (int32_t row = 0; row < glyph.Rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            font.Glyphs.Coverage.insert(font.Glyphs.Coverage.end(), line, line + glyph.Width);
        }
    }
    return font.Glyphs.ByCharacter.emplace(character, glyph).first->second;
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
        const uint8_t* coverage =
            font.Glyphs.Coverage.data() + glyph.Offset + (y - y0) * glyph.Width;
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

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), INT32_MAX));
}

// Draws a pass of text around the anchor (x, y) (see DrawTextShifted; DrawText is the
// pass at the anchor) and leaves the position after it. Its place, band and advance are
// logical; on a scaled surface the pen starts at the anchor's device pixel, moved by
// whole lines, and goes on in the advances of the font at the device's em.
void DrawTextLocked(Surface& surface, int64_t x, int64_t y, int32_t linesRight, int32_t linesDown,
                    std::string_view utf8) {
    if (utf8.empty() || surface.Face == nullptr) {
        return;
    }
    const Scale scale = surface.DeviceScale;
    const int64_t line = LineWidth(scale);
    const int64_t passX = x + linesRight, passY = y + linesDown;
    const int64_t lineHeight =
        static_cast<int64_t>(surface.Metrics.Height) + surface.Metrics.ExternalLeading;
    const int64_t width = TextWidthLocked(*surface.Face, utf8);
    const Rect area = LogicalDrawableLocked(surface);
    const auto clamped = [](int64_t value, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
    };
    // The line's rows, from the pen to the surface's right edge, mapped once.
    const Rect clip =
        ToDevice(Rect{clamped(passX, area.Left, area.Right), clamped(passY, area.Top, area.Bottom),
                      area.Right, clamped(passY + lineHeight, area.Top, area.Bottom)},
                 scale);
    FontFace* font = FaceAtScaleLocked(*surface.Face, scale);
    if (font != nullptr) {
        const int64_t penX = ToDevice(x, scale) + linesRight * line;
        const int64_t penY = ToDevice(y, scale) + linesDown * line;
        const int64_t penEnd = penX + (font == surface.Face ? width : TextWidthLocked(*font, utf8));
        if (surface.BackColour != ColourNone) {
            const Rect cells{clip.Left, clip.Top, clamped(penEnd, clip.Left, clip.Right),
                             clip.Bottom};
            FillRectLocked(surface, PixelOf(surface.BackColour), cells);
        }
        const uint32_t colour = PixelOf(surface.ForeColour);
        const int64_t baseline = penY + font->Metrics.Ascent;
        int64_t pen = penX;
        for (size_t at = 0; at < utf8.size();) {
            const Glyph& glyph = GlyphOf(*font, NextCharacter(utf8, at));
            if (clip.Top < clip.Bottom) {
                DrawGlyph(surface, *font, glyph, pen, baseline, clip, colour);
            }
            pen += glyph.Advance;
        }
        if (scale != Scale{}) {  // the device's advances may end past the logical width's
            MarkDeviceDirtyLocked(
                surface,
                IntersectionOf({Saturated(penX), clip.Top, Saturated(penEnd), clip.Bottom}, clip));
        }
    } else {
        RecordError(ErrorInvalidHandle);
    }
    surface.X = Saturated(passX + width);
    surface.Y = Saturated(passY);
    MarkDirtyLocked(surface, passX, passY, passX + width, passY + lineHeight);
}

}  // namespace

// ---- Shared inside the layer ----

void CacheGlyphsLocked(FontFace& font, const FontFace& from) {
    for (const auto& [character, glyph] : from.Glyphs.ByCharacter) {
        GlyphOf(font, character);
    }
}

int64_t TextWidthLocked(FontFace& font, std::string_view utf8) {
    int64_t width = 0;
    for (size_t at = 0; at < utf8.size();) {
        width += GlyphOf(font, NextCharacter(utf8, at)).Advance;
    }
    return width;
}

// ---- Public functions ----

bool MakeFontNow(FontHandle font, std::string_view utf8, Scale scale) {
    std::lock_guard lock(SurfaceLock());
    FontFace* face = FaceForFontLocked(font);
    if (face == nullptr) {
        return false;
    }
    TextWidthLocked(*face, utf8);  // renders each glyph once
    FontFace* scaled = FaceAtScaleLocked(*face, scale);
    if (scaled != nullptr) {
        TextWidthLocked(*scaled, utf8);
    }
    return scaled != nullptr;
}

void SetPosition(float x, float y) {
    OnCurrentSurface([&](Surface& surface) {
        surface.X = ToPixel(x);
        surface.Y = ToPixel(y);
    });
}

void DrawText(std::string_view utf8) {
    OnCurrentSurface(
        [&](Surface& surface) { DrawTextLocked(surface, surface.X, surface.Y, 0, 0, utf8); });
}

void DrawTextShifted(int32_t x, int32_t y, int32_t linesRight, int32_t linesDown,
                     std::string_view utf8) {
    OnCurrentSurface([&](Surface& surface) {
        surface.X = Saturated(int64_t{x} + linesRight);  // where the pass is, drawn or not
        surface.Y = Saturated(int64_t{y} + linesDown);
        DrawTextLocked(surface, x, y, linesRight, linesDown, utf8);
    });
}

void EndTextLine() {
    OnCurrentSurface([](Surface& surface) {
        surface.X = 0;
        surface.Y = Saturated(int64_t{surface.Y} + surface.Metrics.Height +
                              surface.Metrics.ExternalLeading);
    });
}

}  // namespace render
