// SPDX-License-Identifier: MIT
// The layers of a game, the composition of its frames and what changed in them.
//
// A frame, from back to front:
//
//   +--------------------------------------------------------------+
//   | BlockLayer 620x550 at (0,0)   BarLayer   score   Launcher    |
//   |  caption and wall             17x570 at  line    600x510 at  |
//   |                               (629, BarOffset)   (979, AimY) |
//   +--------------------------------------------------------------+
//   and over everything, a mark for every shot in flight.
#include "game/frame.h"

#include <algorithm>
#include <mutex>

#include "game/host.h"
#include "game/layout.h"
#include "game/wall.h"
#include "render/painters.h"
#include "render/scale.h"
#include "render/text_painters.h"

namespace game {

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr render::Rect WholeFrame{0, 0, PlayAreaWidth, PlayAreaHeight};
constexpr render::Rect BlockPlace{0, 0, BlockLayerWidth, BlockLayerHeight};
constexpr render::Rect BarLane{BarLaneX, 0, BarLaneX + BarLayerWidth, PlayAreaHeight};

// ---- Module state ---------------------------------------------------------------

// The frame lock: held while a change is recorded, while a frame is composed and
// presented, and while the game being played changes. See frame.h.
std::mutex FrameLock;
// The scale the host's control is at, and the scale the host asked for last (they
// differ while a game's surfaces are being made at the new one). Under the frame lock.
render::Scale FrameScale;
render::Scale WantedScale;

// ---- Internal helpers -----------------------------------------------------------

// A new layer, attached, cleared silver, with the default ink on a silver back.
render::OwnedBitmap NewLayer(int32_t width, int32_t height, render::Scale scale) {
    const render::SurfaceHandle layer = render::NewBitmap(width, height, scale);
    render::ResetSurfaceToSilver(layer, 0);
    return render::OwnedBitmap(layer);
}

render::Rect Moved(render::Rect area, int32_t x, int32_t y) {
    return {area.Left + x, area.Top + y, area.Right + x, area.Bottom + y};
}

bool Meets(render::Rect a, render::Rect b) {
    return !render::IntersectionOf(a, b).IsEmpty();
}

render::Rect BarPlace(int32_t offset) {
    return {BarLaneX, offset, BarLaneX + BarLayerWidth, offset + BarLayerHeight};
}

render::Rect LauncherPlace(int32_t aimY) {
    return render::IntersectionOf(Moved(render::LauncherArea(), LauncherX, aimY), WholeFrame);
}

void ChangeFrameLocked(Game& game, render::Rect area) {
    render::AddDamage(game.Frame.Pending, render::IntersectionOf(area, WholeFrame));
}

// The count of shots at the mark's place.
int32_t& CountAt(FrameChanges& frame, const ShotMark& mark) {
    const auto row = static_cast<size_t>(std::clamp(mark.Y, 0, PlayAreaHeight - 1));
    const auto step = static_cast<size_t>(std::clamp(mark.Step, 0, ShotLastStep));
    return frame.ShotsAt[row][step];
}

render::Rect MarkArea(const ShotMark& mark) {
    return render::ShotArea(ShotXAt(mark.Step), mark.Y);
}

// Whole-number division rounded down and up, for numerators of either sign.
int32_t DivideDown(int32_t numerator, int32_t denominator) {
    return numerator >= 0 ? numerator / denominator
                          : -((-numerator + denominator - 1) / denominator);
}
int32_t DivideUp(int32_t numerator, int32_t denominator) {
    return -DivideDown(-numerator, denominator);
}

// Paints each place where shots fly that meets area, once, looking only at the rows
// and steps whose marks can reach it. Rows go top to bottom, so a lower mark is drawn
// whole over the one above it; on one row the places lie too far apart to meet.
void PaintShotsWithin(const FrameChanges& frame, render::SurfaceHandle target, render::Rect area) {
    const render::Rect reach = render::ShotArea(0, 0);
    const int32_t firstRow = std::max(0, area.Top - reach.Bottom + 1);
    const int32_t lastRow = std::min(PlayAreaHeight - 1, area.Bottom - reach.Top - 1);
    // The marks that meet area have x + reach.Left < area.Right and x + reach.Right > area.Left.
    const int32_t firstStep =
        std::max(0, DivideUp(ShotStartX - (area.Right - reach.Left - 1), ShotStep));
    const int32_t lastStep =
        std::min(ShotLastStep, DivideDown(ShotStartX - (area.Left - reach.Right + 1), ShotStep));
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        const auto& counts = frame.ShotsAt[static_cast<size_t>(row)];
        for (int32_t step = firstStep; step <= lastStep; ++step) {
            if (counts[static_cast<size_t>(step)] > 0) {
                render::PaintShot(target, ShotXAt(step), row);
            }
        }
    }
}

// The composition in its order, on the frame's pixels within area (the thread's clip):
// what lies wholly outside area is not drawn at all.
void ComposeWithin(const Game& game, render::Rect area) {
    const GameSurfaces& surfaces = game.Surfaces;
    const GameState& state = game.State;
    // The block layer covers its corner of the frame whole: that corner is written once.
    render::BlankSurface(surfaces.FrameBitmap, BlockPlace);
    if (Meets(render::ScoreLineArea(), area)) {
        render::PaintScoreOn(surfaces.FrameBitmap, state.BlocksDestroyed.load());
    }
    // The painters leave the frame attached: the copies land on it.
    const int32_t offset = state.BarOffset.load();
    if (Meets(BarPlace(offset), area)) {
        render::CopyBitmapAt(surfaces.BarLayer, 0, BarLaneX, static_cast<float>(offset));
    }
    if (Meets(BlockPlace, area)) {
        render::CopyBitmap(surfaces.BlockLayer, 0);
    }
    const int32_t aimY = state.AimY.load();
    if (Meets(LauncherPlace(aimY), area)) {
        render::CopyBitmapAt(surfaces.LauncherLayer, 0, LauncherX, static_cast<float>(aimY));
    }
    if (game.Frame.EndScreen == nullptr) {
        PaintShotsWithin(game.Frame, surfaces.FrameBitmap, area);
    }
}

void ComposeLocked(Game& game, const render::DamageList& areas) {
    for (int32_t entry = 0; entry < areas.Count; ++entry) {
        const render::Rect area = areas.Rects[static_cast<size_t>(entry)];
        render::ClipDrawing(area);
        ComposeWithin(game, area);
        render::UnclipDrawing();
    }
}

// Presents the areas; returns the host's sink to tell once the frame lock is let go.
render::ControlSink* PresentLocked(const Game& game, const render::DamageList& areas) {
    if (!IsCurrentGame(game) || areas.Count == 0) {
        return nullptr;
    }
    const FrameTarget target = PresentTarget();
    return render::PresentBitmap(target.Window, target.Control, game.Surfaces.FrameBitmap, areas);
}

// The host takes what was presented under the frame lock: told with it held, its
// thread would wake only to wait for it.
void Tell(render::ControlSink* sink) {
    if (sink != nullptr) {
        sink->Changed();
    }
}

// Composes and presents the areas at once, unless an end screen is up.
render::ControlSink* ShowAtOnceLocked(Game& game, const render::DamageList& areas) {
    if (game.Frame.EndScreen != nullptr) {
        return nullptr;
    }
    ComposeLocked(game, areas);
    return PresentLocked(game, areas);
}

// Composes the whole frame and presents it: with the end screen up, the frame without
// the shots and the end screen over it.
render::ControlSink* ShowWholeLocked(Game& game) {
    FrameChanges& frame = game.Frame;
    frame.Pending.Count = 0;
    render::AddDamage(frame.Pending, WholeFrame);
    ComposeLocked(game, frame.Pending);
    if (frame.EndScreen != nullptr) {
        frame.EndScreen(game.Surfaces.FrameBitmap);
    }
    render::ControlSink* sink = PresentLocked(game, frame.Pending);
    frame.Pending.Count = 0;
    return sink;
}

// The four surfaces of a game made again at scale, from its state: the wall from its
// grid, the launcher; the bar is painted when they take the old ones' place. Without
// the frame lock: the caption pauses, and its pause may handle events.
GameSurfaces RemadeSurfaces(const Game& game, render::Scale scale) {
    GameSurfaces made;
    made.Scale = scale;
    made.BarLayer = NewLayer(BarLayerWidth, BarLayerHeight, scale);
    made.BlockLayer = NewLayer(BlockLayerWidth, BlockLayerHeight, scale);
    PaintWall(game, made.BlockLayer);
    made.LauncherLayer = NewLayer(LauncherLayerWidth, LauncherLayerHeight, scale);
    render::PaintLauncherOn(made.LauncherLayer);
    made.FrameBitmap = render::OwnedBitmap(render::NewBitmap(PlayAreaWidth, PlayAreaHeight, scale));
    return made;
}

// The remade surfaces take the old ones' place, brought up to what happened while they
// were painted: every destroyed block erased, the bar at its length now. Every drawing
// on a game's surfaces is under the frame lock, so no worker draws on a surface being
// replaced, and whatever a worker changes from now on it changes on the new ones. The
// old surfaces are left in made.
void ReplaceSurfacesLocked(Game& game, GameSurfaces& made) {
    EraseDestroyed(game, made.BlockLayer);
    render::PaintBarOn(made.BarLayer, game.BarLengths->LengthFor(game.State.BarLevel.load()));
    std::swap(game.Surfaces, made);
}

// Brings the control and the game being played to the scale asked for last, if they
// are not at it. The surfaces are painted without the frame lock; while the caption
// pauses, the host may ask for another scale or start a new game, and the surfaces
// painted are then dropped and the work begun again for what is wanted now.
void FollowDeviceScale() {
    for (;;) {
        const std::shared_ptr<Game> game = CurrentGame();
        render::Scale scale;
        bool remake = false;
        {
            std::lock_guard lock(FrameLock);
            scale = WantedScale;
            remake = game != nullptr && game->Surfaces.Scale != scale;
        }
        GameSurfaces made;
        if (remake) {
            made = RemadeSurfaces(*game, scale);
        }
        std::unique_lock lock(FrameLock);
        if (WantedScale != scale || CurrentGame() != game) {
            continue;
        }
        render::ControlSink* scaled = nullptr;
        const FrameTarget target = PresentTarget();
        const bool rescaled =
            FrameScale != scale &&
            render::ScaleGraphicControl(target.Window, target.Control, scale, scaled);
        if (rescaled) {
            FrameScale = scale;  // the control forgot what it showed: the game shows it whole
        }
        render::ControlSink* presented = nullptr;
        if (game != nullptr && FrameScale == scale && (remake || rescaled)) {
            if (remake) {
                ReplaceSurfacesLocked(*game, made);
            }
            presented = ShowWholeLocked(*game);
        }
        lock.unlock();
        Tell(scaled);
        Tell(presented != scaled ? presented : nullptr);
        return;  // the old surfaces, in made, are released
    }
}

}  // namespace

// ---- Layers and the first frame -------------------------------------------------

// The game is not played yet: no other thread draws on its surfaces.
void SetUpLayers(Game& game) {
    GameSurfaces& surfaces = game.Surfaces;
    surfaces.Scale = DeviceScale();
    surfaces.BarLayer = NewLayer(BarLayerWidth, BarLayerHeight, surfaces.Scale);
    render::PaintBarOn(surfaces.BarLayer, game.BarLengths->LengthFor(game.State.BarLevel.load()));
    surfaces.BlockLayer = NewLayer(BlockLayerWidth, BlockLayerHeight, surfaces.Scale);
    BuildBlockGrid(game);
    surfaces.LauncherLayer = NewLayer(LauncherLayerWidth, LauncherLayerHeight, surfaces.Scale);
    render::PaintLauncherOn(surfaces.LauncherLayer);
}

// The scale may have changed while the layers were painted (the caption's pause): the
// game then follows it.
void SetUpFrame(Game& game) {
    {
        std::lock_guard lock(FrameLock);
        game.Surfaces.FrameBitmap = render::OwnedBitmap(
            render::NewBitmap(PlayAreaWidth, PlayAreaHeight, game.Surfaces.Scale));
    }
    ChangeFrame(game, WholeFrame);
    ComposeFrame(game);
    FollowDeviceScale();
}

// ---- What changed ---------------------------------------------------------------

void ChangeFrame(Game& game, render::Rect area) {
    std::lock_guard lock(FrameLock);
    ChangeFrameLocked(game, area);
}

// The rows between the bar's end rows look alike, so a bar that moved changed only
// the rows that an end row of its old or its new place covers.
void BarMoved(Game& game, int32_t from, int32_t to) {
    const int32_t length = game.BarLengths->LengthFor(game.State.BarLevel.load());
    const render::Rect bar = render::BarArea(length);
    const int32_t upper = std::min(from, to), lower = std::max(from, to);
    std::lock_guard lock(FrameLock);
    ChangeFrameLocked(game, {BarLaneX, upper + bar.Top, BarLaneX + bar.Right,
                             lower + bar.Top + render::BarEndRows});
    ChangeFrameLocked(game, {BarLaneX, upper + bar.Bottom - render::BarEndRows,
                             BarLaneX + bar.Right, lower + bar.Bottom});
}

void RepaintBar(Game& game, int32_t length) {
    std::lock_guard lock(FrameLock);
    render::PaintBarOn(game.Surfaces.BarLayer, length);
    ChangeFrameLocked(game, BarLane);
}

void EraseBlock(Game& game, const BlockCell& cell) {
    std::lock_guard lock(FrameLock);
    render::EraseBlockOn(game.Surfaces.BlockLayer, cell.Left, cell.Top);
    // The layer lies at (0, 0).
    ChangeFrameLocked(game, render::BlockArea(cell.Left, cell.Top, game.Surfaces.Scale));
    ChangeFrameLocked(game, render::ScoreLineArea());
}

void MoveLauncher(Game& game, int32_t aimY) {
    std::lock_guard lock(FrameLock);
    const int32_t from = game.State.AimY.exchange(aimY);
    if (from != aimY) {
        ChangeFrameLocked(game, LauncherPlace(from));
        ChangeFrameLocked(game, LauncherPlace(aimY));
    }
}

// ---- Shots ----------------------------------------------------------------------

void ShowShot(Game& game, ShotMark& mark) {
    render::DamageList areas;
    render::AddDamage(areas, MarkArea(mark));
    std::unique_lock lock(FrameLock);
    CountAt(game.Frame, mark) += 1;
    render::ControlSink* sink = ShowAtOnceLocked(game, areas);
    lock.unlock();
    Tell(sink);
}

void MoveShot(Game& game, ShotMark& mark) {
    render::DamageList areas;
    render::AddDamage(areas, MarkArea(mark));
    std::unique_lock lock(FrameLock);
    CountAt(game.Frame, mark) -= 1;
    mark.Step += 1;
    CountAt(game.Frame, mark) += 1;
    render::AddDamage(areas, MarkArea(mark));
    render::ControlSink* sink = ShowAtOnceLocked(game, areas);
    lock.unlock();
    Tell(sink);
}

void EndShot(Game& game, ShotMark& mark) {
    std::lock_guard lock(FrameLock);
    CountAt(game.Frame, mark) -= 1;
    ChangeFrameLocked(game, MarkArea(mark));
}

// ---- Composition and presentation ----------------------------------------------

void ComposeFrame(Game& game) {
    std::unique_lock lock(FrameLock);
    FrameChanges& frame = game.Frame;
    ComposeLocked(game, frame.Pending);
    render::ControlSink* sink = PresentLocked(game, frame.Pending);
    frame.Pending.Count = 0;
    lock.unlock();
    Tell(sink);
}

void ShowEndScreen(Game& game, EndScreenPainter paintEndScreen) {
    std::unique_lock lock(FrameLock);
    game.Frame.EndScreen = paintEndScreen;
    render::ControlSink* sink = ShowWholeLocked(game);
    lock.unlock();
    Tell(sink);
}

void TakeFrameChanges(FrameTarget control, render::DamageList& parts) {
    std::lock_guard lock(FrameLock);
    render::TakeControlChanges(control.Window, control.Control, parts);
}

void SetDeviceScale(render::Scale scale) {
    if (!render::IsValid(scale)) {
        return;
    }
    // The painters' fonts at the new em, rendered now: the end screens, drawn late in a
    // game, then allocate nothing.
    render::MakeTextFonts(scale);
    {
        std::lock_guard lock(FrameLock);
        WantedScale = scale;
    }
    FollowDeviceScale();
}

render::Scale DeviceScale() {
    std::lock_guard lock(FrameLock);
    return FrameScale;
}

void MakeCurrentGame(std::shared_ptr<Game> game) {
    std::shared_ptr<Game> previous = CurrentGame();  // released after the lock
    std::lock_guard lock(FrameLock);
    ReplaceCurrentGame(std::move(game));
}

void EnableNewIfCurrent(const Game& game) {
    std::lock_guard lock(FrameLock);
    if (IsCurrentGame(game)) {
        SetNewEnabled(true);
    }
}

}  // namespace game
