// SPDX-License-Identifier: MIT
// The sound cues on the PulseAudio client library (pipewire-pulse serves it too): one
// playback stream, written by a sound thread of its own from the cues embedded as Qt
// resources.
//
// Done: the three embedded cues, loaded once; one cue at a time, the newest cutting
// off the one playing at once; requests from any thread, lock-free, returning at once;
// a sound server that goes away, even in the middle of a cue, is looked for again at
// the next cue, so cues play again as soon as it is back; one line of warning per
// outage (and for a run that never finds a server).
// Not done: sound files named at run time (the game asks only for its own cues).
//
// Why not Qt Multimedia: on Qt 6.4 its PulseAudio backend tries to reconnect once,
// 3 s after the server goes away, and stays silent for the rest of the run when the
// server is not back by then; QSoundEffect cuts the last ~120 ms of every sound and
// stays silent when played from a thread without an event loop.
#include "shell/sound.h"

#include <pthread.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <QFile>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

#include "shell/cue_file.h"
#include "shell/cue_schedule.h"

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------

constexpr uint32_t BytesPerMillisecond = CueSampleRate * 2 / 1000;
// Written 10 ms at a time, so a new request is seen within 10 ms of audio; the server
// holds 60 ms at most, which a cut drops.
constexpr uint32_t ChunkBytes = 10 * BytesPerMillisecond;
constexpr uint32_t BufferBytes = 60 * BytesPerMillisecond;
// A cue asked for this soon after a failed connection is dropped without a new try.
constexpr auto RetryAfter = std::chrono::milliseconds(250);

const char* const CueResources[CueCount] = {":/zarpeta/cues/210.wav", ":/zarpeta/cues/211.wav",
                                            ":/zarpeta/cues/212.wav"};

// ---- Types ----------------------------------------------------------------------

// The sound thread's own.
struct Player {
    std::vector<CueSound> Cues;   // by cue index; an unreadable cue stays empty
    pa_simple* Stream = nullptr;  // null while no server is reached
    CueSchedule Schedule;
    bool Warned = false;                              // the current outage has been told of
    std::chrono::steady_clock::time_point RetryAt{};  // no new connection before
};

// ---- Module state ---------------------------------------------------------------

// Never destroyed: the sound thread runs until the process ends.
Player& Sound = *new Player;
std::atomic<uint64_t> Requests{0};  // the latest request word (shell/cue_schedule.h)
std::atomic<bool> Started{false};

// ---- Internal helpers -----------------------------------------------------------

std::vector<CueSound> LoadCues() {
    std::vector<CueSound> cues(CueCount);
    for (int32_t index = 0; index < CueCount; ++index) {
        QFile file(QString::fromLatin1(CueResources[index]));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray bytes = file.readAll();
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
        if (auto cue = ReadCueFile({data, static_cast<size_t>(bytes.size())})) {
            cues[index] = std::move(*cue);
        }
    }
    return cues;
}

void WarnOfOutage(int error) {
    if (!Sound.Warned) {
        Sound.Warned = true;
        std::fprintf(
            stderr,
            "zarpeta: no hay servidor de sonido (%s); el juego sigue sin sonido hasta que vuelva\n",
            pa_strerror(error));
    }
}

bool Connect() {
    if (Sound.Stream != nullptr) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < Sound.RetryAt) {
        return false;
    }
    const pa_sample_spec format{PA_SAMPLE_S16LE, CueSampleRate, 1};
    // Playback starts as soon as the first chunk is there.
    const pa_buffer_attr buffer{static_cast<uint32_t>(-1), BufferBytes, ChunkBytes, ChunkBytes,
                                static_cast<uint32_t>(-1)};
    int error = 0;
    Sound.Stream = pa_simple_new(nullptr, "Zarpeta", PA_STREAM_PLAYBACK, nullptr, "cues", &format,
                                 nullptr, &buffer, &error);
    if (Sound.Stream == nullptr) {
        Sound.RetryAt = now + RetryAfter;
        WarnOfOutage(error);
        return false;
    }
    Sound.Warned = false;
    return true;
}

void Disconnect(int error) {
    pa_simple_free(Sound.Stream);
    Sound.Stream = nullptr;
    WarnOfOutage(error);
}

// Writes the scheduled cue chunk by chunk until it is all written or a newer request
// comes. False when the server went away on the way.
bool WriteCue() {
    int error = 0;
    while (IsWriting(Sound.Schedule, Sound.Cues) &&
           Requests.load() == Sound.Schedule.TakenRequest) {
        const std::span<const std::byte> bytes = NextBytes(Sound.Schedule, Sound.Cues, ChunkBytes);
        if (pa_simple_write(Sound.Stream, bytes.data(), bytes.size(), &error) < 0) {
            Disconnect(error);
            return false;
        }
        MarkWritten(Sound.Schedule, bytes.size());
    }
    return true;
}

// Acts on the latest request: drops what the server still holds of the cue before,
// then writes the new one. A stream whose server has gone is found out at its first
// write; one new connection is tried at once, so the cue is not lost to it.
void PlayLatest() {
    const bool cut = TakeRequest(Sound.Schedule, Requests.load());
    int error = 0;
    if (cut && Sound.Stream != nullptr && pa_simple_flush(Sound.Stream, &error) < 0) {
        Disconnect(error);
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Connect() || WriteCue()) {
            return;
        }
    }
}

void* RunSound(void*) {
    Connect();
    for (;;) {
        Requests.wait(Sound.Schedule.TakenRequest);
        PlayLatest();
    }
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

void StartSound() {
    if (Started.exchange(true)) {
        return;
    }
    Sound.Cues = LoadCues();
    Sound.Schedule.TakenRequest = Requests.load();  // nothing asked for before start-up plays
    pthread_t thread{};
    if (pthread_create(&thread, nullptr, &RunSound, nullptr) != 0) {
        std::fprintf(
            stderr, "zarpeta: no se puede iniciar el hilo del sonido; el juego sigue sin sonido\n");
        return;
    }
    pthread_detach(thread);
}

void PlaySoundCue(std::string_view name) {
    if (name.empty()) {
        RequestSilence(Requests);
    } else if (const int32_t cue = CueIndex(name); cue != NoCue) {
        RequestCue(Requests, cue);
    } else {
        return;
    }
    Requests.notify_one();
}

}  // namespace shell
