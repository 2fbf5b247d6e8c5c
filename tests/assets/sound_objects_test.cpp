// The sound objects of the generated data file: each decodes as 44.1 kHz MP3 of the right
// length, starts at once, never clips, and sits at a level matching the others.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "test_support/headless_allegro.h"
#include "test_support/mp3_decode.h"

namespace vexlorn {
namespace {

struct SoundObject {
    int index;
    bool tune;
    double shortest, longest;  // seconds
    // Effects: the loudest 100 ms. Jingles share one level; the sounds that come in crowds
    // and the short sharp ones, held down by the peak ceiling, sit lower.
    double levelDb = -18.0;
};

// Each tune lasts as long as a stay on its screens: the menu's tune also plays through every
// round, the title's through the minute-long attract loop and the win screen, and the
// countdown's covers its 11 seconds and then ends.
const SoundObject kSoundObjects[] = {
    {22, false, 0.04, 0.10, -28.0},  // move blip
    {23, true, 11.0, 14.0},          // continue countdown
    {24, false, 0.2, 2.0, -21.5},    // bomb blast
    {25, true, 240.0, 270.0},        // menu, get ready and play
    {26, true, 90.0, 120.0},         // hall of fame
    {27, false, 0.2, 2.0},           // get ready jingle
    {28, false, 0.2, 2.0, -19.5},    // go jingle
    {30, true, 120.0, 150.0},        // title and win
    {31, false, 0.2, 2.0, -21.5},    // group cleared chime
    {32, false, 0.1, 1.5, -24.5},    // stones dropped
    {33, false, 0.05, 0.5, -40.0},   // stone landed, heard in crowds
    {34, true, 90.0, 120.0},         // information pages
    {35, false, 0.5, 3.0},           // game lost
    {36, false, 0.5, 3.0},           // round won fanfare
};

void PrintTo(const SoundObject& object, std::ostream* out) {
    *out << "object " << object.index;
}

constexpr double kFullScale = 32768.0;

double rmsOf(const std::vector<int16_t>& samples, size_t first, size_t count) {
    double sum = 0.0;
    for (size_t i = first; i < first + count; ++i) sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / count) / kFullScale : 0.0;
}

double loudestTenthRms(const std::vector<int16_t>& samples) {
    const size_t window = std::min<size_t>(samples.size(), 4410);
    double loudest = 0.0;
    for (size_t first = 0; first + window <= samples.size(); first += window / 4)
        loudest = std::max(loudest, rmsOf(samples, first, window));
    return loudest;
}

// The generated file, loaded once; null while the generator writes no usable file yet.
const DATAFILE* dataFile() {
    static const DATAFILE* loaded = [] {
        ensureHeadlessAllegro();
        return load_datafile(VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
    }();
    return loaded;
}

// The object at `index`, or null while the generator stores no sound there.
const DATAFILE* soundObject(int index) {
    const DATAFILE* file = dataFile();
    if (!file) return nullptr;
    for (int i = 0; i <= index; ++i)
        if (file[i].type == DAT_END) return nullptr;
    return file[index].size > 0 ? &file[index] : nullptr;
}

class SoundObjectsTest : public ::testing::TestWithParam<SoundObject> {};

TEST_P(SoundObjectsTest, DecodesAsCleanMp3) {
    const SoundObject& expected = GetParam();
    const DATAFILE* object = soundObject(expected.index);
    if (!object) GTEST_SKIP() << "no sound stored at " << expected.index << " yet";
    ASSERT_EQ(object->type, DAT_DATA);

    const DecodedSound sound = decodeMp3(object->dat, size_t(object->size));
    ASSERT_TRUE(sound.ok);
    EXPECT_EQ(sound.rate, 44100);
    ASSERT_EQ(sound.channels, 1);
    const double seconds = double(sound.samples.size()) / sound.rate;
    EXPECT_GE(seconds, expected.shortest);
    EXPECT_LE(seconds, expected.longest);

    // Without the gapless tag the decoder would hand out the encoder's 25 ms of delay first.
    const auto first = std::find_if(sound.samples.begin(), sound.samples.end(),
                                    [](int16_t s) { return std::abs(s) > 0.01 * kFullScale; });
    ASSERT_NE(first, sound.samples.end());
    EXPECT_LE(first - sound.samples.begin(), 0.003 * sound.rate);

    // Several sounds play at once in a round: each leaves the mixer 6 dB of headroom.
    const int16_t peak =
        *std::max_element(sound.samples.begin(), sound.samples.end(),
                          [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); });
    EXPECT_LE(std::abs(peak), 0.5 * kFullScale);
    std::printf("object %d: %.2f s, peak %.1f dBFS, RMS %.1f dBFS, loudest 100 ms %.1f dBFS\n",
                expected.index, seconds, 20 * std::log10(std::abs(peak) / kFullScale),
                20 * std::log10(rmsOf(sound.samples, 0, sound.samples.size())),
                20 * std::log10(loudestTenthRms(sound.samples)));

    // An offset wastes headroom and thumps when the sound starts and stops.
    double sum = 0.0;
    for (int16_t s : sound.samples) sum += s;
    EXPECT_LT(std::fabs(sum / sound.samples.size()) / kFullScale, 0.01);

    // An abrupt end clicks when the sound stops.
    const size_t tail = sound.rate / 500;
    EXPECT_LT(rmsOf(sound.samples, sound.samples.size() - tail, tail), 0.02);

    if (expected.tune) {
        const double rms = rmsOf(sound.samples, 0, sound.samples.size());
        EXPECT_GT(rms, 0.07);
        EXPECT_LT(rms, 0.11);
    } else {
        EXPECT_NEAR(20 * std::log10(loudestTenthRms(sound.samples)), expected.levelDb, 1.5);
    }
}

TEST(SoundLevelsTest, TunesShareOneLoudness) {
    std::vector<double> levels;
    for (const SoundObject& expected : kSoundObjects) {
        const DATAFILE* object = soundObject(expected.index);
        if (!expected.tune || !object) continue;
        const DecodedSound sound = decodeMp3(object->dat, size_t(object->size));
        levels.push_back(rmsOf(sound.samples, 0, sound.samples.size()));
    }
    if (levels.size() < 5) GTEST_SKIP() << "the tunes are not stored yet";
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(*loudest / *quietest, 1.12);  // within 1 dB
}

INSTANTIATE_TEST_SUITE_P(EveryObject, SoundObjectsTest, ::testing::ValuesIn(kSoundObjects),
                         [](const ::testing::TestParamInfo<SoundObject>& info) {
                             return "Object" + std::to_string(info.param.index);
                         });

}  // namespace
}  // namespace vexlorn
