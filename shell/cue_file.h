// SPDX-License-Identifier: MIT
// The cue file reader: turns an embedded RIFF/WAVE file into the samples of a cue.
//
// Owns: nothing but the samples it returns.
// Threads: any; it touches no shared state.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace shell {

constexpr int32_t CueSampleRate = 44100;  // samples per second, mono, 16-bit

// A cue's sound: signed 16-bit mono samples at 44,100 Hz, in the machine's byte order.
struct CueSound {
    std::vector<int16_t> Samples;
};

// Reads a RIFF/WAVE file holding 16-bit mono PCM at 44,100 Hz. Chunks other than
// "fmt " and "data" are skipped. A file that is truncated, whose sizes reach past its
// end, that holds another format or no samples yields no cue; nothing is read
// outside the given bytes.
std::optional<CueSound> ReadCueFile(std::span<const uint8_t> file);

}  // namespace shell
