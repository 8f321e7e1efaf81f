// SPDX-License-Identifier: MIT
// The handle table: bitmaps, windows and graphic controls, each thread's current
// surface and clip, and the inspection of surfaces.
//
// Every handle comes from one counter and is never reused: a bitmap's handle is its
// slot in the table, a window's too, and a control has a slot of its own that only
// (window, control id) names. A thread's current surface is a slot in a thread-local.
#include "render/surface_table.h"

#include <limits>
#include <memory>
#include <new>

#include "render/fonts.h"

namespace render {

namespace {

// ---- Constants ----

// Largest side of a surface, pixels; larger requests fail like an allocation would.
constexpr int32_t MaxSurfaceSide = 1 << 15;

// ---- Types ----

struct ControlName {
    SurfaceHandle Window = 0;
    int32_t ControlId = 0;
    int32_t Id = 0;  // slot of the control's surface
};

// ---- Module state ----

// Under SurfaceLock.
struct SurfaceTable {
    // Indexed by handle; a freed surface leaves null. Slot 0 is never used.
    std::vector<std::unique_ptr<Surface>> Surfaces = std::vector<std::unique_ptr<Surface>>(1);
    std::vector<ControlName> Controls;
};

// Never destroyed: workers may still draw while the process exits.
SurfaceTable& Table() {
    static SurfaceTable* table = new SurfaceTable;
    return *table;
}

// Each thread's drawing target: none when a thread starts, gone when it ends; its
// clip, set by ClipDrawing; and the last error it met.
thread_local int32_t CurrentSurfaceId = 0;
thread_local bool Clipped = false;
thread_local Rect ClipArea;
thread_local int32_t LastErrorNumber = 0;

// ---- Internal helpers ----

Surface* SurfaceByIdLocked(int32_t id) {
    auto& surfaces = Table().Surfaces;
    if (id <= 0 || static_cast<size_t>(id) >= surfaces.size()) {
        return nullptr;
    }
    return surfaces[static_cast<size_t>(id)].get();
}

Surface* ControlOfLocked(SurfaceHandle window, int32_t controlId) {
    for (const ControlName& control : Table().Controls) {
        if (control.Window == window && control.ControlId == controlId) {
            return SurfaceByIdLocked(control.Id);
        }
    }
    return nullptr;
}

bool FitsLocked(SurfaceKind kind, int64_t width, int64_t height) {
    if (Table().Surfaces.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return false;
    }
    if (kind == SurfaceKind::Window) {
        return width == 0 && height == 0;
    }
    return width > 0 && height > 0 && width <= MaxSurfaceSide && height <= MaxSurfaceSide;
}

}  // namespace

// ---- Shared inside the layer ----

std::mutex& SurfaceLock() {
    static std::mutex* lock = new std::mutex;  // never destroyed, like the surfaces
    return *lock;
}

Surface* AddSurfaceLocked(SurfaceKind kind, int32_t width, int32_t height, Scale scale) {
    auto& surfaces = Table().Surfaces;
    const int64_t deviceWidth = ToDevice(width, scale), deviceHeight = ToDevice(height, scale);
    if (!IsValid(scale) || !FitsLocked(kind, deviceWidth, deviceHeight)) {
        return nullptr;
    }
    try {
        auto surface = std::make_unique<Surface>();
        surface->Kind = kind;
        surface->Id = static_cast<int32_t>(surfaces.size());
        surface->Width = static_cast<int32_t>(deviceWidth);
        surface->Height = static_cast<int32_t>(deviceHeight);
        surface->LogicalWidth = width;
        surface->LogicalHeight = height;
        surface->DeviceScale = scale;
        surface->Pixels.resize(static_cast<size_t>(deviceWidth) *
                               static_cast<size_t>(deviceHeight));
        surfaces.push_back(std::move(surface));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return surfaces.back().get();
}

void NameControlLocked(SurfaceHandle window, int32_t controlId, const Surface& control) {
    for (ControlName& name : Table().Controls) {
        if (name.Window == window && name.ControlId == controlId) {
            // A control made again replaces the old one, which then names nothing.
            Table().Surfaces[static_cast<size_t>(name.Id)].reset();
            name.Id = control.Id;
            return;
        }
    }
    Table().Controls.push_back(ControlName{window, controlId, control.Id});
}

Surface* CurrentSurfaceLocked() {
    return SurfaceByIdLocked(CurrentSurfaceId);
}

Surface* ResolveSurfaceLocked(SurfaceHandle handle, int32_t controlId) {
    Surface* named = SurfaceByIdLocked(handle);
    if (named == nullptr || named->Kind == SurfaceKind::GraphicControl) {
        return nullptr;
    }
    return named->Kind == SurfaceKind::Window ? ControlOfLocked(handle, controlId) : named;
}

bool IsWindowLocked(SurfaceHandle handle) {
    const Surface* named = SurfaceByIdLocked(handle);
    return named != nullptr && named->Kind == SurfaceKind::Window;
}

Rect LogicalDrawableLocked(const Surface& surface) {
    const Rect whole{0, 0, surface.LogicalWidth, surface.LogicalHeight};
    if (!Clipped) {
        return whole;
    }
    const Rect area = IntersectionOf(whole, ClipArea);
    return area.IsEmpty() ? Rect{} : area;
}

Rect DeviceDrawableLocked(const Surface& surface) {
    const Rect area = ToDevice(LogicalDrawableLocked(surface), surface.DeviceScale);
    return area.IsEmpty() ? Rect{} : area;
}

void RecordError(int32_t error) {
    LastErrorNumber = error;
}

// ---- Public functions: surfaces ----

SurfaceHandle NewBitmap(int32_t width, int32_t height, Scale scale) {
    std::lock_guard lock(SurfaceLock());
    Surface* surface = AddSurfaceLocked(SurfaceKind::Bitmap, width, height, scale);
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

SurfaceHandle NewWindowHandle() {
    std::lock_guard lock(SurfaceLock());
    const Surface* window = AddSurfaceLocked(SurfaceKind::Window, 0, 0);
    return window != nullptr ? window->Id : 0;
}

void AttachSurface(SurfaceHandle handle, int32_t controlId) {
    std::lock_guard lock(SurfaceLock());
    CurrentSurfaceId = 0;
    const Surface* surface = ResolveSurfaceLocked(handle, controlId);
    if (surface == nullptr) {
        RecordError(ErrorInvalidHandle);
        return;
    }
    CurrentSurfaceId = surface->Id;
}

void ClipDrawing(Rect area) {
    Clipped = true;
    ClipArea = area;
}

void UnclipDrawing() {
    Clipped = false;
}

// ---- Public functions: inspection ----

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
