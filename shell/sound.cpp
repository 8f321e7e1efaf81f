// SPDX-License-Identifier: MIT
// The sound cues on Qt Multimedia: one audio sink in push mode, fed on the
// user-interface thread from the cues embedded as Qt resources.
//
// Done: the three embedded cues, loaded once; one cue at a time, the newest cutting
// off the one playing at once; requests from any thread without touching Qt objects;
// silence, with one line of warning, when there is no usable audio output.
// Not done: sound files named at run time (the game asks only for its own cues).
//
// Why push mode and not QSoundEffect: on Qt 6.4 QSoundEffect cuts the last ~120 ms of
// every sound, replays stale audio after a stop and stays silent when played from a
// thread without an event loop; a pulled sink with a small buffer stalls silently.
#include "shell/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "shell/cue_file.h"
#include "shell/cue_schedule.h"

namespace shell {

namespace {

// ---- Constants ------------------------------------------------------------------
constexpr int32_t BufferMilliseconds = 60;  // audio queued in the sink at most
constexpr int32_t FeedMilliseconds = 10;    // how often the sink is topped up while a cue plays
// The stream is closed this long after the last write: well after the slowest output
// (a wireless one) has played the tail, so no tail is cut; Qt's sink keeps a timer of
// its own running while the stream is open.
constexpr int32_t CloseAfterMilliseconds = 1000;
constexpr qsizetype BufferBytes = CueSampleRate * 2 * BufferMilliseconds / 1000;

const char* const CueResources[CueCount] = {":/zarpeta/cues/210.wav", ":/zarpeta/cues/211.wav",
                                            ":/zarpeta/cues/212.wav"};

// ---- Types --------------------------------------------------------------------------

struct Player {
    std::vector<CueSound> Cues;         // by cue index; an unreadable cue stays empty
    std::unique_ptr<QAudioSink> Sink;   // null when there is no usable output
    QIODevice* Device = nullptr;        // the sink's push device while the stream is open
    std::unique_ptr<QTimer> FeedTimer;  // runs while a cue is written, and until the close
    CueSchedule Schedule;
    int32_t QuietMilliseconds = 0;  // since the last write, while the stream is open
};

struct HeldMessages {
    std::atomic<std::thread::id> Thread;  // the thread whose messages are held
    QtMessageHandler Previous = nullptr;  // the handler to restore, and to give others to
    std::vector<std::pair<QtMsgType, QString>> Messages;
};

// ---- Module state -----------------------------------------------------------------

// Touched only on the user-interface thread. Never destroyed: a toolkit that ends the
// process with exit() would otherwise tear the sink down under a cue being played.
Player& Sound = *new Player;
HeldMessages Held;  // filled between HoldMessages and ReleaseMessages

// Shared with every thread that asks for a cue.
std::atomic<uint64_t> Requests{0};    // the latest request word (shell/cue_schedule.h)
std::atomic<bool> WakePosted{false};  // a call to FeedOutput is queued already
std::atomic<bool> Warned{false};      // the one warning of the run has been given
std::mutex WakeLock;                  // held while WakeTarget is read or changed
QObject* WakeTarget = nullptr;        // the feed timer, on whose thread FeedOutput runs

// ---- Internal helpers -------------------------------------------------------------

void WarnOnce(const char* why) {
    if (!Warned.exchange(true)) {
        std::fprintf(stderr, "zarpeta: %s; the game runs without sound\n", why);
    }
}

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

QAudioFormat CueFormat() {
    QAudioFormat format;
    format.setSampleRate(CueSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// Qt's messages from the thread that opens the output are held while it does so: its
// sound backend reports a missing sound server in lines of its own, which are given
// on only when the output works, so that a silent run warns once.
void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (std::this_thread::get_id() == Held.Thread) {
        Held.Messages.emplace_back(type, message);
    } else if (Held.Previous != nullptr) {
        Held.Previous(type, context, message);
    }
}

void HoldMessages() {
    Held.Thread = std::this_thread::get_id();
    Held.Messages.clear();
    Held.Previous = qInstallMessageHandler(&HoldMessage);
}

void ReleaseMessages(bool giveOn) {
    qInstallMessageHandler(Held.Previous);
    Held.Thread = std::thread::id{};
    if (giveOn) {
        for (const auto& [type, message] : Held.Messages) {
            qt_message_output(type, QMessageLogContext{}, message);
        }
    }
    Held.Messages.clear();
}

// Opens the default output in push mode; false when there is none that plays our format.
bool OpenOutput() {
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) {
        WarnOnce("no audio output device");
        return false;
    }
    if (!output.isFormatSupported(CueFormat())) {
        WarnOnce("the audio output does not play 16-bit mono at 44,100 Hz");
        return false;
    }
    Sound.Sink = std::make_unique<QAudioSink>(output, CueFormat());
    Sound.Sink->setBufferSize(BufferBytes);
    Sound.Device = Sound.Sink->start();
    const bool opened = Sound.Device != nullptr && Sound.Sink->error() == QAudio::NoError;
    Sound.Sink->stop();  // opened again for the first cue
    Sound.Device = nullptr;
    if (!opened) {
        WarnOnce("the audio output cannot be opened");
        Sound.Sink.reset();
    }
    return opened;
}

// Opens the stream again after a quiet spell, or drops what it still holds when a
// cue is cut off, so that the new cue is heard at once.
void PrepareOutput(bool cut) {
    if (Sound.Sink->state() == QAudio::StoppedState) {
        Sound.Device = Sound.Sink->start();
    } else if (cut) {
        Sound.Sink->reset();
        Sound.Device = Sound.Sink->start();
    }
}

void WriteWhatFits() {
    if (Sound.Device == nullptr) {
        return;
    }
    const auto room = static_cast<size_t>(std::max<qsizetype>(0, Sound.Sink->bytesFree()));
    const std::span<const std::byte> bytes = NextBytes(Sound.Schedule, Sound.Cues, room);
    if (bytes.empty()) {
        return;
    }
    const qint64 written =
        Sound.Device->write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (written > 0) {
        MarkWritten(Sound.Schedule, static_cast<size_t>(written));
        Sound.QuietMilliseconds = 0;
    }
}

// Once the last cue has long been played out the stream is closed and the timer stops,
// so an idle player costs nothing.
void CloseWhenQuiet() {
    Sound.QuietMilliseconds += FeedMilliseconds;
    if (Sound.QuietMilliseconds >= CloseAfterMilliseconds) {
        Sound.Sink->stop();
        Sound.Device = nullptr;
        Sound.FeedTimer->stop();
    }
}

// Takes the latest request and tops up the sink, on every tick of the feed timer and
// whenever a cue is asked for.
void FeedOutput() {
    WakePosted.store(false);
    if (!Sound.Sink) {
        return;
    }
    const uint64_t taken = Sound.Schedule.TakenRequest;
    const bool cut = TakeRequest(Sound.Schedule, Requests.load());
    if (Sound.Schedule.TakenRequest != taken) {
        PrepareOutput(cut);
        Sound.QuietMilliseconds = 0;
    }
    WriteWhatFits();
    if (!IsWriting(Sound.Schedule, Sound.Cues) && Sound.Device != nullptr) {
        CloseWhenQuiet();
    }
    if (Sound.Device != nullptr && !Sound.FeedTimer->isActive()) {
        Sound.FeedTimer->start();
    }
}

// Has FeedOutput run on the user-interface thread soon; one queued call at a time.
void WakePlayer() {
    if (WakePosted.exchange(true)) {
        return;
    }
    std::lock_guard lock(WakeLock);
    if (WakeTarget == nullptr) {
        WakePosted.store(false);
        return;
    }
    QMetaObject::invokeMethod(WakeTarget, &FeedOutput, Qt::QueuedConnection);
}

}  // namespace

// ---- Public functions ---------------------------------------------------------------

void StartSound() {
    if (Sound.Sink) {
        return;
    }
    Sound.Cues = LoadCues();
    HoldMessages();
    const bool opened = OpenOutput();
    ReleaseMessages(opened);
    if (!opened) {
        return;
    }
    Sound.FeedTimer = std::make_unique<QTimer>();
    Sound.FeedTimer->setInterval(FeedMilliseconds);
    QObject::connect(Sound.FeedTimer.get(), &QTimer::timeout, &FeedOutput);
    Sound.Schedule.TakenRequest = Requests.load();  // nothing asked for before start-up plays
    std::lock_guard lock(WakeLock);
    WakeTarget = Sound.FeedTimer.get();
}

void PlaySoundCue(std::string_view name) {
    if (name.empty()) {
        RequestSilence(Requests);
    } else if (const int32_t cue = CueIndex(name); cue != NoCue) {
        RequestCue(Requests, cue);
    } else {
        return;
    }
    WakePlayer();
}

}  // namespace shell
