// The cue reader and the cues the build synthesises: the files the reader takes, the
// damaged, lying and foreign ones it refuses, and each built cue's bytes and character.
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

// The canonical 44-byte layout: "fmt " (PCM, mono, 44,100 samples and 88,200 bytes a
// second, 2-byte blocks, 16 bits), then "data" from byte 36.
Bytes MakeWave(const std::vector<int16_t>& samples) {
    Bytes format, chunks;
    for (auto [value, width] :
         {std::pair{1u, 2}, {1u, 2}, {44100u, 4}, {88200u, 4}, {2u, 2}, {16u, 2}}) {
        PutLe(format, value, width);
    }
    PutChunk(chunks, "fmt ", format);
    PutChunk(chunks, "data", SampleBody(samples));
    return WrapRiff(chunks);
}

std::optional<CueSound> Read(const Bytes& bytes) {
    return ReadCueFile(std::span(bytes));
}

TEST(ReadCueFile, ReadsCanonicalFilesAndSkipsOtherChunks) {
    const Bytes wave = MakeWave(SomeSamples);
    EXPECT_EQ(Read(wave).value_or(CueSound{}).Samples, SomeSamples);
    Bytes chunks, longFormat(wave.begin() + 20, wave.begin() + 36);
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
    const std::vector<Patch> refused[] = {
        {{4, 4, riff + 1}},                         // the RIFF form's size, past the end
        {{4, 4, 3}},                                // too short for "WAVE"
        {{4, 4, 0xFFFFFFFF}},                       //
        {{16, 4, 1000}},                            // the format's size
        {{16, 4, 0xFFFFFFFF}},                      //
        {{16, 4, 15}},                              //
        {{40, 4, data + 2}},                        // the samples' size
        {{40, 4, 0xFFFFFFFF}},                      //
        {{40, 4, data - 1}},                        //
        {{40, 4, 0}},                               //
        {{20, 2, 3}},                               // float samples
        {{22, 2, 2}, {28, 4, 176400}, {32, 2, 4}},  // stereo
        {{28, 4, 44100}, {32, 2, 1}, {34, 2, 8}},   // 8-bit
        {{24, 4, 22050}, {28, 4, 44100}},           // another rate
        {{28, 4, 88201}},                           // a byte rate that does not fit
        {{32, 2, 4}},                               // a block that does not fit
        {{0, 1, 'X'}},                              // not "RIFF"
        {{11, 1, 'X'}},                             // not "WAVE"
    };
    for (const std::vector<Patch>& patches : refused) {
        Bytes bytes = wave;
        for (const Patch& patch : patches) {
            PutLe(bytes, patch.Value, patch.Width, patch.At);
        }
        EXPECT_FALSE(Read(bytes)) << "at " << patches[0].At << ": " << patches[0].Value;
    }
    const Bytes format(wave.begin() + 20, wave.begin() + 36);
    Bytes dataFirst, formatOnly;
    PutChunk(dataFirst, "data", SampleBody(SomeSamples));
    PutChunk(dataFirst, "fmt ", format);
    PutChunk(formatOnly, "fmt ", format);
    EXPECT_FALSE(Read(WrapRiff(dataFirst)));
    EXPECT_FALSE(Read(WrapRiff(formatOnly)));
}

// ---- The built cues -----------------------------------------------------------------

Bytes CueBytes(int id) {
    std::ifstream file(std::string(ZARPETA_CUE_DIR) + "/" + std::to_string(id) + ".wav",
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The cue's samples scaled to -1..1.
std::vector<double> CueWave(int id) {
    std::vector<double> wave;
    for (int16_t sample : Read(CueBytes(id)).value_or(CueSound{}).Samples) {
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

// The frequency of a tone from its zero crossings, interpolated between samples.
double ToneFrequency(const std::vector<double>& wave, size_t from, size_t count) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < from + count; ++i) {
        if ((wave[i - 1] < 0) != (wave[i] < 0)) {
            last = (i - 1) + wave[i - 1] / (wave[i - 1] - wave[i]);
            first = first < 0 ? last : first;
            ++crossings;
        }
    }
    return crossings < 3 ? 0.0 : (crossings - 1) * CueSampleRate / (2.0 * (last - first));
}

TEST(CueFiles, HaveTheirExactSizesTheCanonicalHeaderAndSilentEnds) {
    for (auto [id, size] : {std::pair{210, 43480u}, {211, 5062u}, {212, 22576u}}) {
        const Bytes bytes = CueBytes(id);
        ASSERT_EQ(bytes.size(), size) << id;
        Bytes header = MakeWave({});
        PutLe(header, size - 8, 4, 4);
        PutLe(header, size - 44, 4, 40);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 44), header) << id;
        const std::vector<double> wave = CueWave(id);
        ASSERT_EQ(wave.size(), (size - 44) / 2) << id;
        EXPECT_LT(std::abs(wave.front()) + std::abs(wave.back()), 0.02) << id;  // no clicks
        const auto [low, high] = std::ranges::minmax(wave);
        EXPECT_GT(std::max(-low, high), 0.3) << id;  // clearly audible, not clipped
        EXPECT_LT(std::max(-low, high), 0.99) << id;
    }
}

TEST(CueFiles, TheHitsAreLowKnocksDyingAway) {
    for (auto [id, highestHz] : {std::pair{210, 200.0}, {211, 400.0}}) {
        const std::vector<double> wave = CueWave(id);
        const size_t tenth = wave.size() / 10;
        EXPECT_LT(ToneFrequency(wave, 0, wave.size()), highestHz) << id;
        EXPECT_LT(Level(wave, 9 * tenth, tenth), 0.1 * Level(wave, 0, tenth)) << id;
    }
}

TEST(CueFiles, TheShotSlidesDownFrom1900To150HzSteadyThenFading) {
    const std::vector<double> wave = CueWave(212);
    const size_t tenth = wave.size() / 10;
    EXPECT_NEAR(ToneFrequency(wave, 0, 200), 1900.0, 100.0);  // the first 4.5 ms
    EXPECT_NEAR(ToneFrequency(wave, 9 * tenth, tenth * 8 / 10), 150.0, 50.0);
    const double steady = Level(wave, tenth, tenth);
    EXPECT_NEAR(Level(wave, 4 * tenth, tenth), steady, 0.08 * steady);
    EXPECT_LT(Level(wave, 9 * tenth, tenth), 0.1 * steady);
}

}  // namespace
}  // namespace shell
