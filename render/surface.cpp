// SPDX-License-Identifier: MIT
// Surfaces on plain pixel buffers: the table of bitmaps and graphic controls, each
// thread's current surface, clearing, colours, positions and copies.
//
// Every surface gets an internal id from one counter and keeps it for life; a bitmap's
// handle is its internal id, a control is found by (window, control id). A thread's
// current surface is an internal id in a thread-local of its own.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "render/surface_internal.h"

namespace render {

namespace {

// ---- Constants ----

// Largest side of a surface, pixels; larger requests fail like an allocation would.
constexpr int32_t MaxSurfaceSide = 1 << 15;

// ---- Types ----

struct ControlName {
    SurfaceHandle Window = 0;
    int32_t ControlId = 0;
    int32_t Id = 0;  // internal id of the control's surface
};

// ---- Module state (under SurfaceLock) ----

struct SurfaceTable {
    // Indexed by internal id; a freed surface leaves null. Slot 0 is never used.
    std::vector<std::unique_ptr<Surface>> Surfaces = std::vector<std::unique_ptr<Surface>>(1);
    std::vector<ControlName> Controls;
};

// Never destroyed: workers may still draw while the process exits.
SurfaceTable& Table() {
    static SurfaceTable* table = new SurfaceTable;
    return *table;
}

thread_local int32_t LastErrorNumber = 0;

// ---- Internal helpers ----

Surface* SurfaceByIdLocked(int32_t id) {
    auto& surfaces = Table().Surfaces;
    if (id <= 0 || static_cast<size_t>(id) >= surfaces.size()) {
        return nullptr;
    }
    return surfaces[static_cast<size_t>(id)].get();
}

// Makes a surface of width x height and gives it the next internal id; null when the
// pixels cannot be had or the ids ran out.
Surface* AddSurfaceLocked(SurfaceKind kind, int32_t width, int32_t height) {
    auto& surfaces = Table().Surfaces;
    if (width <= 0 || height <= 0 || width > MaxSurfaceSide || height > MaxSurfaceSide ||
        surfaces.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return nullptr;
    }
    try {
        auto surface = std::make_unique<Surface>();
        surface->Kind = kind;
        surface->Id = static_cast<int32_t>(surfaces.size());
        surface->Width = width;
        surface->Height = height;
        surface->Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        surfaces.push_back(std::move(surface));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return surfaces.back().get();
}

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

// Stores count copies of word. The processor's string store writes whole cache lines
// as memset does, where a loop of word stores runs about half as fast; the sanitizer
// builds take the plain loop, whose stores they can see.
void StoreWords(uint32_t* pixels, size_t count, uint32_t word) {
#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    asm volatile("rep stosl" : "+D"(pixels), "+c"(count) : "a"(word) : "memory");
#else
    std::fill(pixels, pixels + count, word);
#endif
}

// Fills the rows of area with word, but for the pixels of kept.
void FillAreaLocked(Surface& surface, uint32_t word, Rect area, Rect kept) {
    kept = IntersectionOf(kept, area);
    for (int64_t row = area.Top; row < area.Bottom; ++row) {
        uint32_t* line = surface.Pixels.data() + row * surface.Width;
        if (row >= kept.Top && row < kept.Bottom) {
            std::fill(line + area.Left, line + kept.Left, word);
            std::fill(line + kept.Right, line + area.Right, word);
        } else {
            std::fill(line + area.Left, line + area.Right, word);
        }
    }
}

bool IsWhole(const Surface& surface, Rect area) {
    return area.Left == 0 && area.Top == 0 && area.Right == surface.Width &&
           area.Bottom == surface.Height;
}

// Fills what the thread may draw of the surface with word, all but the pixels of kept.
void FillLocked(Surface& surface, uint32_t word, Rect kept = {}) {
    const Rect area = DrawableLocked(surface);
    if (!IsWhole(surface, area)) {
        FillAreaLocked(surface, word, area, kept);
        return;
    }
    const int64_t width = surface.Width;
    const int64_t keptTop = std::clamp<int64_t>(kept.Top, 0, surface.Height);
    const int64_t keptBottom = std::clamp<int64_t>(kept.Bottom, keptTop, surface.Height);
    const int64_t keptLeft = std::clamp<int64_t>(kept.Left, 0, width);
    const int64_t keptRight = std::clamp<int64_t>(kept.Right, keptLeft, width);
    uint32_t* pixels = surface.Pixels.data();
    if (keptLeft == keptRight || keptTop == keptBottom) {
        StoreWords(pixels, surface.Pixels.size(), word);
        return;
    }
    StoreWords(pixels, static_cast<size_t>(keptTop * width + keptLeft), word);
    for (int64_t row = keptTop; row < keptBottom; ++row) {
        // From the right of kept on this row to its left on the next: one run.
        const int64_t runStart = row * width + keptRight;
        const int64_t runEnd = row + 1 < keptBottom ? (row + 1) * width + keptLeft
                                                    : static_cast<int64_t>(surface.Pixels.size());
        StoreWords(pixels + runStart, static_cast<size_t>(runEnd - runStart), word);
    }
}

// The part of the destination that a source of width x height placed at (x, y)
// covers, clipped to what the thread may draw; empty when nothing of it lies there.
Rect ClipCopy(const Surface& surface, int64_t x, int64_t y, int64_t width, int64_t height) {
    const Rect area = DrawableLocked(surface);
    const auto within = [](int64_t value, int32_t low, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
    };
    const Rect placed{within(x, area.Left, area.Right), within(y, area.Top, area.Bottom),
                      within(x + width, area.Left, area.Right),
                      within(y + height, area.Top, area.Bottom)};
    return placed.IsEmpty() ? Rect{} : placed;
}

// Copies source onto surface with the source's top-left at (x, y), clipped on every
// side. A surface copied onto itself moves its rows in a safe order.
void CopyLocked(Surface& surface, const Surface& source, int64_t x, int64_t y, int64_t width,
                int64_t height) {
    const Rect area = ClipCopy(surface, x, y, width, height);
    if (area.IsEmpty()) {
        return;
    }
    const size_t bytes = static_cast<size_t>(area.Right - area.Left) * sizeof(uint32_t);
    const bool same = &surface == &source;
    const bool upwards = same && y > 0;  // rows move down: copy the bottom one first
    for (int64_t step = 0; step < area.Bottom - area.Top; ++step) {
        const int64_t row = upwards ? area.Bottom - 1 - step : area.Top + step;
        uint32_t* to = surface.Pixels.data() + row * surface.Width + area.Left;
        const uint32_t* from = source.Pixels.data() + (row - y) * source.Width + (area.Left - x);
        if (same) {
            std::memmove(to, from, bytes);
        } else {
            std::memcpy(to, from, bytes);
        }
    }
}

// Copies, and marks what the copy covered.
void CopyAndMarkLocked(Surface& surface, const Surface& source, int64_t x, int64_t y, int64_t width,
                       int64_t height) {
    CopyLocked(surface, source, x, y, width, height);
    MarkDirtyLocked(surface, x, y, x + width, y + height);
}

int32_t SaturatedAdd(int32_t a, int64_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ---- Internal interface ----

// Each thread's drawing target (an internal id): none when a thread starts, gone when
// it ends; and its clip, set by ClipDrawing.
thread_local int32_t CurrentSurfaceId = 0;
thread_local bool Clipped = false;
thread_local Rect ClipArea;

Rect DrawableLocked(const Surface& surface) {
    const Rect whole{0, 0, surface.Width, surface.Height};
    if (!Clipped) {
        return whole;
    }
    const Rect area = IntersectionOf(whole, ClipArea);
    return area.IsEmpty() ? Rect{} : area;
}

std::mutex& SurfaceLock() {
    static std::mutex* lock = new std::mutex;  // never destroyed, like the surfaces
    return *lock;
}

Surface* CurrentSurfaceLocked() {
    return SurfaceByIdLocked(CurrentSurfaceId);
}

Surface* ResolveSurfaceLocked(SurfaceHandle handle, int32_t controlId) {
    if (handle == 0) {
        return nullptr;
    }
    for (const ControlName& control : Table().Controls) {
        if (control.Window == handle && control.ControlId == controlId) {
            return SurfaceByIdLocked(control.Id);
        }
    }
    Surface* surface = SurfaceByIdLocked(handle);
    return surface != nullptr && surface->Kind == SurfaceKind::Bitmap ? surface : nullptr;
}

void RecordError(int32_t error) {
    LastErrorNumber = error;
}

void MarkDirtyLocked(Surface& surface, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    if (surface.Kind != SurfaceKind::GraphicControl) {
        return;
    }
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    const auto within = [](int64_t value, int32_t high) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, 0, high));
    };
    const Rect touched{within(left, surface.Width), within(top, surface.Height),
                       within(right, surface.Width), within(bottom, surface.Height)};
    AddDamage(surface.Dirty, IntersectionOf(touched, DrawableLocked(surface)));
}

ControlSink* SinkToTellLocked(Surface& surface) {
    if (surface.DeferredRedraw || surface.SinkTold || surface.Dirty.Count == 0) {
        return nullptr;
    }
    surface.SinkTold = true;
    return surface.Sink;
}

// ---- Colours and coordinates ----

Rect UnionOf(Rect a, Rect b) {
    if (a.IsEmpty()) {
        return b;
    }
    if (b.IsEmpty()) {
        return a;
    }
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

Rect IntersectionOf(Rect a, Rect b) {
    const Rect both{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                    std::min(a.Bottom, b.Bottom)};
    return both.IsEmpty() ? Rect{} : both;
}

namespace {

int64_t AreaOf(Rect rect) {
    return rect.IsEmpty() ? 0
                          : static_cast<int64_t>(rect.Right - rect.Left) * (rect.Bottom - rect.Top);
}

}  // namespace

void AddDamage(DamageList& damage, Rect rect) {
    if (rect.IsEmpty()) {
        return;
    }
    // The entries the new rectangle covers go; it may cover the list whole.
    const auto held = damage.Rects.begin();
    const auto kept = std::remove_if(held, held + damage.Count,
                                     [&](Rect entry) { return UnionOf(entry, rect) == rect; });
    damage.Count = static_cast<int32_t>(kept - held);
    int64_t leastGrowth = INT64_MAX;
    Rect* nearest = nullptr;
    for (Rect* entry = held; entry != kept; ++entry) {
        const int64_t growth = AreaOf(UnionOf(*entry, rect)) - AreaOf(*entry);
        if (growth < leastGrowth) {
            leastGrowth = growth;
            nearest = entry;
        }
    }
    if (leastGrowth == 0) {
        return;  // already covered
    }
    if (damage.Count < DamageList::Capacity) {
        damage.Rects[static_cast<size_t>(damage.Count++)] = rect;
        return;
    }
    *nearest = UnionOf(*nearest, rect);
}

int32_t MakeRgb(int32_t red, int32_t green, int32_t blue) {
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    return blue * 65536 + green * 256 + red;
}

int32_t ToPixel(float coordinate) {
    if (std::isnan(coordinate)) {
        return 0;
    }
    const double rounded = RoundHalfEven(static_cast<double>(coordinate));
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(rounded);
}

// ---- Surfaces ----

SurfaceHandle NewBitmap(int32_t width, int32_t height) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = AddSurfaceLocked(SurfaceKind::Bitmap, width, height);
    if (surface == nullptr) {
        return 0;
    }
    SelectFontLocked(*surface, 1);
    return surface->Id;
}

void FreeBitmap(SurfaceHandle bitmap) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = ResolveSurfaceLocked(bitmap, 0);
    if (surface != nullptr && surface->Kind == SurfaceKind::Bitmap) {
        Table().Surfaces[static_cast<size_t>(surface->Id)].reset();
    }
}

void AttachSurface(SurfaceHandle handle, int32_t controlId, int32_t deferredRedraw) {
    std::lock_guard lock(SurfaceLock());
    int32_t& current = CurrentSurfaceId;
    current = 0;
    Surface* surface = ResolveSurfaceLocked(handle, controlId);
    if (surface == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    surface->DeferredRedraw = surface->Kind == SurfaceKind::Bitmap || deferredRedraw != 0;
    current = surface->Id;
}

void ClearSurface(int32_t colour, int32_t /*fillStyle: solid only*/, Rect keep) {
    OnCurrentSurface([&](Surface& surface) {
        const int32_t fill = colour == ColourDefault ? surface.BackColour : colour;
        if (fill != ColourNone) {
            FillLocked(surface, PixelOf(fill), keep);
        }
        MarkDirtyLocked(surface, 0, 0, surface.Width, surface.Height);
        surface.X = 0;
        surface.Y = 0;
    });
}

void ClipDrawing(Rect area) {
    Clipped = true;
    ClipArea = area;
}

void UnclipDrawing() {
    Clipped = false;
}

void SetForeColour(int32_t colour) {
    OnCurrentSurface([&](Surface& surface) {
        if (colour == ColourUnchanged) {
            return;
        }
        surface.ForeColour = colour == ColourDefault ? DefaultForeColour : colour & 0xFFFFFF;
    });
}

void SetBackColour(int32_t colour) {
    OnCurrentSurface([&](Surface& surface) {
        if (colour == ColourUnchanged) {
            return;
        }
        if (colour == ColourNone) {
            surface.BackColour = ColourNone;
        } else {
            surface.BackColour = colour == ColourDefault ? DefaultBackColour : colour & 0xFFFFFF;
        }
    });
}

void CopyBitmap(SurfaceHandle source, int32_t sourceId, uint32_t /*rasterMode*/) {
    // Every raster mode copies plainly: the source pixel replaces the destination's.
    OnCurrentSurface([&](Surface& surface) {
        const Surface* from = ResolveSurfaceLocked(source, sourceId);
        if (from == nullptr) {
            return;
        }
        CopyAndMarkLocked(surface, *from, 0, 0, std::min(from->Width, surface.Width),
                          std::min(from->Height, surface.Height));
    });
}

void CopyBitmapWithin(SurfaceHandle source, int32_t sourceId, const DamageList& areas) {
    OnCurrentSurface([&](Surface& surface) {
        const Surface* from = ResolveSurfaceLocked(source, sourceId);
        if (from == nullptr) {
            return;
        }
        const bool wasClipped = Clipped;
        const Rect clip = ClipArea;
        for (int32_t entry = 0; entry < areas.Count; ++entry) {
            const Rect area = areas.Rects[static_cast<size_t>(entry)];
            ClipDrawing(wasClipped ? IntersectionOf(area, clip) : area);
            CopyAndMarkLocked(surface, *from, 0, 0, std::min(from->Width, surface.Width),
                              std::min(from->Height, surface.Height));
        }
        Clipped = wasClipped;
        ClipArea = clip;
    });
}

void CopyBitmapAt(SurfaceHandle source, int32_t sourceId, float x, float y,
                  uint32_t /*rasterMode*/) {
    OnCurrentSurface([&](Surface& surface) {
        const Surface* from = ResolveSurfaceLocked(source, sourceId);
        if (from == nullptr) {
            return;
        }
        CopyAndMarkLocked(surface, *from, ToPixel(x), ToPixel(y), from->Width, from->Height);
    });
}

// ---- Position ----

void SetPosition(float x, float y) {
    OnCurrentSurface([&](Surface& surface) {
        surface.X = ToPixel(x);
        surface.Y = ToPixel(y);
    });
}

void EndTextLine() {
    OnCurrentSurface([](Surface& surface) {
        surface.X = 0;
        surface.Y = SaturatedAdd(surface.Y, static_cast<int64_t>(surface.Metrics.Height) +
                                                surface.Metrics.ExternalLeading);
    });
}

void SetTextFont(FontHandle font) {
    OnCurrentSurface([&](Surface& surface) { SelectFontLocked(surface, font == 0 ? 1 : font); });
}

// ---- The graphic control ----

void NewGraphicControl(SurfaceHandle window, int32_t controlId, int32_t width, int32_t height,
                       ControlSink* sink) {
    std::lock_guard lock(SurfaceLock());
    if (window == 0) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    Surface* surface = AddSurfaceLocked(SurfaceKind::GraphicControl, width, height);
    if (surface == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    surface->Sink = sink;
    surface->DeferredRedraw = false;
    SelectFontLocked(*surface, 1);
    FillLocked(*surface, PixelOf(surface->BackColour));
    AddDamage(surface->Dirty, Rect{0, 0, width, height});
    auto& controls = Table().Controls;
    for (ControlName& control : controls) {
        if (control.Window == window && control.ControlId == controlId) {
            // A control made again replaces the old one, which then names nothing.
            Table().Surfaces[static_cast<size_t>(control.Id)].reset();
            control.Id = surface->Id;
            return;
        }
    }
    controls.push_back(ControlName{window, controlId, surface->Id});
}

void TakeControlChanges(SurfaceHandle window, int32_t controlId, uint32_t* into, int32_t stride,
                        DamageList& parts) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = ResolveSurfaceLocked(window, controlId);
    if (surface == nullptr || surface->Kind != SurfaceKind::GraphicControl) {
        parts.Count = 0;
        return;
    }
    parts = surface->Dirty;
    surface->Dirty.Count = 0;
    surface->SinkTold = false;
    for (int32_t entry = 0; into != nullptr && entry < parts.Count; ++entry) {
        const Rect part = parts.Rects[static_cast<size_t>(entry)];
        const size_t bytes = static_cast<size_t>(part.Right - part.Left) * sizeof(uint32_t);
        for (int32_t row = part.Top; row < part.Bottom; ++row) {
            std::memcpy(
                into + static_cast<int64_t>(row) * stride + part.Left,
                surface->Pixels.data() + static_cast<int64_t>(row) * surface->Width + part.Left,
                bytes);
        }
    }
}

// ---- Inspection ----

bool CurrentMetrics(SurfaceMetrics& metrics) {
    std::lock_guard lock(SurfaceLock());
    const Surface* surface = CurrentSurfaceLocked();
    if (surface == nullptr) {
        return false;
    }
    metrics = SurfaceMetrics{surface->X,
                             surface->Y,
                             surface->Metrics.Ascent,
                             surface->Metrics.Descent,
                             surface->Metrics.Height,
                             surface->Metrics.ExternalLeading,
                             surface->Metrics.AverageWidth};
    return true;
}

bool ReadPixels(SurfaceHandle handle, int32_t controlId, std::vector<uint32_t>& pixels,
                int32_t& width, int32_t& height) {
    std::lock_guard lock(SurfaceLock());
    const Surface* surface = ResolveSurfaceLocked(handle, controlId);
    if (surface == nullptr) {
        return false;
    }
    pixels = surface->Pixels;
    width = surface->Width;
    height = surface->Height;
    return true;
}

int32_t LastError() {
    return LastErrorNumber;
}

}  // namespace render
