// SPDX-License-Identifier: MIT
// The cue schedule: the request word and the write position of the cue playing.
#include "shell/cue_schedule.h"

#include <algorithm>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------
constexpr uint64_t CueBits = 8;
constexpr uint64_t CueMask = (uint64_t{1} << CueBits) - 1;
static_assert(static_cast<uint64_t>(game::CueCount) <= CueMask,
              "every cue + 1 fits in the request's low byte");

// ---- Internal helpers -------------------------------------------------------------

// Stores the next generation with the given cue code; every request gets its own word.
void StoreRequest(std::atomic<uint64_t>& requests, uint64_t cueCode) {
    uint64_t old = requests.load();
    while (!requests.compare_exchange_weak(old, ((old >> CueBits) + 1) << CueBits | cueCode)) {
    }
}

int32_t RequestedCue(uint64_t request) {
    return static_cast<int32_t>(request & CueMask) - 1;
}

std::span<const std::byte> CueBytes(int32_t cue, std::span<const CueSound> cues) {
    if (cue < 0 || static_cast<size_t>(cue) >= cues.size()) {
        return {};
    }
    return std::as_bytes(std::span(cues[static_cast<size_t>(cue)].Samples));
}

}  // namespace

// ---- Public functions ---------------------------------------------------------------

void RequestCue(std::atomic<uint64_t>& requests, game::Cue cue) {
    StoreRequest(requests, static_cast<uint64_t>(cue) + 1);
}

bool TakeRequest(CueSchedule& schedule, uint64_t request) {
    if (request == schedule.TakenRequest) {
        return false;
    }
    const bool cut = schedule.OutputFed;
    schedule.TakenRequest = request;
    schedule.Cue = RequestedCue(request);
    schedule.Position = 0;
    schedule.OutputFed = false;
    return cut;
}

std::span<const std::byte> NextBytes(const CueSchedule& schedule, std::span<const CueSound> cues,
                                     size_t room) {
    const std::span<const std::byte> bytes = CueBytes(schedule.Cue, cues);
    if (schedule.Position >= bytes.size()) {
        return {};
    }
    const size_t wholeSamples = room - room % sizeof(int16_t);
    return bytes.subspan(schedule.Position,
                         std::min(wholeSamples, bytes.size() - schedule.Position));
}

void MarkWritten(CueSchedule& schedule, size_t written) {
    schedule.Position += written;
    schedule.OutputFed = schedule.OutputFed || written > 0;
}

bool IsWriting(const CueSchedule& schedule, std::span<const CueSound> cues) {
    return schedule.Position < CueBytes(schedule.Cue, cues).size();
}

}  // namespace shell
