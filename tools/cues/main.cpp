// SPDX-License-Identifier: MIT
// zarpeta-cues: synthesises the game's sound cues as canonical RIFF/WAVE files.
//
// Usage: zarpeta-cues OUTPUT_DIR FILE...   (the files of the cue table, in its order)
//
// A cue is a row of the cue table (game/cue.h), which names its file, and a
// synthesiser here, called from Synthesise; the build reads the list of files from the
// table and gives it to this tool, which refuses any other list. Runs once at build time.
// Every sample comes from a closed formula and a fixed-seed noise generator, so each
// build writes the same bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

#include "game/cue.h"

namespace {

// ---- Constants ----------------------------------------------------------------
constexpr int32_t SampleRate = 44100;  // samples per second
constexpr int32_t HeaderBytes = 44;    // the canonical RIFF/WAVE header
constexpr double FullScale = 32767.0;  // largest 16-bit sample
constexpr double TwoPi = 2.0 * std::numbers::pi;

// Sample counts, fixed so that each file has its exact size (44 + 2 x samples).
constexpr int32_t BlockHitSamples = 21718;  // 43,480 bytes, 0.492 s
constexpr int32_t BarHitSamples = 2509;     // 5,062 bytes, 0.057 s
constexpr int32_t ShotSamples = 11266;      // 22,576 bytes, 0.255 s

// ---- Internal helpers -----------------------------------------------------------

double SecondsAt(int32_t index) {
    return static_cast<double>(index) / SampleRate;
}

// A short linear rise at the start so that no cue begins with a click.
double Rise(double seconds, double riseSeconds) {
    return seconds >= riseSeconds ? 1.0 : seconds / riseSeconds;
}

// Falls linearly from 1 at the first sample to 0 at the last one.
double LinearFall(int32_t index, int32_t count) {
    return 1.0 - static_cast<double>(index) / (count - 1);
}

// A fixed-seed linear congruential generator: white noise in -1..1, the same every run.
struct Noise {
    uint32_t State = 0x2A5F1D3u;
    double Next() {
        State = State * 1664525u + 1013904223u;
        return static_cast<double>(State >> 8) / 8388608.0 - 1.0;
    }
};

// The block hit: a low thud. Two sines gliding down (about 130 -> 65 Hz and 65 -> 50 Hz)
// under low-passed noise, loudest at the start and fading to nothing at its end.
std::vector<double> SynthesiseBlockHit() {
    std::vector<double> wave(BlockHitSamples);
    Noise noise;
    double low = 0.0, phaseA = 0.0, phaseB = 0.0;
    for (int32_t i = 0; i < BlockHitSamples; ++i) {
        const double t = SecondsAt(i);
        const double glide = std::exp(-t / 0.12);
        phaseA += TwoPi * (65.0 + 65.0 * glide) / SampleRate;
        phaseB += TwoPi * (50.0 + 15.0 * glide) / SampleRate;
        low += 0.012 * (noise.Next() - low);  // one pole near 85 Hz
        const double body = 0.62 * std::sin(phaseA) + 0.28 * std::sin(phaseB) + 1.6 * low;
        const double level = Rise(t, 0.003) * std::exp(-t / 0.16) * LinearFall(i, BlockHitSamples);
        wave[i] = body * level;
    }
    return wave;
}

// The bar hit: a very short low knock, a 160 Hz sine with a weaker 320 Hz partial,
// dying away within its 57 ms.
std::vector<double> SynthesiseBarHit() {
    std::vector<double> wave(BarHitSamples);
    for (int32_t i = 0; i < BarHitSamples; ++i) {
        const double t = SecondsAt(i);
        const double body = 0.75 * std::sin(TwoPi * 160.0 * t) + 0.2 * std::sin(TwoPi * 320.0 * t);
        const double level = Rise(t, 0.001) * std::exp(-t / 0.014) * LinearFall(i, BarHitSamples);
        wave[i] = body * level;
    }
    return wave;
}

// The shot: a tone sliding down exponentially from 1.9 kHz to 150 Hz, steady for its
// first half and then fading to nothing along a half cosine.
std::vector<double> SynthesiseShot() {
    constexpr double StartHz = 1900.0, EndHz = 150.0;
    std::vector<double> wave(ShotSamples);
    double phase = 0.0;
    for (int32_t i = 0; i < ShotSamples; ++i) {
        const double part = static_cast<double>(i) / (ShotSamples - 1);  // 0..1
        const double frequency = StartHz * std::pow(EndHz / StartHz, part);
        const double fade =
            part <= 0.5 ? 1.0 : 0.5 + 0.5 * std::cos(std::numbers::pi * (part - 0.5) * 2.0);
        wave[i] = 0.6 * std::sin(phase) * Rise(SecondsAt(i), 0.002) * fade;
        phase += TwoPi * frequency / SampleRate;
    }
    return wave;
}

// The samples of a cue, in -1..1; none for a cue left out, which the compiler warns
// of (-Wswitch) and the tool refuses.
std::vector<double> Synthesise(game::Cue cue) {
    switch (cue) {
        case game::CueBlockHit:
            return SynthesiseBlockHit();
        case game::CueBarHit:
            return SynthesiseBarHit();
        case game::CueShot:
            return SynthesiseShot();
    }
    return {};
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int32_t bytes) {
    for (int32_t b = 0; b < bytes; ++b) {
        out.push_back(static_cast<uint8_t>(value >> (8 * b)));
    }
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

int16_t ToSample(double value) {
    const double scaled = std::round(value * FullScale);
    return static_cast<int16_t>(std::fmax(-FullScale, std::fmin(FullScale, scaled)));
}

// The canonical 44-byte header, then the samples: mono, 16-bit, 44,100 Hz.
std::vector<uint8_t> EncodeWave(const std::vector<double>& wave) {
    const auto dataBytes = static_cast<uint32_t>(wave.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(HeaderBytes + dataBytes);
    PutTag(out, "RIFF");
    PutLe(out, HeaderBytes - 8 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, 16, 4);              // fmt chunk size
    PutLe(out, 1, 2);               // PCM
    PutLe(out, 1, 2);               // channels
    PutLe(out, SampleRate, 4);      // samples per second
    PutLe(out, SampleRate * 2, 4);  // bytes per second
    PutLe(out, 2, 2);               // block align
    PutLe(out, 16, 2);              // bits per sample
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (double value : wave) {
        PutLe(out, static_cast<uint16_t>(ToSample(value)), 2);
    }
    return out;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// True when the build's list of files is the cue table's.
bool IsCueTable(int count, char** files) {
    if (count != game::CueCount) {
        return false;
    }
    for (const game::CueRow& row : game::CueTable) {
        if (row.File != files[row.Id]) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zarpeta-cues OUTPUT_DIR FILE...\n");
        return 2;
    }
    if (!IsCueTable(argc - 2, argv + 2)) {
        std::fprintf(stderr,
                     "zarpeta-cues: the files asked for are not those of the cue table "
                     "(game/cue.h); each of its rows must stand on one line\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const game::CueRow& row : game::CueTable) {
        const std::vector<double> wave = Synthesise(row.Id);
        if (wave.empty() || !WriteFile(dir / row.File, EncodeWave(wave))) {
            std::fprintf(stderr, "zarpeta-cues: cannot synthesise or write %.*s into %s\n",
                         static_cast<int>(row.File.size()), row.File.data(), argv[1]);
            return 1;
        }
    }
    return 0;
}
