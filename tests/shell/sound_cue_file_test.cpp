#include <gtest/gtest.h>

#include <memory>

#include "shell/cue_file.h"
#include "tests/shell/sound_wave.h"

namespace shell {
namespace {

using test::MakeWave;

const std::vector<int16_t> SomeSamples = {0, 1, -1, 32767, -32768, 0x1234, -2, 7};

std::optional<CueSound> Read(const std::vector<uint8_t>& bytes) {
    return ReadCueFile(std::span(bytes));
}

TEST(ReadCueFile, ReadsCanonicalFilesAndSkipsOtherChunks) {
    const auto canonical = Read(MakeWave(SomeSamples));
    ASSERT_TRUE(canonical);
    EXPECT_EQ(canonical->Samples, SomeSamples);

    std::vector<uint8_t> chunks;
    test::PutChunk(chunks, "LIST", {1, 2, 3});  // odd size, padded
    auto longFormat = test::FormatBody();
    longFormat.insert(longFormat.end(), {0, 0});  // an extended header's cbSize
    test::PutChunk(chunks, "fmt ", longFormat);
    test::PutChunk(chunks, "fact", {9, 9, 9, 9});
    test::PutChunk(chunks, "data", test::SampleBody(SomeSamples));
    auto wave = test::WrapRiff(chunks);
    wave.insert(wave.end(), {'j', 'u', 'n', 'k'});  // after the RIFF form: not read
    const auto mixed = Read(wave);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->Samples, SomeSamples);
}

TEST(ReadCueFile, RejectsTruncatedFilesAndSizesThatLie) {
    const auto wave = MakeWave(SomeSamples);
    for (size_t length = 0; length < wave.size(); ++length) {
        EXPECT_FALSE(Read({wave.begin(), wave.begin() + length})) << "length " << length;
    }
    const uint32_t dataBytes = 2 * SomeSamples.size();
    const struct {
        size_t Offset;
        uint32_t Value;
    } lies[] = {
        {4, static_cast<uint32_t>(wave.size() - 7)},  // RIFF one byte past the end
        {4, 3},                                       // RIFF too short for "WAVE"
        {4, 0xFFFFFFFF},
        {16, 1000},
        {16, 0xFFFFFFFF},
        {16, 15},  // fmt sizes
        {40, dataBytes + 2},
        {40, 0xFFFFFFFF},
        {40, dataBytes - 1},
        {40, 0},  // data sizes
    };
    for (const auto& lie : lies) {
        auto bytes = wave;
        for (int b = 0; b < 4; ++b) {
            bytes[lie.Offset + b] = static_cast<uint8_t>(lie.Value >> (8 * b));
        }
        EXPECT_FALSE(Read(bytes)) << "offset " << lie.Offset << " = " << lie.Value;
    }
}

TEST(ReadCueFile, RejectsOtherFormatsAndLayouts) {
    const test::WaveFormat others[] = {
        {.Tag = 3},  // float
        {.Channels = 2, .ByteRate = 176400, .BlockAlign = 4},
        {.ByteRate = 44100, .BlockAlign = 1, .Bits = 8},
        {.Rate = 22050, .ByteRate = 44100},
        {.ByteRate = 88201},
        {.BlockAlign = 4},
    };
    for (const auto& format : others) {
        EXPECT_FALSE(Read(MakeWave(SomeSamples, format))) << format.Tag << " " << format.Rate;
    }
    std::vector<uint8_t> dataFirst, formatOnly;
    test::PutChunk(dataFirst, "data", test::SampleBody(SomeSamples));
    test::PutChunk(dataFirst, "fmt ", test::FormatBody());
    test::PutChunk(formatOnly, "fmt ", test::FormatBody());
    EXPECT_FALSE(Read(test::WrapRiff(dataFirst)));
    EXPECT_FALSE(Read(test::WrapRiff(formatOnly)));
    for (size_t tagByte : {0, 11}) {  // not "RIFF", not "WAVE"
        auto wave = MakeWave(SomeSamples);
        wave[tagByte] = 'X';
        EXPECT_FALSE(Read(wave));
    }
}

// Random damage to a good file: whatever comes back lies within the file. Under the
// address sanitizer this also shows that nothing outside the buffer is read.
TEST(ReadCueFile, SurvivesRandomDamage) {
    const auto wave = MakeWave(SomeSamples);
    uint32_t state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    for (int round = 0; round < 20000; ++round) {
        auto bytes = wave;
        for (uint32_t hits = 1 + next() % 4; hits > 0; --hits) {
            bytes[next() % bytes.size()] = static_cast<uint8_t>(next());
        }
        const size_t size = next() % (bytes.size() + 1);
        const auto exact = std::make_unique<uint8_t[]>(size);  // no slack past its end
        std::copy(bytes.begin(), bytes.begin() + size, exact.get());
        if (const auto cue = ReadCueFile({exact.get(), size})) {
            EXPECT_LE(44 + 2 * cue->Samples.size(), size);
        }
    }
}

}  // namespace
}  // namespace shell
