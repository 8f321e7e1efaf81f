// Builds small RIFF/WAVE files in memory for the cue tests.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace shell::test {

struct WaveFormat {
    uint16_t Tag = 1, Channels = 1;
    uint32_t Rate = 44100, ByteRate = 88200;
    uint16_t BlockAlign = 2, Bits = 16;
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int b = 0; b < bytes; ++b) {
        out.push_back(static_cast<uint8_t>(value >> (8 * b)));
    }
}

// A chunk with its header and, for an odd size, its pad byte.
inline void PutChunk(std::vector<uint8_t>& out, std::string_view tag,
                     const std::vector<uint8_t>& body) {
    out.insert(out.end(), tag.begin(), tag.end());
    PutLe(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        out.push_back(0);
    }
}

inline std::vector<uint8_t> FormatBody(const WaveFormat& f = {}) {
    std::vector<uint8_t> body;
    for (auto [value, bytes] : {std::pair<uint32_t, int>{f.Tag, 2},
                                {f.Channels, 2},
                                {f.Rate, 4},
                                {f.ByteRate, 4},
                                {f.BlockAlign, 2},
                                {f.Bits, 2}}) {
        PutLe(body, value, bytes);
    }
    return body;
}

inline std::vector<uint8_t> SampleBody(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> body;
    for (int16_t sample : samples) {
        PutLe(body, static_cast<uint16_t>(sample), 2);
    }
    return body;
}

// "RIFF", its size, "WAVE", then the chunks.
inline std::vector<uint8_t> WrapRiff(const std::vector<uint8_t>& chunks) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLe(out, static_cast<uint32_t>(chunks.size() + 4), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

// The canonical 44-byte layout: "fmt " then "data".
inline std::vector<uint8_t> MakeWave(const std::vector<int16_t>& samples,
                                     const WaveFormat& format = {}) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "fmt ", FormatBody(format));
    PutChunk(chunks, "data", SampleBody(samples));
    return WrapRiff(chunks);
}

}  // namespace shell::test
