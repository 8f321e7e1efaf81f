// SPDX-License-Identifier: MIT
// The drawing surface: off-screen bitmaps and the window's graphic control, drawn
// on through each thread's current surface. Its units: the handle table
// (surface_table.cpp), colours (colour.cpp), fills and copies (fill_copy.cpp), boxes
// (box.cpp), fonts (fonts.cpp), glyphs and text (glyphs.cpp), the control and its sink
// (control.cpp).
//
// Owns: every surface and its pixels, the font table, SurfaceLock, the error number.
// Threads: every operation may be called from any thread. Each operation holds
// SurfaceLock from the moment it looks up the calling thread's current surface until
// it is done, so one operation never sees another half done; sequences of operations
// are not atomic. The graphic control's sink is told of changes after the lock has
// been released, so a sink may wait for the user-interface thread.
//
// Colours are 0x00BBGGRR (the low byte is red). Pixels are stored 32 bits each as
// 0xFFRRGGBB words, the layout of a 32-bit RGB image on the desktop, row after row.
//
// A bitmap may be made at a device scale (scale.h): its pixels are then the device's,
// and every operation still takes logical coordinates. Clips are logical; each edge is
// mapped to the device from its own coordinate, and every line is LineWidth pixels
// wide. Fills, copies between surfaces of one scale, boxes, text and the painters draw
// at any scale; text in its font at the scaled em, from the device pixel of its logical
// position. A copy between two scales is refused (ErrorNotAtScale).
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "render/rect.h"
#include "render/scale.h"

namespace render {

// Names a bitmap, or a window whose controls it names with their ids; 0 = none. Bitmaps
// and windows take their handles from one counter, so no handle names both.
using SurfaceHandle = int32_t;
using FontHandle = int32_t;  // 1-based number in the font table

constexpr int32_t ColourDefault = -1;    // the surface's current colour of that role
constexpr int32_t ColourNone = -2;       // paint nothing (no fill, transparent text back)
constexpr int32_t ColourUnchanged = -3;  // keep the colour as it is

constexpr int32_t ColourSilver = 0xC0C0C0;
constexpr int32_t DefaultForeColour = 0x000000;  // window text
constexpr int32_t DefaultBackColour = 0xF0F0F0;  // dialog face

constexpr int32_t ErrorInvalidHandle = 5;
// An operation that cannot draw at the surface's scale drew nothing: a copy between
// surfaces of two scales.
constexpr int32_t ErrorNotAtScale = 50;

// Style bits of NewFont.
constexpr int32_t FontBold = 1;
constexpr int32_t FontItalic = 2;
constexpr int32_t FontUnderline = 4;
constexpr int32_t FontStrikeOut = 8;
constexpr int32_t FontCellHeight = 16;    // the size gives the whole cell's height
constexpr int32_t MaxPixelsPerEm = 1024;  // larger fonts are drawn this large

// ---- Colours -----------------------------------------------------------------
int32_t MakeRgb(int32_t red, int32_t green, int32_t blue);
// A colour argument (not one of the negative meanings) as the pixel word it paints.
constexpr uint32_t PixelOf(int32_t colour) {
    const uint32_t bgr = static_cast<uint32_t>(colour) & 0xFFFFFFu;
    const uint32_t red = bgr & 0xFFu, green = (bgr >> 8) & 0xFFu, blue = (bgr >> 16) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// ---- Surfaces ---------------------------------------------------------------
// A bitmap of width x height logical pixels, stored as ToDevice(width) x
// ToDevice(height) device pixels; 0 when the scale is not one MakeScale gives or the
// pixels cannot be had.
SurfaceHandle NewBitmap(int32_t width, int32_t height, Scale scale = {});
// Releases a bitmap's pixels. Its handle then names nothing; threads that still have
// it as their current surface draw nothing. Handles are never reused.
void FreeBitmap(SurfaceHandle bitmap);
// Owns one bitmap and frees it when it goes; it stands for its handle wherever a
// handle is asked for. Moved, never copied.
class OwnedBitmap {
  public:
    OwnedBitmap() = default;
    explicit OwnedBitmap(SurfaceHandle bitmap) : Handle(bitmap) {}
    OwnedBitmap(OwnedBitmap&& other) noexcept : Handle(other.Handle) { other.Handle = 0; }
    OwnedBitmap& operator=(OwnedBitmap&& other) noexcept {
        std::swap(Handle, other.Handle);
        return *this;
    }
    ~OwnedBitmap() { FreeBitmap(Handle); }
    operator SurfaceHandle() const { return Handle; }  // NOLINT: stands for its handle

  private:
    SurfaceHandle Handle = 0;
};
// A new window's handle, for its graphic controls: a window is never drawn on itself.
SurfaceHandle NewWindowHandle();
void AttachSurface(SurfaceHandle handle, int32_t controlId);

// Fills the current surface with colour (ColourDefault: its back colour) and moves the
// text position home. The pixels of keep are left as they are: a caller about to cover
// that rectangle whole passes it, so that those pixels are written once.
void ClearSurface(int32_t colour, Rect keep = {});
void SetForeColour(int32_t colour);
void SetBackColour(int32_t colour);

// Confines the calling thread's drawing to area, on whatever surface it draws, until
// UnclipDrawing: how a frame is composed again only where it changed.
void ClipDrawing(Rect area);
void UnclipDrawing();
// A box with a 1-line outline, its corners rounded by cornerPercent of its shorter
// side, filled solid (box.cpp sketches the figure).
void DrawBox(float x1, float y1, float x2, float y2, int32_t cornerPercent, int32_t outline,
             int32_t fill);
// How far each edge of a box is moved, in lines (positive: right or down). At a scale
// the edge lands on its own coordinate's device edge moved by whole line widths, so a
// box one line beside another leaves a line as wide as every other; at 1x a line is
// one pixel, and DrawBoxShifted draws what DrawBox draws for the moved edges.
struct LineShift {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
void DrawBoxShifted(Rect box, LineShift shift, int32_t cornerPercent, int32_t outline,
                    int32_t fill);
// Copies are opaque: the source pixel replaces the destination's. Both surfaces have
// one scale; the position is logical.
void CopyBitmap(SurfaceHandle source, int32_t sourceId);
void CopyBitmapAt(SurfaceHandle source, int32_t sourceId, float x, float y);

// ---- Text -------------------------------------------------------------------
void SetPosition(float x, float y);
void DrawText(std::string_view utf8);  // UTF-8 text, widened before it is drawn
void EndTextLine();
// The same face, size and style give the same handle, so a painter may ask every frame.
FontHandle NewFont(std::string_view face, float points, int32_t style);
void SetTextFont(FontHandle font);
// Matches and loads the font and renders the glyphs of the text now, rather than at
// their first use, at 1x and at the scale's em; false when the font has no face (no
// matching font file) or no size at that em.
bool MakeFontNow(FontHandle font, std::string_view utf8, Scale scale = {});
// The em the font's glyphs are drawn at on a 1x surface, in pixels (1 to
// MaxPixelsPerEm), making its face first; 0 when it has none. A scaled surface draws
// them at this em times the scale, rounded to the nearest pixel, halves up.
int32_t FontPixelsPerEm(FontHandle font);
// A line of the font, text height and external leading, in logical pixels (what a
// caller lays out with, at any scale); 0 when it has no face.
int32_t FontLineHeight(FontHandle font);

// ---- The graphic control ------------------------------------------------------
// The control is the window's image. Drawing on it changes its pixels at once;
// presenting a bitmap on it (PresentBitmap) only records which areas of the bitmap it
// now shows, and the window's next take copies them in: each presented pixel is copied
// once, by the thread that shows it. Either way the parts join the control's one
// record of changes. The sink is told, after SurfaceLock is released, when that record
// goes from empty to holding parts; the window then takes them with TakeControlChanges.
struct ControlSink {
    virtual ~ControlSink() = default;
    virtual void Changed() = 0;
};

// Makes the control (window, controlId), window a handle from NewWindowHandle: an
// image of width x height pixels filled with the background colour, all of it a
// change not yet taken. The sink must outlive every drawing on the control.
void NewGraphicControl(SurfaceHandle window, int32_t controlId, int32_t width, int32_t height,
                       ControlSink* sink);

// The control shows the bitmap's areas (logical pixels) from now on, the bitmap's
// top-left at its own; its parts not yet taken show the bitmap presented last, and a
// bitmap of another scale is refused. Drawing on the control later brings what it
// shows in first, so the order holds. Returns the control's sink when its record went
// from empty to holding parts: the caller tells it (Changed) once it holds no lock that
// the taker takes, so the window's thread wakes to take at once, not to wait.
[[nodiscard]] ControlSink* PresentBitmap(SurfaceHandle window, int32_t controlId,
                                         SurfaceHandle bitmap, const DamageList& areas);

// Under SurfaceLock: moves the control's changed parts into parts and copies what was
// presented of them into its image. The caller keeps the presented bitmap from being
// half drawn meanwhile (the game takes under its frame lock).
void TakeControlChanges(SurfaceHandle window, int32_t controlId, DamageList& parts);

// The control's image from now on at a device scale: its logical size in device pixels,
// filled with its back colour, all of it a change not yet taken; what was presented on
// it before is forgotten, and only bitmaps of that scale are presented on it. The old
// pixels are released: call it on the thread that paints from ControlImage. False, and
// the image kept, when the scale is not valid or the pixels cannot be had. As with
// PresentBitmap, sinkToTell is left the sink to tell (or null), for the caller to tell
// once it holds no lock the taker takes.
bool ScaleGraphicControl(SurfaceHandle window, int32_t controlId, Scale scale,
                         ControlSink*& sinkToTell);

// The control's image, Width x Height device pixels, words 0xFFRRGGBB row after row;
// null Words for none. Only drawing on the control, TakeControlChanges and
// ScaleGraphicControl write it, so a window that does them on one thread paints from it
// there with the lock released.
struct ControlPixels {
    const uint32_t* Words = nullptr;
    int32_t Width = 0, Height = 0;
};
ControlPixels ControlImage(SurfaceHandle window, int32_t controlId);

// ---- Inspection (tools and tests) ---------------------------------------------
struct SurfaceMetrics {
    int32_t X = 0, Y = 0;  // current position
    int32_t Ascent = 0, Descent = 0, Height = 0, ExternalLeading = 0, AverageWidth = 0;
};
// The calling thread's current surface's position and font metrics, logical pixels at
// any scale; false with none.
bool CurrentMetrics(SurfaceMetrics& metrics);
// A copy of a surface's pixels (0xFFRRGGBB words), device pixels at a scale; false
// when the handle names none.
bool ReadPixels(SurfaceHandle handle, int32_t controlId, std::vector<uint32_t>& pixels,
                int32_t& width, int32_t& height);

// The last error an operation recorded on the calling thread (0 for none). Nothing in
// the game reads it.
int32_t LastError();

}  // namespace render
