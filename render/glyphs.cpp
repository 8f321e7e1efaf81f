// SPDX-License-Identifier: MIT
// Glyphs: each font's glyphs rendered by FreeType once and kept, the text position, and
// text drawn in anti-aliased glyphs. Under SurfaceLock only.
//
// Each glyph advances the pen by its unhinted advance, scaled and rounded on its own,
// as the desktop's TrueType rules measure text.
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
    if (FT_Load_Glyph(font.Face, index, flags) == 0 &&
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
    const int64_t width = TextWidthLocked(font, utf8);
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

int64_t TextWidthLocked(FontFace& font, std::string_view utf8) {
    int64_t width = 0;
    for (size_t at = 0; at < utf8.size();) {
        width += GlyphOf(font, NextCharacter(utf8, at)).Advance;
    }
    return width;
}

// ---- Public functions ----

bool MakeFontNow(FontHandle font, std::string_view utf8) {
    std::lock_guard lock(SurfaceLock());
    FontFace* face = FaceForFontLocked(font);
    if (face != nullptr) {
        TextWidthLocked(*face, utf8);  // renders each glyph once
    }
    return face != nullptr;
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
