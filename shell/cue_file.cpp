// SPDX-License-Identifier: MIT
// The cue file reader: walks the RIFF chunks with every size checked against what is
// left of the buffer before anything inside a chunk is read.
#include "shell/cue_file.h"

#include <cstring>

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------
constexpr size_t RiffHeaderBytes = 12;  // "RIFF", size, "WAVE"
constexpr size_t ChunkHeaderBytes = 8;  // tag, size
constexpr size_t FormatBytes = 16;      // the PCM part of a "fmt " chunk
constexpr uint16_t FormatPcm = 1;
constexpr uint16_t CueChannels = 1;
constexpr uint16_t CueBitsPerSample = 16;
constexpr uint16_t CueBlockAlign = CueChannels * CueBitsPerSample / 8;

// ---- Internal helpers -------------------------------------------------------------

// Little-endian fields; the caller has checked that the bytes are there.
uint16_t ReadLe16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(ReadLe16(bytes, at)) |
           static_cast<uint32_t>(ReadLe16(bytes, at + 2)) << 16;
}

bool HasTag(std::span<const uint8_t> bytes, size_t at, const char (&tag)[5]) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

bool IsCueFormat(std::span<const uint8_t> format) {
    return format.size() >= FormatBytes && ReadLe16(format, 0) == FormatPcm &&
           ReadLe16(format, 2) == CueChannels && ReadLe32(format, 4) == CueSampleRate &&
           ReadLe32(format, 8) == CueSampleRate * CueBlockAlign &&
           ReadLe16(format, 12) == CueBlockAlign && ReadLe16(format, 14) == CueBitsPerSample;
}

std::optional<CueSound> DecodeSamples(std::span<const uint8_t> data) {
    if (data.empty() || data.size() % CueBlockAlign != 0) {
        return std::nullopt;
    }
    CueSound cue;
    cue.Samples.resize(data.size() / CueBlockAlign);
    for (size_t i = 0; i < cue.Samples.size(); ++i) {
        cue.Samples[i] = static_cast<int16_t>(ReadLe16(data, i * CueBlockAlign));
    }
    return cue;
}

// The chunks inside the RIFF form: a "fmt " that describes our format must come
// before the "data" chunk, which ends the walk.
std::optional<CueSound> ReadChunks(std::span<const uint8_t> body) {
    bool formatSeen = false;
    while (body.size() >= ChunkHeaderBytes) {
        const size_t size = ReadLe32(body, 4);
        if (size > body.size() - ChunkHeaderBytes) {
            return std::nullopt;
        }
        const std::span<const uint8_t> chunk = body.subspan(ChunkHeaderBytes, size);
        if (HasTag(body, 0, "fmt ")) {
            if (!IsCueFormat(chunk)) {
                return std::nullopt;
            }
            formatSeen = true;
        } else if (HasTag(body, 0, "data")) {
            return formatSeen ? DecodeSamples(chunk) : std::nullopt;
        }
        // Chunks are padded to an even size; a last chunk may lack its pad byte.
        const size_t step = ChunkHeaderBytes + size + (size & 1);
        body = step >= body.size() ? std::span<const uint8_t>{} : body.subspan(step);
    }
    return std::nullopt;
}

}  // namespace

// ---- Public functions ---------------------------------------------------------------

std::optional<CueSound> ReadCueFile(std::span<const uint8_t> file) {
    if (file.size() < RiffHeaderBytes || !HasTag(file, 0, "RIFF") || !HasTag(file, 8, "WAVE")) {
        return std::nullopt;
    }
    const size_t riffSize = ReadLe32(file, 4);  // counts from the form type on
    if (riffSize < 4 || riffSize > file.size() - 8) {
        return std::nullopt;
    }
    return ReadChunks(file.subspan(RiffHeaderBytes, riffSize - 4));
}

}  // namespace shell
