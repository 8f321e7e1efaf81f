// SPDX-License-Identifier: MIT
// The layers of a game and the composition of its frames.
//
// A frame, from back to front:
//
//   +--------------------------------------------------------------+
//   | BlockLayer 620x550 at (0,0)   BarLayer   score   Launcher    |
//   |  caption and wall             17x570 at  line    600x510 at  |
//   |                               (629, BarOffset)   (979, AimY) |
//   +--------------------------------------------------------------+
#include "game/frame.h"

#include <mutex>

#include "game/host.h"
#include "game/layout.h"
#include "game/wall.h"
#include "render/painters.h"
#include "render/text_painters.h"

namespace game {

namespace {

// Held while a frame is presented and while the game being played changes, so that
// an earlier game's worker never presents after the new game's first frame.
std::mutex PresentMutex;

// A new layer, attached, cleared silver, with the default ink on a silver back.
render::SurfaceHandle NewLayer(int32_t width, int32_t height) {
    const render::SurfaceHandle layer = render::NewBitmap(width, height);
    render::ResetSurfaceToSilver(layer, 0);
    return layer;
}

constexpr render::Rect WholeFrame{0, 0, PlayAreaWidth, PlayAreaHeight};

// Where a layer placed with its upper-left corner at (x, y) lies in the frame.
constexpr render::Rect Placed(int32_t x, int32_t y, int32_t width, int32_t height) {
    return {x, y, x + width, y + height};
}

render::Rect BarPlace(int32_t offset) {
    return Placed(BarLaneX, offset, BarLayerWidth, BarLayerHeight);
}

render::Rect LauncherPlace(int32_t aimY) {
    return render::IntersectionOf(Placed(LauncherX, aimY, LauncherLayerWidth, LauncherLayerHeight),
                                  WholeFrame);
}

// What a frame shows of the game's state, read once per composition.
struct Shown {
    int32_t BarOffset = 0;
    int32_t AimY = 0;
    int16_t Score = 0;
};

// Takes what was drawn on the frame and on each layer since the last composition into
// region, in the frame's places: the frame's shot marks and end screens, the erased
// blocks, a longer bar (its lane, where it stood and where it stands).
void TakeDrawnSince(const Game& game, const FrameComposition& last, const Shown& now,
                    render::DamageList& region) {
    const GameSurfaces& surfaces = game.Surfaces;
    render::TakeDamage(surfaces.FrameBitmap, region);
    render::TakeDamage(surfaces.BlockLayer, region);  // placed at (0, 0)
    render::DamageList layer;
    render::TakeDamage(surfaces.BarLayer, layer);
    if (layer.Count > 0) {
        render::AddDamage(region, BarPlace(last.BarOffset));
        render::AddDamage(region, BarPlace(now.BarOffset));
    }
    layer.Count = 0;
    render::TakeDamage(surfaces.LauncherLayer, layer);
    if (layer.Count > 0) {
        render::AddDamage(region, LauncherPlace(last.AimY));
        render::AddDamage(region, LauncherPlace(now.AimY));
    }
}

// Adds where the bar, the launcher and the score line were and are, if they changed.
void AddMoves(const FrameComposition& last, const Shown& now, render::DamageList& region) {
    if (now.BarOffset != last.BarOffset) {
        render::AddDamage(region, BarPlace(last.BarOffset));
        render::AddDamage(region, BarPlace(now.BarOffset));
    }
    if (now.AimY != last.AimY) {
        render::AddDamage(region, LauncherPlace(last.AimY));
        render::AddDamage(region, LauncherPlace(now.AimY));
    }
    if (now.Score != last.Score) {
        render::AddDamage(region, render::ScoreLineArea());
    }
}

// The composition in its order, on the frame's pixels within area (the thread's clip,
// or the whole frame): what lies wholly outside area is not drawn at all.
void ComposeWithin(const GameSurfaces& surfaces, const Shown& now, render::Rect area) {
    auto meets = [&](render::Rect place) { return !render::IntersectionOf(place, area).IsEmpty(); };
    // The block layer covers its corner of the frame whole: that corner is written once.
    render::BlankSurface(surfaces.FrameBitmap,
                         render::Rect{0, 0, BlockLayerWidth, BlockLayerHeight});
    if (meets(render::ScoreLineArea())) {
        render::PaintScoreOn(surfaces.FrameBitmap, now.Score);
    }
    // The painters leave the frame attached: the copies land on it.
    if (meets(BarPlace(now.BarOffset))) {
        render::CopyBitmapAt(surfaces.BarLayer, 0, BarLaneX, static_cast<float>(now.BarOffset),
                             render::RasterCopy);
    }
    if (meets(Placed(0, 0, BlockLayerWidth, BlockLayerHeight))) {
        render::CopyBitmap(surfaces.BlockLayer, 0, render::RasterSourceCopy);
    }
    if (meets(LauncherPlace(now.AimY))) {
        render::CopyBitmapAt(surfaces.LauncherLayer, 0, LauncherX, static_cast<float>(now.AimY),
                             render::RasterCopy);
    }
}

}  // namespace

void SetUpLayers(Game& game) {
    GameSurfaces& surfaces = game.Surfaces;
    surfaces.BarLayer = NewLayer(BarLayerWidth, BarLayerHeight);
    render::PaintBarOn(surfaces.BarLayer, game.BarLengths->LengthFor(game.State.BarLevel.load()));
    surfaces.BlockLayer = NewLayer(BlockLayerWidth, BlockLayerHeight);
    BuildBlockGrid(game);
    surfaces.LauncherLayer = NewLayer(LauncherLayerWidth, LauncherLayerHeight);
    render::PaintLauncherOn(surfaces.LauncherLayer);
}

void SetUpFrame(Game& game) {
    game.Surfaces.FrameBitmap = render::NewBitmap(PlayAreaWidth, PlayAreaHeight);
    ComposeFrame(game);
    PresentFrame(game);
}

void ComposeFrame(Game& game) {
    const GameState& state = game.State;
    const Shown now{state.BarOffset.load(), state.AimY.load(), state.BlocksDestroyed.load()};
    FrameComposition& last = game.Composition;
    render::DamageList& region = last.Region;
    region.Count = 0;
    TakeDrawnSince(game, last, now, region);
    if (!last.Composed || ComposeWholeFrames.load()) {
        region.Count = 0;
        AddDamage(region, WholeFrame);
        ComposeWithin(game.Surfaces, now, WholeFrame);
    } else {
        AddMoves(last, now, region);
        for (int32_t entry = 0; entry < region.Count; ++entry) {
            const render::Rect area = region.Rects[static_cast<size_t>(entry)];
            render::ClipDrawing(area);
            ComposeWithin(game.Surfaces, now, area);
            render::UnclipDrawing();
        }
    }
    last.Composed = true;
    last.BarOffset = now.BarOffset;
    last.AimY = now.AimY;
    last.Score = now.Score;
}

void PresentFrame(Game& game) {
    std::lock_guard lock(PresentMutex);
    if (!IsCurrentGame(game)) {
        return;
    }
    const FrameTarget target = PresentTarget();
    render::AttachSurface(target.Window, target.Control, 0);
    const render::SurfaceHandle frame = game.Surfaces.FrameBitmap;
    FrameComposition& composition = game.Composition;
    if (!composition.Presented || ComposeWholeFrames.load()) {
        composition.Presented = true;
        render::CopyBitmap(frame, 0, render::RasterSourceCopy);
        return;
    }
    // Shot marks or an end screen drawn since the composition are shown too.
    render::DamageList& region = composition.Region;
    render::PeekDamage(frame, region);
    render::CopyBitmapWithin(frame, 0, region);
    region.Count = 0;
}

void MakeCurrentGame(std::shared_ptr<Game> game) {
    std::shared_ptr<Game> previous = CurrentGame();  // released after the lock
    std::lock_guard lock(PresentMutex);
    ReplaceCurrentGame(std::move(game));
}

void EnableNewIfCurrent(const Game& game) {
    std::lock_guard lock(PresentMutex);
    if (IsCurrentGame(game)) {
        SetNewEnabled(true);
    }
}

}  // namespace game
