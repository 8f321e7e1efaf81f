// SPDX-License-Identifier: MIT
// The cue reader, the cues the build synthesises and the cue schedule: each cue once
// and whole whatever the output takes, the latest request cutting the one playing,
// and requests from many threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "game/cue.h"
#include "shell/cue_file.h"
#include "shell/cue_schedule.h"

namespace shell {
namespace {

using enum game::Cue;
using Bytes = std::vector<uint8_t>;

// Writes the value's low bytes, least significant first, over the bytes from at.
void Put(Bytes& out, size_t at, int bytes, uint32_t value) {
    for (int b = 0; b < bytes; ++b) {
        out[at + b] = uint8_t(value >> 8 * b);
    }
}

// A RIFF form of the chunks (tag, body), each padded to an even size.
Bytes Riff(std::initializer_list<std::pair<std::string, Bytes>> chunks) {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& [tag, body] : chunks) {
        out.insert(out.end(), tag.begin(), tag.end());
        out.insert(out.end(), 4, uint8_t{0});
        Put(out, out.size() - 4, 4, uint32_t(body.size()));
        out.insert(out.end(), body.begin(), body.end());
        out.insert(out.end(), body.size() % 2, uint8_t{0});
    }
    Put(out, 4, 4, uint32_t(out.size() - 8));
    return out;
}

const std::vector<int16_t> SomeSamples = {0, 1, -1, 32767, -32768, 0x1234, -2, 7};
const Bytes Samples = {0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0x80, 0x34, 0x12, 0xFE, 0xFF, 7, 0};
// PCM, mono, 44,100 samples and 88,200 bytes a second, 2-byte blocks, 16 bits.
const Bytes Format = {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 0x01, 0, 2, 0, 16, 0};

TEST(ReadCueFile, ReadsCanonicalFilesSkipsOtherChunksAndRefusesAnyOtherFile) {
    const Bytes wave = Riff({{"fmt ", Format}, {"data", Samples}});  // "data" from byte 36
    Bytes extended = Format, mixed;
    extended.insert(extended.end(), {0, 0});  // an extended header's cbSize
    mixed =
        Riff({{"LIST", {1, 2, 3}}, {"fmt ", extended}, {"fact", {9, 9, 9, 9}}, {"data", Samples}});
    mixed.insert(mixed.end(), {'j', 'u', 'n', 'k'});  // after the RIFF form: not read
    for (const Bytes& good : {wave, mixed}) {
        EXPECT_EQ(ReadCueFile(good).value_or(CueSound{}).Samples, SomeSamples);
    }
    // (file, at, bytes, value): sizes past the end, wrapping round, too short or odd; float
    // samples; rates, blocks and sample sizes that do not fit; not "RIFF", not "WAVE";
    // whole headers of other formats: stereo, 8-bit, another rate.
    const uint32_t lies[][4] = {
        {0, 4, 4, 45},    {1, 4, 4, 3},           {2, 4, 4, 0xFFFFFFFF}, {3, 16, 4, 15},
        {4, 16, 4, 1000}, {5, 16, 4, 0xFFFFFFFF}, {6, 40, 4, 18},        {7, 40, 4, 0xFFFFFFFF},
        {8, 40, 4, 15},   {9, 40, 4, 0},          {10, 20, 2, 3},        {11, 28, 4, 88201},
        {12, 32, 2, 4},   {13, 34, 2, 8},         {14, 0, 1, 'X'},       {15, 11, 1, 'X'},
        {16, 22, 2, 2},   {16, 28, 4, 176400},    {16, 32, 2, 4},        {17, 28, 4, 44100},
        {17, 32, 2, 1},   {17, 34, 2, 8},         {18, 24, 4, 22050},    {18, 28, 4, 44100}};
    std::vector<Bytes> refused(19, wave);
    for (const auto& [file, at, width, value] : lies) {
        Put(refused[file], at, int(width), value);
    }
    refused.push_back(Riff({{"data", Samples}, {"fmt ", Format}}));
    refused.push_back(Riff({{"fmt ", Format}}));
    // Each shorter copy is allocated to its exact size: the address sanitizer sees a
    // read past its end.
    for (size_t length = 0; length < wave.size(); ++length) {
        refused.emplace_back(wave.begin(), wave.begin() + length);
    }
    for (const Bytes& bytes : refused) {
        EXPECT_FALSE(ReadCueFile(bytes)) << "refused file " << &bytes - refused.data();
    }
}

TEST(CueFiles, AreReadWholeWithTheirLengthsAudibleWithoutClicksAndFadingOut) {
    for (auto [cue, samples] :
         {std::pair{CueBlockHit, 21718u}, {CueBarHit, 2509u}, {CueShot, 11266u}}) {
        const std::string id(game::CueTable[cue].File);
        std::ifstream file(ZARPETA_CUE_DIR "/" + id);
        const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const std::vector<int16_t> wave = ReadCueFile(bytes).value_or(CueSound{}).Samples;
        ASSERT_EQ(wave.size(), samples) << id;
        EXPECT_LT(std::abs(wave.front()) + std::abs(wave.back()), 650) << id;  // no clicks
        const auto [low, high] = std::ranges::minmax(wave);
        const int peak = std::max(-low, int(high));
        EXPECT_TRUE(peak > 0.3 * 32768 && peak < 0.99 * 32768) << id;  // audible, not clipped
        const auto level = [&](size_t tenth) {  // the root mean square of that tenth
            const auto from = wave.begin() + tenth * wave.size() / 10, to = from + wave.size() / 10;
            return std::sqrt(std::inner_product(from, to, from, 0.0));
        };
        EXPECT_LT(level(9), 0.1 * level(1)) << id;
    }
}

// Three cues of distinct lengths and contents, so that every sample names its cue.
const std::vector<CueSound> Cues = {{{100, 101, 102, 103, 104, 105, 106, 107, 108, 109}},
                                    {{200, 201, 202}},
                                    {{300, 301, 302, 303, 304, 305, 306}}};

// The feeding thread's side, with a stand-in for the audio output.
struct FakePlayer {
    std::atomic<uint64_t> Requests{0};
    CueSchedule Schedule = {};
    std::vector<int16_t> Heard = {};  // what the output holds since the last cut
    int Cuts = 0;
    size_t Room = 4;                // bytes offered per write
    size_t TakesAtMost = SIZE_MAX;  // an output may take less than it is offered

    void Play(game::Cue cue, int ticks = 40) {
        RequestCue(Requests, cue);
        Tick(ticks);
    }
    // Ticks: take the latest request, then write what fits once.
    void Tick(int ticks = 1, const std::vector<CueSound>& cues = Cues) {
        for (int tick = 0; tick < ticks; ++tick) {
            if (TakeRequest(Schedule, Requests.load())) {
                Heard.clear();
                ++Cuts;
            }
            const auto bytes = NextBytes(Schedule, cues, Room);
            EXPECT_EQ(bytes.size() % 2, 0u);  // whole samples only
            const size_t taken = std::min(bytes.size(), TakesAtMost) & ~size_t{1};
            const auto* samples = reinterpret_cast<const int16_t*>(bytes.data());
            Heard.insert(Heard.end(), samples, samples + taken / 2);
            MarkWritten(Schedule, taken);
        }
    }
};

TEST(CueSchedule, PlaysEachCueOnceAndWholeAndNeverWritesPastItsEnd) {
    for (const auto cue : {CueBlockHit, CueBarHit, CueShot}) {
        for (size_t room : {0, 1, 2, 3, 6, 64}) {
            for (size_t takes : {size_t{1}, size_t{3}, SIZE_MAX}) {
                FakePlayer player{.Room = room, .TakesAtMost = takes};
                RequestCue(player.Requests, cue);
                player.Tick(40);  // more ticks than any cue needs
                const bool canWrite = room >= 2 && takes >= 2;
                EXPECT_EQ(player.Heard, canWrite ? Cues[cue].Samples : std::vector<int16_t>{})
                    << "cue " << cue << ", room " << room << ", takes " << takes;
                EXPECT_TRUE(player.Schedule.Position <= Cues[cue].Samples.size() * 2 &&
                            IsWriting(player.Schedule, Cues) == !canWrite);
            }
        }
    }
}

TEST(CueSchedule, TheLatestRequestCutsTheCuePlayingAndTheSameCueStartsOver) {
    FakePlayer player;
    player.Play(CueBlockHit, 2);
    player.Play(CueShot);  // cuts the first cue halfway
    EXPECT_EQ(std::pair(player.Cuts, player.Heard), std::pair(1, Cues[2].Samples));
    RequestCue(player.Requests, CueBlockHit);
    player.Play(CueBarHit, 1);  // only the latest of several plays
    player.Play(CueBarHit);     // the same cue again, while it plays
    player.Play(CueBarHit);     // and after it has ended
    EXPECT_EQ(std::pair(player.Cuts, player.Heard), std::pair(4, Cues[1].Samples));
    auto unread = Cues;
    unread[1].Samples.clear();  // a cue whose resource could not be read
    RequestCue(player.Requests, CueBarHit);
    player.Tick(40, unread);
    EXPECT_TRUE(player.Heard.empty());
    EXPECT_FALSE(IsWriting(player.Schedule, unread));
}

// Shots ask for cues from many threads while the player feeds: every request is new,
// and the output only ever holds the start of the cue the player took last.
TEST(CueSchedule, RequestsFromManyThreadsAreEachNew) {
    FakePlayer player;
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        for (bool last = false; !last;) {
            last = done.load();  // one more tick after the last request
            player.Tick();
            const auto& cue = Cues[std::max(player.Schedule.Cue, 0)].Samples;
            ASSERT_TRUE(player.Heard.size() <= cue.size() &&
                        std::equal(player.Heard.begin(), player.Heard.end(), cue.begin()));
        }
    });
    for (std::vector<std::jthread> shots; shots.size() < 4;) {  // joined as the loop ends
        shots.emplace_back([&player, t = shots.size()] {
            for (size_t i = 0; i < 2000; ++i) {
                RequestCue(player.Requests, game::Cue((t + i) % game::CueCount));
            }
        });
    }
    done.store(true);
    feeder.join();
    EXPECT_EQ(player.Schedule.TakenRequest, player.Requests.load());
    EXPECT_EQ(player.Requests.load() >> 8, uint64_t{4 * 2000});  // the generation
}

}  // namespace
}  // namespace shell
