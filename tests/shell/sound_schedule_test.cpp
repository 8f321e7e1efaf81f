// SPDX-License-Identifier: MIT
// The cue schedule: each cue once and whole whatever the output takes, the latest
// request cutting the one playing, and requests from many threads.
#include "shell/cue_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace shell {
namespace {

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
};

// Ticks of the player: take the latest request, then write what fits once.
void Tick(FakePlayer& player, int ticks = 1, const std::vector<CueSound>& cues = Cues) {
    for (int tick = 0; tick < ticks; ++tick) {
        if (TakeRequest(player.Schedule, player.Requests.load())) {
            player.Heard.clear();
            ++player.Cuts;
        }
        const auto bytes = NextBytes(player.Schedule, cues, player.Room);
        EXPECT_EQ(bytes.size() % 2, 0u);  // whole samples only
        const size_t taken = std::min(bytes.size(), player.TakesAtMost) & ~size_t{1};
        for (size_t at = 0; at < taken; at += 2) {
            int16_t sample;
            std::memcpy(&sample, bytes.data() + at, 2);
            player.Heard.push_back(sample);
        }
        MarkWritten(player.Schedule, taken);
    }
}

TEST(CueIndex, NamesTheThreeCuesByTheirIds) {
    EXPECT_EQ(CueIndex("#210"), 0);
    EXPECT_EQ(CueIndex("#211"), 1);
    EXPECT_EQ(CueIndex("#0212"), 2);
    for (const char* unknown : {"", "#", "210", "#213", "#21a", "#-210", "#210 ", "#4294967506"}) {
        EXPECT_EQ(CueIndex(unknown), NoCue) << unknown;
    }
}

TEST(CueSchedule, PlaysEachCueOnceAndWholeAndNeverWritesPastItsEnd) {
    for (int cue = 0; cue < CueCount; ++cue) {
        for (size_t room : {0, 1, 2, 3, 6, 64}) {
            for (size_t takes : {size_t{1}, size_t{3}, SIZE_MAX}) {
                FakePlayer player{.Room = room, .TakesAtMost = takes};
                RequestCue(player.Requests, cue);
                Tick(player, 40);  // more ticks than any cue needs
                const bool canWrite = room >= 2 && takes >= 2;
                EXPECT_EQ(player.Heard, canWrite ? Cues[cue].Samples : std::vector<int16_t>{})
                    << "cue " << cue << ", room " << room << ", takes " << takes;
                EXPECT_LE(player.Schedule.Position, Cues[cue].Samples.size() * 2);
                EXPECT_EQ(IsWriting(player.Schedule, Cues), !canWrite);
            }
        }
    }
}

TEST(CueSchedule, TheLatestRequestCutsTheCuePlayingAndTheSameCueStartsOver) {
    FakePlayer player;
    RequestCue(player.Requests, 0);
    Tick(player);
    RequestCue(player.Requests, CueCount);
    RequestCue(player.Requests, -1);
    Tick(player);
    EXPECT_EQ(player.Heard.size(), 4u);  // no such cues: cue 0 plays on
    RequestCue(player.Requests, 2);      // cuts cue 0 halfway
    Tick(player, 40);
    EXPECT_EQ(player.Cuts, 1);
    EXPECT_EQ(player.Heard, Cues[2].Samples);
    RequestCue(player.Requests, 0);
    RequestCue(player.Requests, 1);  // only the latest of several plays
    Tick(player);
    RequestCue(player.Requests, 1);  // the same cue again, while it plays
    Tick(player, 40);
    RequestCue(player.Requests, 1);  // and after it has ended
    Tick(player, 40);
    EXPECT_EQ(player.Cuts, 4);
    EXPECT_EQ(player.Heard, Cues[1].Samples);

    RequestSilence(player.Requests);
    Tick(player, 40);
    EXPECT_TRUE(player.Heard.empty());
    auto cues = Cues;
    cues[1].Samples.clear();  // a cue whose resource could not be read
    RequestCue(player.Requests, 1);
    Tick(player, 40, cues);
    EXPECT_TRUE(player.Heard.empty());
    EXPECT_FALSE(IsWriting(player.Schedule, cues));
}

// Shots ask for cues from many threads while the player feeds: every request is new,
// and the output only ever holds the start of the cue the player took last.
TEST(CueSchedule, RequestsFromManyThreadsAreEachNew) {
    FakePlayer player;
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        for (bool last = false; !last;) {
            last = done.load();  // one more tick after the last request
            Tick(player);
            const auto& cue = Cues[std::max(player.Schedule.Cue, 0)].Samples;
            ASSERT_TRUE(player.Heard.size() <= cue.size() &&
                        std::equal(player.Heard.begin(), player.Heard.end(), cue.begin()));
        }
    });
    std::vector<std::thread> shots;
    for (int t = 0; t < 4; ++t) {
        shots.emplace_back([&player, t] {
            for (int i = 0; i < 2000; ++i) {
                RequestCue(player.Requests, (t + i) % CueCount);
            }
        });
    }
    for (auto& shot : shots) {
        shot.join();
    }
    done.store(true);
    feeder.join();
    EXPECT_EQ(player.Schedule.TakenRequest, player.Requests.load());
    EXPECT_EQ(player.Requests.load() >> 8, uint64_t{4 * 2000});  // the generation
}

}  // namespace
}  // namespace shell
