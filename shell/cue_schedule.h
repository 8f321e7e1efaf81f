// SPDX-License-Identifier: MIT
// The cue schedule: which cue the audio output plays, and how much of it is written.
//
// Owns: the request word through which any thread asks for a cue, and the schedule
// that the feeding thread keeps. No toolkit: the Qt player (shell/sound.cpp) asks
// these functions what to write next.
// Threads: RequestCue from any thread, lock-free. A CueSchedule belongs to the one
// thread that feeds the audio output.
//
// A request word holds a generation in its upper 56 bits, counted up by every request,
// and the cue + 1 in its low byte (0: silence, before the first request). A new
// generation means a new request, so the same cue asked for twice plays twice.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/cue.h"
#include "shell/cue_file.h"

namespace shell {

constexpr int32_t NoCue = -1;

// Asks for a cue, cutting off the one playing.
void RequestCue(std::atomic<uint64_t>& requests, game::Cue cue);

struct CueSchedule {
    uint64_t TakenRequest = 0;  // the request word last acted on
    int32_t Cue = NoCue;        // the cue being written (a game::Cue), NoCue when silent
    size_t Position = 0;        // bytes of that cue written so far
    bool OutputFed = false;     // bytes were written since the output was last cut
};

// Acts on the latest request word. Returns true when the output must drop what it
// still holds: a new request arrived after bytes had been written.
bool TakeRequest(CueSchedule& schedule, uint64_t request);

// The bytes to write next: at most room bytes of the scheduled cue, in whole
// samples, from where the last write ended; empty when nothing is left to write.
// The cues' sounds are indexed by game::Cue.
std::span<const std::byte> NextBytes(const CueSchedule& schedule, std::span<const CueSound> cues,
                                     size_t room);

// Records that the output took written bytes of those NextBytes offered.
void MarkWritten(CueSchedule& schedule, size_t written);

// True while part of the scheduled cue is still to be written.
bool IsWriting(const CueSchedule& schedule, std::span<const CueSound> cues);

}  // namespace shell
