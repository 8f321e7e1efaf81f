// The Qt player as the window uses it: the embedded resources, and cues asked for
// from many threads, with or without an audio output on this machine.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "shell/sound.h"

namespace shell {
namespace {

QByteArray ReadBuiltCue(int id) {
    std::ifstream file(std::string(ZARPETA_CUE_DIR) + "/" + std::to_string(id) + ".wav",
                       std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

TEST(SoundResources, EmbedTheBuiltCuesAndTheIcon) {
    for (int id : {210, 211, 212}) {
        QFile cue(QStringLiteral(":/zarpeta/cues/%1.wav").arg(id));
        ASSERT_TRUE(cue.open(QIODevice::ReadOnly)) << id;
        EXPECT_EQ(cue.readAll(), ReadBuiltCue(id)) << id;
    }
    const QImage icon(QStringLiteral(":/zarpeta/icon.png"));
    EXPECT_EQ(icon.width(), 256);
    EXPECT_EQ(icon.height(), 256);
}

// Whether or not this machine has a sound server, asking for cues from worker threads
// returns at once and the whole run writes at most one line to standard error.
TEST(SoundPlayer, TakesCuesFromAnyThreadAndWarnsAtMostOnce) {
    int argc = 1;
    char name[] = "sound_player_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    testing::internal::CaptureStderr();
    PlaySoundCue("#212");  // before start-up: dropped
    for (int round = 0; round < 2; ++round) {
        StartSound();
        std::vector<std::thread> shots;
        for (int t = 0; t < 8; ++t) {
            shots.emplace_back([t] {
                const char* names[] = {"#212", "#210", "#211", "#999", "", "#212"};
                for (int i = 0; i < 50; ++i) {
                    PlaySoundCue(names[(t + i) % 6]);
                }
            });
        }
        for (auto& shot : shots) {
            shot.join();
        }
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents();
        }
        StopSound();
        PlaySoundCue("#210");  // after the output is closed: dropped
        QCoreApplication::processEvents();
    }
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_LE(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

}  // namespace
}  // namespace shell
