// SPDX-License-Identifier: MIT
// The cue reader and the cues the build synthesises: the files the reader takes, the
// damaged, lying and foreign ones it refuses, and each built cue's length and loudness.
#include "shell/cue_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shell {
namespace {

using Bytes = std::vector<uint8_t>;

const std::vector<int16_t> SomeSamples = {0, 1, -1, 32767, -32768, 0x1234, -2, 7};
// PCM, mono, 44,100 samples and 88,200 bytes a second, 2-byte blocks, 16 bits.
const Bytes Format = {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 0x01, 0, 2, 0, 16, 0};

// The value's low bytes, least significant first: appended, or over the bytes from at.
void PutLe(Bytes& out, uint32_t value, int bytes, size_t at = SIZE_MAX) {
    for (int b = 0; b < bytes; ++b) {
        const auto byte = static_cast<uint8_t>(value >> (8 * b));
        if (at == SIZE_MAX) {
            out.push_back(byte);
        } else {
            out[at + b] = byte;
        }
    }
}

// A chunk: its tag, its size, its body and, for an odd size, a pad byte.
void PutChunk(Bytes& out, std::string_view tag, const Bytes& body) {
    out.insert(out.end(), tag.begin(), tag.end());
    PutLe(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        out.push_back(0);
    }
}

Bytes SampleBody(const std::vector<int16_t>& samples) {
    Bytes body;
    for (int16_t sample : samples) {
        PutLe(body, static_cast<uint16_t>(sample), 2);
    }
    return body;
}

// "RIFF", its size, "WAVE", then the chunks.
Bytes WrapRiff(const Bytes& chunks) {
    Bytes out = {'R', 'I', 'F', 'F'};
    PutLe(out, static_cast<uint32_t>(chunks.size() + 4), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

// The canonical 44-byte layout: "fmt " from byte 12, "data" from byte 36.
Bytes MakeWave(const std::vector<int16_t>& samples) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", Format);
    PutChunk(chunks, "data", SampleBody(samples));
    return WrapRiff(chunks);
}

std::optional<CueSound> Read(const Bytes& bytes) {
    return ReadCueFile(bytes);
}

TEST(ReadCueFile, ReadsCanonicalFilesAndSkipsOtherChunks) {
    const Bytes wave = MakeWave(SomeSamples);
    EXPECT_EQ(Read(wave).value_or(CueSound{}).Samples, SomeSamples);
    Bytes chunks, longFormat = Format;
    longFormat.insert(longFormat.end(), {0, 0});  // an extended header's cbSize
    PutChunk(chunks, "LIST", {1, 2, 3});          // odd size, padded
    PutChunk(chunks, "fmt ", longFormat);
    PutChunk(chunks, "fact", {9, 9, 9, 9});
    PutChunk(chunks, "data", SampleBody(SomeSamples));
    Bytes mixed = WrapRiff(chunks);
    mixed.insert(mixed.end(), {'j', 'u', 'n', 'k'});  // after the RIFF form: not read
    EXPECT_EQ(Read(mixed).value_or(CueSound{}).Samples, SomeSamples);
}

// Each shorter copy is allocated to its exact size: under the address sanitizer, a
// read past its end shows.
TEST(ReadCueFile, RejectsTruncatedFilesSizesThatLieAndOtherFormats) {
    const Bytes wave = MakeWave(SomeSamples);
    for (size_t length = 0; length < wave.size(); ++length) {
        EXPECT_FALSE(Read({wave.begin(), wave.begin() + length})) << "length " << length;
    }
    const uint32_t riff = wave.size() - 8, data = 2 * SomeSamples.size();
    struct Patch {
        size_t At;
        int Width;
        uint32_t Value;
    };
    // Sizes past the end, wrapping round, too short or odd; float samples; byte rates and
    // blocks that do not fit; not "RIFF", not "WAVE".
    const Patch lies[] = {{4, 4, riff + 1},  {4, 4, 3},           {4, 4, 0xFFFFFFFF},
                          {16, 4, 15},       {16, 4, 1000},       {16, 4, 0xFFFFFFFF},
                          {40, 4, data + 2}, {40, 4, 0xFFFFFFFF}, {40, 4, data - 1},
                          {40, 4, 0},        {20, 2, 3},          {28, 4, 88201},
                          {32, 2, 4},        {0, 1, 'X'},         {11, 1, 'X'}};
    // Whole headers of other formats: stereo, 8-bit, another rate.
    std::vector<std::vector<Patch>> refused = {{{22, 2, 2}, {28, 4, 176400}, {32, 2, 4}},
                                               {{28, 4, 44100}, {32, 2, 1}, {34, 2, 8}},
                                               {{24, 4, 22050}, {28, 4, 44100}}};
    for (const Patch& lie : lies) {
        refused.push_back({lie});
    }
    for (const std::vector<Patch>& patches : refused) {
        Bytes bytes = wave;
        for (const Patch& patch : patches) {
            PutLe(bytes, patch.Value, patch.Width, patch.At);
        }
        EXPECT_FALSE(Read(bytes)) << "at " << patches[0].At << ": " << patches[0].Value;
    }
    Bytes dataFirst, formatOnly;
    PutChunk(dataFirst, "data", SampleBody(SomeSamples));
    PutChunk(dataFirst, "fmt ", Format);
    PutChunk(formatOnly, "fmt ", Format);
    EXPECT_FALSE(Read(WrapRiff(dataFirst)));
    EXPECT_FALSE(Read(WrapRiff(formatOnly)));
}

// The built cue's samples scaled to -1..1.
std::vector<double> CueWave(int id) {
    std::ifstream file(std::string(ZARPETA_CUE_DIR) + "/" + std::to_string(id) + ".wav",
                       std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<double> wave;
    for (int16_t sample : Read(bytes).value_or(CueSound{}).Samples) {
        wave.push_back(sample / 32768.0);
    }
    return wave;
}

// The root mean square of count samples from the given one.
double Level(const std::vector<double>& wave, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) {
        sum += wave[i] * wave[i];
    }
    return std::sqrt(sum / count);
}

TEST(CueFiles, AreReadWholeWithTheirLengthsAudibleWithoutClicksAndFadingOut) {
    for (auto [id, samples] : {std::pair{210, 21718u}, {211, 2509u}, {212, 11266u}}) {
        const std::vector<double> wave = CueWave(id);
        ASSERT_EQ(wave.size(), samples) << id;
        EXPECT_LT(std::abs(wave.front()) + std::abs(wave.back()), 0.02) << id;  // no clicks
        const auto [low, high] = std::ranges::minmax(wave);
        EXPECT_GT(std::max(-low, high), 0.3) << id;  // clearly audible, not clipped
        EXPECT_LT(std::max(-low, high), 0.99) << id;
        const size_t tenth = samples / 10;
        EXPECT_LT(Level(wave, 9 * tenth, tenth), 0.1 * Level(wave, tenth, tenth)) << id;
    }
}

}  // namespace
}  // namespace shell
