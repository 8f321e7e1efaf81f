// SPDX-License-Identifier: MIT
// The sound cues on the PulseAudio client library (pipewire-pulse serves it too): one
// playback stream, written by a sound thread of its own from the cues embedded as Qt
// resources.
//
// Done: the embedded cues, loaded once; one cue at a time, the newest cutting
// off the one playing at once; requests from any thread, lock-free, returning at once;
// a sound server that goes away, even in the middle of a cue, is looked for again at
// the next cue, so cues play again as soon as it is back; one line of warning per
// outage (and for a run that never finds a server); the client and its stream carry
// the game's name, desktop entry and icon, and the stream the role "game", so mixers
// show it with its icon and a server's policy treats it as a game's sound.
// Not done: sound files named at run time (the game asks only for its own cues).
//
// Why not Qt Multimedia: on Qt 6.4 its PulseAudio backend tries to reconnect once,
// 3 s after the server goes away, and stays silent for the rest of the run when the
// server is not back by then; QSoundEffect cuts the last ~120 ms of every sound and
// stays silent when played from a thread without an event loop.
// Why not the library's simple API: it takes no property list, and the only other way
// to give one, PULSE_PROP in the environment, would change the environment of a
// running process with threads that read it. The asynchronous API below does what the
// simple one does: the library's loop thread serves the connection, and the sound
// thread waits on it under its lock.
#include "shell/sound.h"

#include <pthread.h>
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/cue_file.h"
#include "shell/cue_schedule.h"
#include "shell/machine.h"

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

// Where shell/sound.cmake embeds the cues' files.
constexpr std::string_view CueResourceFolder = ":/zarpeta/cues/";

// ---- Types ----------------------------------------------------------------------

// The sound thread's own. The connection's objects are used only with Loop locked.
struct Player {
    std::vector<CueSound> Cues;            // by cue index; an unreadable cue stays empty
    pa_threaded_mainloop* Loop = nullptr;  // the library's thread, for the process's life
    pa_proplist* Client = nullptr;         // what mixers show of the game
    pa_proplist* Stream = nullptr;         // what the stream plays
    pa_context* Server = nullptr;          // null while no server is reached
    pa_stream* Output = nullptr;           // ready whenever Server is set
    CueSchedule Schedule;
    bool Warned = false;                              // the current outage has been told of
    std::chrono::steady_clock::time_point RetryAt{};  // no new connection before
};

// Holds the library's loop while the sound thread uses the connection.
struct LoopLock {
    explicit LoopLock(pa_threaded_mainloop* loop) : Loop(loop) { pa_threaded_mainloop_lock(Loop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(Loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;
    pa_threaded_mainloop* const Loop;
};

// ---- Module state ---------------------------------------------------------------

// Never destroyed: the sound thread runs until the process ends.
Player& Sound = *new Player;
std::atomic<uint64_t> Requests{0};  // the latest request word (shell/cue_schedule.h)
std::atomic<bool> Started{false};

// ---- Internal helpers -----------------------------------------------------------

std::vector<CueSound> LoadCues() {
    std::vector<CueSound> cues(game::CueCount);
    for (const game::CueRow& row : game::CueTable) {
        QFile file(QString::fromLatin1(CueResourceFolder) + QString::fromLatin1(row.File));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray bytes = file.readAll();
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
        if (auto cue = ReadCueFile({data, static_cast<size_t>(bytes.size())})) {
            cues[row.Id] = std::move(*cue);
        }
    }
    return cues;
}

// Both PulseAudio's server and PipeWire's copy the client's properties onto its
// streams, so mixers show the stream under the game's name and icon.
void SetProperties() {
    Sound.Client = pa_proplist_new();
    pa_proplist_sets(Sound.Client, PA_PROP_APPLICATION_NAME, "Zarpeta");
    pa_proplist_sets(Sound.Client, PA_PROP_APPLICATION_ID, ZARPETA_DESKTOP_ID);
    pa_proplist_sets(Sound.Client, PA_PROP_APPLICATION_ICON_NAME, ZARPETA_ICON_NAME);
    Sound.Stream = pa_proplist_new();
    pa_proplist_sets(Sound.Stream, PA_PROP_MEDIA_NAME, "cues");
    pa_proplist_sets(Sound.Stream, PA_PROP_MEDIA_ROLE, "game");
}

// Called on the library's thread whenever the connection changes: a new state, room
// to write, a flush done. The sound thread then looks again at what it waits for.
template <typename... Ignored>
void Wake(Ignored...) {
    pa_threaded_mainloop_signal(Sound.Loop, 0);
}

// With the loop locked: waits until ready() holds; false as soon as the connection
// has failed or ended.
template <typename Ready>
bool WaitFor(Ready ready) {
    while (!ready()) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(Sound.Server)) ||
            (Sound.Output != nullptr && !PA_STREAM_IS_GOOD(pa_stream_get_state(Sound.Output)))) {
            return false;
        }
        pa_threaded_mainloop_wait(Sound.Loop);
    }
    return true;
}

// With the loop locked: ends the connection, if any.
void Close() {
    if (Sound.Output != nullptr) {
        pa_stream_disconnect(Sound.Output);
        pa_stream_unref(Sound.Output);
        Sound.Output = nullptr;
    }
    if (Sound.Server != nullptr) {
        pa_context_disconnect(Sound.Server);
        pa_context_unref(Sound.Server);
        Sound.Server = nullptr;
    }
}

// With the loop locked: connects to the server and opens the playback stream, or
// leaves no connection and the reason in error.
bool Open(int& error) {
    const pa_sample_spec format{PA_SAMPLE_S16LE, CueSampleRate, 1};
    // Playback starts as soon as the first chunk is there.
    const pa_buffer_attr buffer{static_cast<uint32_t>(-1), BufferBytes, ChunkBytes, ChunkBytes,
                                static_cast<uint32_t>(-1)};
    Sound.Server = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(Sound.Loop), nullptr,
                                                Sound.Client);
    if (Sound.Server == nullptr) {
        error = PA_ERR_INTERNAL;
        return false;
    }
    pa_context_set_state_callback(Sound.Server, &Wake<pa_context*, void*>, nullptr);
    bool open = pa_context_connect(Sound.Server, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0 &&
                WaitFor([] { return pa_context_get_state(Sound.Server) == PA_CONTEXT_READY; });
    if (open) {
        Sound.Output =
            pa_stream_new_with_proplist(Sound.Server, nullptr, &format, nullptr, Sound.Stream);
        open = Sound.Output != nullptr;
    }
    if (open) {
        pa_stream_set_state_callback(Sound.Output, &Wake<pa_stream*, void*>, nullptr);
        pa_stream_set_write_callback(Sound.Output, &Wake<pa_stream*, size_t, void*>, nullptr);
        // The server keeps no more than the buffer asks for, so a cut is heard at once.
        open = pa_stream_connect_playback(Sound.Output, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                          nullptr, nullptr) >= 0 &&
               WaitFor([] { return pa_stream_get_state(Sound.Output) == PA_STREAM_READY; });
    }
    if (!open) {
        error = pa_context_errno(Sound.Server);
        Close();
    }
    return open;
}

// Writes the bytes as the server makes room for them.
bool Write(std::span<const std::byte> bytes, int& error) {
    const LoopLock lock(Sound.Loop);
    size_t room = 0;
    while (!bytes.empty()) {
        if (!WaitFor([&room] { return (room = pa_stream_writable_size(Sound.Output)) > 0; })) {
            error = pa_context_errno(Sound.Server);
            return false;
        }
        const size_t size = std::min(room, bytes.size());
        if (pa_stream_write(Sound.Output, bytes.data(), size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            error = pa_context_errno(Sound.Server);
            return false;
        }
        bytes = bytes.subspan(size);
    }
    return true;
}

// Drops what the server still holds.
bool Flush(int& error) {
    const LoopLock lock(Sound.Loop);
    pa_operation* flush = pa_stream_flush(Sound.Output, &Wake<pa_stream*, int, void*>, nullptr);
    const bool done =
        flush != nullptr &&
        WaitFor([flush] { return pa_operation_get_state(flush) != PA_OPERATION_RUNNING; }) &&
        pa_operation_get_state(flush) == PA_OPERATION_DONE;
    if (flush != nullptr) {
        pa_operation_unref(flush);
    }
    if (!done) {
        error = pa_context_errno(Sound.Server);
    }
    return done;
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
    if (Sound.Server != nullptr) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < Sound.RetryAt) {
        return false;
    }
    int error = 0;
    const LoopLock lock(Sound.Loop);
    if (!Open(error)) {
        Sound.RetryAt = now + RetryAfter;
        WarnOfOutage(error);
        return false;
    }
    Sound.Warned = false;
    return true;
}

void Disconnect(int error) {
    const LoopLock lock(Sound.Loop);
    Close();
    WarnOfOutage(error);
}

// Writes the scheduled cue chunk by chunk until it is all written or a newer request
// comes. False when the server went away on the way.
bool WriteCue() {
    int error = 0;
    while (IsWriting(Sound.Schedule, Sound.Cues) &&
           Requests.load() == Sound.Schedule.TakenRequest) {
        const std::span<const std::byte> bytes = NextBytes(Sound.Schedule, Sound.Cues, ChunkBytes);
        if (!Write(bytes, error)) {
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
    if (cut && Sound.Server != nullptr && !Flush(error)) {
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
    SetProperties();
    Sound.Schedule.TakenRequest = Requests.load();  // nothing asked for before start-up plays
    Sound.Loop = pa_threaded_mainloop_new();
    if (Sound.Loop == nullptr || pa_threaded_mainloop_start(Sound.Loop) < 0) {
        std::fprintf(
            stderr,
            "zarpeta: no se puede iniciar el hilo de la biblioteca de sonido (PulseAudio); "
            "el juego sigue sin sonido\n");
        return;
    }
    pthread_t thread{};
    if (const int error = pthread_create(&thread, nullptr, &RunSound, nullptr); error != 0) {
        std::fprintf(stderr,
                     "zarpeta: no se puede iniciar el hilo del sonido: %s; el juego sigue sin "
                     "sonido\n",
                     ThreadFailure(error));
        return;
    }
    pthread_detach(thread);
}

void PlaySoundCue(game::Cue cue) {
    RequestCue(Requests, cue);
    Requests.notify_one();
}

}  // namespace shell
