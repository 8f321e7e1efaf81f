// The cues as the build synthesises them: their exact bytes on the outside, their
// character on the inside.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include "shell/cue_file.h"
#include "tests/shell/sound_wave.h"

namespace shell {
namespace {

constexpr double Rate = 44100.0;

std::vector<uint8_t> ReadCueBytes(int id) {
    std::ifstream file(std::string(ZARPETA_CUE_DIR) + "/" + std::to_string(id) + ".wav",
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<double> ReadCueSamples(int id) {
    const auto bytes = ReadCueBytes(id);
    const auto cue = ReadCueFile(bytes);
    std::vector<double> samples;
    if (cue) {
        for (int16_t sample : cue->Samples) {
            samples.push_back(sample / 32768.0);
        }
    }
    return samples;
}

// RMS of consecutive windows of the given length in seconds.
std::vector<double> Levels(const std::vector<double>& wave, double seconds) {
    const auto window = static_cast<size_t>(seconds * Rate);
    std::vector<double> levels;
    for (size_t from = 0; from + window <= wave.size(); from += window) {
        double sum = 0;
        for (size_t i = from; i < from + window; ++i) {
            sum += wave[i] * wave[i];
        }
        levels.push_back(std::sqrt(sum / window));
    }
    return levels;
}

// The frequency of a tone from its zero crossings, interpolated between samples.
double ToneFrequency(const std::vector<double>& wave, size_t from, size_t count) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < from + count; ++i) {
        if ((wave[i - 1] < 0) != (wave[i] < 0)) {
            const double at = (i - 1) + wave[i - 1] / (wave[i - 1] - wave[i]);
            first = first < 0 ? at : first;
            last = at;
            ++crossings;
        }
    }
    return crossings < 3 ? 0.0 : (crossings - 1) * Rate / (2.0 * (last - first));
}

// The share of the signal's energy at frequencies up to the limit (a plain DFT).
double EnergyShareBelow(const std::vector<double>& wave, double limitHz) {
    const size_t n = wave.size();
    std::vector<double> cosines(n), sines(n);
    for (size_t i = 0; i < n; ++i) {
        cosines[i] = std::cos(2 * std::numbers::pi * i / n);
        sines[i] = std::sin(2 * std::numbers::pi * i / n);
    }
    double total = 0;
    for (double sample : wave) {
        total += sample * sample;
    }
    double low = 0;
    for (size_t k = 0; k <= static_cast<size_t>(limitHz * n / Rate); ++k) {
        double re = 0, im = 0;
        for (size_t i = 0; i < n; ++i) {
            re += wave[i] * cosines[(k * i) % n];
            im -= wave[i] * sines[(k * i) % n];
        }
        low += (k == 0 ? 1.0 : 2.0) * (re * re + im * im) / n;
    }
    return low / total;
}

TEST(CueFiles, HaveTheirExactSizesTheCanonicalHeaderAndSilentEnds) {
    for (auto [id, size] : {std::pair{210, 43480u}, {211, 5062u}, {212, 22576u}}) {
        const auto bytes = ReadCueBytes(id);
        ASSERT_EQ(bytes.size(), size) << id;
        auto expected = test::MakeWave({});  // the header of an empty canonical file
        for (auto [offset, value] : {std::pair{4u, size - 8}, {40u, size - 44}}) {
            for (unsigned b = 0; b < 4; ++b) {
                expected[offset + b] = static_cast<uint8_t>(value >> (8 * b));
            }
        }
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 44), expected) << id;

        const auto wave = ReadCueSamples(id);
        ASSERT_EQ(wave.size(), (size - 44) / 2) << id;
        EXPECT_LT(std::abs(wave.front()), 0.01) << id;  // no click at either end
        EXPECT_LT(std::abs(wave.back()), 0.01) << id;
        const auto [low, high] = std::minmax_element(wave.begin(), wave.end());
        EXPECT_GT(std::max(-*low, *high), 0.3) << id;  // clearly audible, not clipped
        EXPECT_LT(std::max(-*low, *high), 0.99) << id;
    }
}

TEST(CueFiles, BlockHitIsALowThudFadingOverItsWholeLength) {
    const auto wave = ReadCueSamples(210);
    ASSERT_FALSE(wave.empty());
    EXPECT_GT(EnergyShareBelow(wave, 200.0), 0.9);
    EXPECT_LT(EnergyShareBelow(wave, 40.0), 0.1);

    const auto levels = Levels(wave, 0.05);
    ASSERT_EQ(levels.size(), 9u);
    for (size_t i = 1; i < levels.size(); ++i) {
        EXPECT_LT(levels[i], levels[i - 1]) << "window " << i;
    }
    EXPECT_LT(levels.back(), 0.1 * levels.front());
}

TEST(CueFiles, BarHitIsAVeryShortLowKnock) {
    const auto wave = ReadCueSamples(211);
    ASSERT_FALSE(wave.empty());
    EXPECT_GT(EnergyShareBelow(wave, 400.0), 0.9);
    const auto levels = Levels(wave, 0.01);
    EXPECT_LT(levels.back(), 0.1 * levels.front());
}

TEST(CueFiles, ShotSlidesDownFrom1900To150HzSteadyThenFading) {
    const auto wave = ReadCueSamples(212);
    ASSERT_FALSE(wave.empty());
    const size_t n = wave.size();

    const double start = ToneFrequency(wave, 0, 200);  // the first 4.5 ms
    EXPECT_NEAR(start, 1900.0, 100.0);
    const double end = ToneFrequency(wave, n * 90 / 100, n * 8 / 100);
    EXPECT_NEAR(end, 150.0, 50.0);
    double previous = start;
    for (size_t from = 0; from + n / 10 <= n; from += n / 10) {
        const double frequency = ToneFrequency(wave, from, n / 10);
        EXPECT_LT(frequency, previous) << "from sample " << from;
        previous = frequency;
    }

    // Steady through the first half (after a click-free start), then falling.
    const auto levels = Levels(wave, 0.01);  // 25 windows
    ASSERT_EQ(levels.size(), 25u);
    const double steady = levels[5];
    for (size_t i = 1; i < 12; ++i) {
        EXPECT_NEAR(levels[i], steady, 0.08 * steady) << "window " << i;
    }
    for (size_t i = 14; i < levels.size(); ++i) {
        EXPECT_LT(levels[i], levels[i - 1]) << "window " << i;
    }
    EXPECT_LT(levels.back(), 0.1 * steady);
}

}  // namespace
}  // namespace shell
