// SPDX-License-Identifier: MIT
// The layers of a game, the frame composed from them, and the one way a change
// reaches the screen.
//
// Owns: the making of a game's four surfaces; the record of what changed in the frame
// (every change is an area of the frame, recorded here and nowhere else); the
// composition of those areas, shots in flight included; and their presentation in
// the window. Only the game being played presents: a worker of an earlier game
// composes into its own frame, which nobody shows.
//
// A tick, in order: the bar worker moves the bar and records its ends (BarMoved),
// composes every area recorded since its last tick and presents them (ComposeFrame);
// then each shot steps, and shows its mark's old and new places at once (MoveShot), so
// every frame on screen holds each flying shot where it is now. What a shot's hit
// changes (an erased block, the count, a longer bar) is recorded and shown by the bar's
// next tick.
//
// Threads: SetUpLayers, SetUpFrame and SetDeviceScale on the main thread; the rest
// from any thread. Every function here holds the frame lock (this file's) for what it
// does, and draws under it (but on surfaces no other thread knows yet), so a
// composition and its presentation are never interleaved with another thread's; the
// frame lock is always taken before SurfaceLock, never inside it. The host's sink is
// told of a presentation after the frame lock is let go.
#pragma once

#include <cstdint>
#include <memory>

#include "game/host.h"
#include "game/state.h"

namespace game {

// Makes the bar, block and launcher layers and paints them (the wall is generated
// here, from the generator's state).
void SetUpLayers(Game& game);
// Makes the frame, composes the first frame whole and presents it.
void SetUpFrame(Game& game);

// ---- What changed ---------------------------------------------------------------
// An area of the frame that no longer shows the game as it is: composed again and
// presented at the bar worker's next tick.
void ChangeFrame(Game& game, render::Rect area);
// The bar moved from one offset to another: its two ends, where they were and are.
void BarMoved(Game& game, int32_t from, int32_t to);
// Paints the bar of a new length over the old one on the bar layer, and records the
// bar's lane.
void RepaintBar(Game& game, int32_t length);
// Erases the counted cell's block from the block layer, and records it and the count.
void EraseBlock(Game& game, const BlockCell& cell);
// Sets the launcher's row (AimY) and records where it was and is.
void MoveLauncher(Game& game, int32_t aimY);

// ---- Shots ----------------------------------------------------------------------
// A shot's first place (step 0), composed and presented at once; the mark is then part
// of every composition until EndShot. No longer shown once an end screen is up.
void ShowShot(Game& game, ShotMark& mark);
// The shot's next place, one step on: its old and new places composed and presented at
// once.
void MoveShot(Game& game, ShotMark& mark);
// The shot is over: its last place is composed again at the next tick.
void EndShot(Game& game, ShotMark& mark);

// ---- Composition and presentation ----------------------------------------------
// Composes every area recorded since the last composition, in order: silver, the score
// line, the bar, block and launcher layers at their places, then every shot in flight;
// and presents them on the host's control, if the game is still the one being played.
void ComposeFrame(Game& game);
// Composes the whole frame without the shots, paints an end screen on it and presents
// it; shots show no more from then on.
void ShowEndScreen(Game& game, EndScreenPainter paintEndScreen);
// The host's side: takes the changes of its control and copies what was presented of
// them into its image, with no composition half done. The host's sink is told once
// the frame lock is let go, so it may take at once, from any thread.
void TakeFrameChanges(FrameTarget control, render::DamageList& parts);

// ---- The device scale -------------------------------------------------------------
// How many device pixels the frame gives each logical pixel: 1x until the host says
// otherwise. From the user-interface thread, the one that paints the host's control
// (and makes new games): the game being played has its four surfaces made again at
// the new scale from its state (the wall as it stands, the bar at its length, the
// launcher), and the control's image is made at it with the whole frame presented
// there, an end screen that is up included; games started later start at it.
// Everything the game records (the aim, the bar's offset, changed areas) stays in
// logical pixels; the drawing layer maps them to the device, edge by edge.
void SetDeviceScale(render::Scale scale);
// The scale the control and the game being played are at.
render::Scale DeviceScale();

// Makes `game` the one being played, after which no earlier game presents a frame.
void MakeCurrentGame(std::shared_ptr<Game> game);
// Enables "Nuevo" at the end of a game, unless a newer game has started already.
void EnableNewIfCurrent(const Game& game);

}  // namespace game
