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

void ComposeFrame(const Game& game) {
    const GameSurfaces& surfaces = game.Surfaces;
    const GameState& state = game.State;
    // The block layer covers its corner of the frame whole: that corner is written once.
    render::BlankSurface(surfaces.FrameBitmap,
                         render::Rect{0, 0, BlockLayerWidth, BlockLayerHeight});
    render::PaintScoreOn(surfaces.FrameBitmap, state.BlocksDestroyed.load());
    // The score painter leaves the frame attached: the copies land on it.
    render::CopyBitmapAt(surfaces.BarLayer, 0, BarLaneX, static_cast<float>(state.BarOffset.load()),
                         render::RasterCopy);
    render::CopyBitmap(surfaces.BlockLayer, 0, render::RasterSourceCopy);
    render::CopyBitmapAt(surfaces.LauncherLayer, 0, LauncherX,
                         static_cast<float>(state.AimY.load()), render::RasterCopy);
}

void PresentFrame(const Game& game) {
    std::lock_guard lock(PresentMutex);
    if (!IsCurrentGame(game)) {
        return;
    }
    const FrameTarget target = PresentTarget();
    render::AttachSurface(target.Window, target.Control, 0);
    render::CopyBitmap(game.Surfaces.FrameBitmap, 0, render::RasterSourceCopy);
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
