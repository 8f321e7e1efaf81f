#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "shell/cue_schedule.h"

namespace shell {
namespace {

// Three cues of distinct lengths and contents, so that every sample names its cue.
const std::vector<CueSound> Cues = [] {
    std::vector<CueSound> cues(CueCount);
    const int lengths[CueCount] = {10, 3, 7};
    for (int cue = 0; cue < CueCount; ++cue) {
        for (int i = 0; i < lengths[cue]; ++i) {
            cues[cue].Samples.push_back(static_cast<int16_t>(1000 * (cue + 1) + i));
        }
    }
    return cues;
}();

// Stands in for the audio sink: what it holds since the last cut, and what it takes.
struct FakeSink {
    std::vector<int16_t> Heard = {};
    int Cuts = 0;
    size_t Room = 4;                // bytes offered per write
    size_t TakesAtMost = SIZE_MAX;  // a sink may take less than it is offered
};

// One tick of the player: take the latest request, then write what fits once.
void Tick(CueSchedule& schedule, const std::atomic<uint64_t>& requests, FakeSink& sink,
          const std::vector<CueSound>& cues = Cues) {
    if (TakeRequest(schedule, requests.load())) {
        sink.Heard.clear();
        ++sink.Cuts;
    }
    const auto bytes = NextBytes(schedule, cues, sink.Room);
    ASSERT_EQ(bytes.size() % 2, 0u);
    const size_t taken = std::min(bytes.size(), sink.TakesAtMost) & ~size_t{1};
    for (size_t at = 0; at < taken; at += 2) {
        int16_t sample;
        std::memcpy(&sample, bytes.data() + at, 2);
        sink.Heard.push_back(sample);
    }
    MarkWritten(schedule, taken);
}

void TickMany(CueSchedule& schedule, const std::atomic<uint64_t>& requests, FakeSink& sink,
              const std::vector<CueSound>& cues = Cues) {
    for (int tick = 0; tick < 40; ++tick) {
        Tick(schedule, requests, sink, cues);
    }
}

TEST(CueIndex, NamesTheThreeCuesByTheirIds) {
    EXPECT_EQ(CueIndex("#210"), 0);
    EXPECT_EQ(CueIndex("#211"), 1);
    EXPECT_EQ(CueIndex("#0212"), 2);
    for (const char* unknown :
         {"", "#", "210", "#213", "#21a", "#-210", "#+210", "#210 ", "#4294967506"}) {
        EXPECT_EQ(CueIndex(unknown), NoCue) << unknown;
    }
}

TEST(CueSchedule, PlaysEachCueOnceAndWholeAndNeverWritesPastItsEnd) {
    for (int cue = 0; cue < CueCount; ++cue) {
        for (size_t room : {0, 1, 2, 3, 6, 64}) {
            for (size_t takes : {size_t{1}, size_t{3}, SIZE_MAX}) {
                std::atomic<uint64_t> requests{0};
                CueSchedule schedule;
                FakeSink sink{.Room = room, .TakesAtMost = takes};
                RequestCue(requests, cue);
                TickMany(schedule, requests, sink);  // more ticks than any cue needs
                const bool canWrite = room >= 2 && takes >= 2;
                EXPECT_EQ(sink.Heard, canWrite ? Cues[cue].Samples : std::vector<int16_t>{})
                    << "cue " << cue << ", room " << room << ", takes " << takes;
                EXPECT_LE(schedule.Position, Cues[cue].Samples.size() * 2);
                EXPECT_EQ(IsWriting(schedule, Cues), !canWrite);
            }
        }
    }
}

TEST(CueSchedule, TheLatestRequestCutsTheCuePlayingAndTheSameCueStartsOver) {
    std::atomic<uint64_t> requests{0};
    CueSchedule schedule;
    FakeSink sink;
    RequestCue(requests, 0);
    Tick(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 0);  // nothing was playing

    RequestCue(requests, 2);  // cuts cue 0 halfway
    TickMany(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 1);
    EXPECT_EQ(sink.Heard, Cues[2].Samples);

    RequestCue(requests, 0);
    RequestCue(requests, 1);  // only the latest of several plays
    Tick(schedule, requests, sink);
    RequestCue(requests, 1);  // the same cue again, while it plays
    TickMany(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 3);
    EXPECT_EQ(sink.Heard, Cues[1].Samples);

    RequestCue(requests, 1);  // and after it has ended
    TickMany(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 4);
    EXPECT_EQ(sink.Heard, Cues[1].Samples);
}

TEST(CueSchedule, SilenceStopsTheCueWhileBadIndicesAndEmptyCuesPlayNothing) {
    std::atomic<uint64_t> requests{0};
    CueSchedule schedule;
    FakeSink sink;
    RequestCue(requests, 0);
    Tick(schedule, requests, sink);
    RequestCue(requests, CueCount);
    RequestCue(requests, -1);
    Tick(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 0);  // still cue 0
    EXPECT_EQ(sink.Heard.size(), 4u);

    RequestSilence(requests);
    TickMany(schedule, requests, sink);
    EXPECT_EQ(sink.Cuts, 1);
    EXPECT_TRUE(sink.Heard.empty());

    auto cues = Cues;
    cues[1].Samples.clear();  // a cue whose resource could not be read
    RequestCue(requests, 1);
    TickMany(schedule, requests, sink, cues);
    EXPECT_TRUE(sink.Heard.empty());
    EXPECT_FALSE(IsWriting(schedule, cues));
}

// Shots ask for cues from many threads while the player feeds: every request is new,
// and the sink only ever holds the start of the cue the player took last.
TEST(CueSchedule, RequestsFromManyThreadsAreEachNew) {
    std::atomic<uint64_t> requests{0};
    std::atomic<bool> done{false};
    std::thread player([&] {
        CueSchedule schedule;
        FakeSink sink;
        for (bool last = false; !last;) {
            last = done.load();  // one more tick after the last request
            Tick(schedule, requests, sink);
            if (schedule.Cue != NoCue) {
                const auto& samples = Cues[schedule.Cue].Samples;
                ASSERT_LE(sink.Heard.size(), samples.size());
                ASSERT_TRUE(std::equal(sink.Heard.begin(), sink.Heard.end(), samples.begin()));
            }
        }
        EXPECT_EQ(schedule.TakenRequest, requests.load());
    });
    constexpr int Threads = 4, PerThread = 2000;
    std::vector<std::thread> shots;
    for (int t = 0; t < Threads; ++t) {
        shots.emplace_back([&requests, t] {
            for (int i = 0; i < PerThread; ++i) {
                RequestCue(requests, (t + i) % CueCount);
            }
        });
    }
    for (auto& shot : shots) {
        shot.join();
    }
    done.store(true);
    player.join();
    EXPECT_EQ(requests.load() >> 8, uint64_t{Threads * PerThread});  // the generation
}

}  // namespace
}  // namespace shell
