// The Audiere-shaped sound layer: counting, formats, and what the device really plays.
#include <audiere.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "test_support/disk_audio.h"

namespace vexlorn {
namespace {

using Frames = std::vector<int16_t>;  // interleaved stereo

Frames level(int milliseconds, int16_t value) {
    return Frames(2 * framesOf(milliseconds), value);
}

Frames tone(int milliseconds, double amplitude, double hertz) {
    Frames frames;
    for (long i = 0; i < framesOf(milliseconds); ++i) {
        auto value = static_cast<int16_t>(
            std::lround(amplitude * std::sin(i * 2 * M_PI * hertz / captureRate)));
        frames.push_back(value);
        frames.push_back(value);
    }
    return frames;
}

// Each frame says where it lies in the sound, so the output shows what was skipped or repeated.
constexpr long counterBase = 30000;
Frames counter(int milliseconds) {
    Frames frames;
    for (long i = 0; i < framesOf(milliseconds); ++i) {
        frames.push_back(static_cast<int16_t>(1 + i % counterBase));
        frames.push_back(static_cast<int16_t>(1 + i / counterBase));
    }
    return frames;
}
long counterAt(const Capture& capture, long frame) {
    return (capture.right(frame) - 1) * counterBase + capture.left(frame) - 1;
}

// The positions of the counter's frames in the order they came out, silence left out.
std::vector<long> counterPositions(const Capture& capture) {
    std::vector<long> positions;
    for (long frame = 0; frame < capture.frames(); ++frame) {
        if (!capture.quiet(frame)) positions.push_back(counterAt(capture, frame));
    }
    return positions;
}

std::vector<unsigned char> wav(const Frames& frames) {
    std::vector<unsigned char> bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    uint32_t dataSize = static_cast<uint32_t>(frames.size() * 2);
    tag("RIFF");
    put(36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(2, 2);
    put(captureRate, 4);
    put(captureRate * 4, 4);
    put(4, 2);
    put(16, 2);
    tag("data");
    put(dataSize, 4);
    for (int16_t sample : frames) put(static_cast<uint16_t>(sample), 2);
    return bytes;
}

audiere::SampleSourcePtr wavSource(const Frames& frames) {
    std::vector<unsigned char> bytes = wav(frames);
    audiere::FilePtr file = audiere::CreateMemoryFile(bytes.data(), static_cast<int>(bytes.size()));
    return audiere::OpenSampleSource(file, audiere::FF_WAV);
}

class Counted : public audiere::RefCounted {
public:
    explicit Counted(int* deleted) : deleted_(deleted) {}
    ~Counted() override { ++*deleted_; }

private:
    int* deleted_;
};

TEST(AudiereRefPtr, HoldsOneReferenceAndTheLastReleaseDeletes) {
    int deleted = 0;
    {
        audiere::RefPtr<Counted> first = new Counted(&deleted);
        audiere::RefPtr<Counted> second = first;
        first = nullptr;
        EXPECT_EQ(deleted, 0);
        second = second.get();
        EXPECT_EQ(deleted, 0);
        second = new Counted(&deleted);
        EXPECT_EQ(deleted, 1);
        first = second;
    }
    EXPECT_EQ(deleted, 2);
}

TEST(AudiereFiles, SampleSourcesAcceptOnlyTheirFormat) {
    std::vector<unsigned char> bytes = wav(level(10, 1000));
    audiere::FilePtr file = audiere::CreateMemoryFile(bytes.data(), static_cast<int>(bytes.size()));
    std::fill(bytes.begin(), bytes.end(), 0);  // the file kept its own copy
    EXPECT_TRUE(audiere::OpenSampleSource(file, audiere::FF_WAV));
    EXPECT_TRUE(audiere::OpenSampleSource(file));
    EXPECT_FALSE(audiere::OpenSampleSource(file, audiere::FF_MP3));

    const unsigned char mp3Frame[] = {0xFF, 0xFB, 0x90, 0x64};
    audiere::FilePtr mp3 = audiere::CreateMemoryFile(mp3Frame, sizeof mp3Frame);
    EXPECT_TRUE(audiere::OpenSampleSource(mp3, audiere::FF_MP3));
    EXPECT_FALSE(audiere::OpenSampleSource(mp3, audiere::FF_WAV));

    EXPECT_FALSE(audiere::OpenSampleSource(audiere::CreateMemoryFile(bytes.data(), 64)));
    EXPECT_FALSE(audiere::OpenSampleSource(audiere::CreateMemoryFile(nullptr, 0), audiere::FF_MP3));
    EXPECT_FALSE(audiere::OpenSampleSource(nullptr, audiere::FF_MP3));
    EXPECT_FALSE(audiere::CreateMemoryFile(nullptr, 16));
    EXPECT_FALSE(audiere::CreateMemoryFile(bytes.data(), -1));
}

TEST(AudiereWithoutOutput, NoDeviceOpensAndNothingIsMadeWithoutOne) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(audiere::OpenDevice());
    audiere::SampleSourcePtr source = wavSource(level(10, 1000));
    ASSERT_TRUE(source);
    EXPECT_FALSE(audiere::OpenSoundEffect(nullptr, source, audiere::MULTIPLE));
    EXPECT_FALSE(audiere::OpenSound(nullptr, source, true));
}

// A device writing to a file; listen() closes it and returns what it played.
class AudiereOutput : public ::testing::Test {
protected:
    void SetUp() override {
        device = audiere::OpenDevice();
        ASSERT_TRUE(device);
    }
    Capture listen() {
        effect = nullptr;
        stream = nullptr;
        device = nullptr;
        return disk.capture();
    }

    DiskAudio disk;
    audiere::AudioDevicePtr device;
    audiere::SoundEffectPtr effect;
    audiere::OutputStreamPtr stream;
};

TEST_F(AudiereOutput, DeviceIsSharedWhileOpenAndUnplayableDataMakesNothing) {
    EXPECT_EQ(audiere::AudioDevicePtr(audiere::OpenDevice()).get(), device.get());
    device->update();
    const unsigned char notMp3[] = {0xFF, 0xFB, 0x90, 0x64, 1, 2, 3, 4};
    audiere::SampleSourcePtr broken = audiere::OpenSampleSource(
        audiere::CreateMemoryFile(notMp3, sizeof notMp3), audiere::FF_MP3);
    ASSERT_TRUE(broken);
    EXPECT_FALSE(audiere::OpenSoundEffect(device, broken, audiere::MULTIPLE));
    EXPECT_FALSE(audiere::OpenSoundEffect(device, nullptr, audiere::MULTIPLE));
    EXPECT_FALSE(audiere::OpenSound(device, nullptr, true));
}

TEST_F(AudiereOutput, EffectPanFollowsTheLinearBalanceLaw) {
    effect = audiere::OpenSoundEffect(device, wavSource(tone(100, 10000, 440)), audiere::MULTIPLE);
    ASSERT_TRUE(effect);
    for (float pan : {-0.75f, 0.0f, 0.75f}) {
        effect->setPan(pan);
        effect->play();
        sleepMs(250);
    }
    Capture played = listen();
    std::vector<Span> plays = bursts(played, framesOf(50));
    ASSERT_EQ(plays.size(), 3u);
    double left = leftToRight(played, plays[0].begin, plays[0].end);
    double centre = leftToRight(played, plays[1].begin, plays[1].end);
    double right = leftToRight(played, plays[2].begin, plays[2].end);
    std::printf("left:right at pan -0.75 %.3f, 0 %.3f, +0.75 %.3f\n", left, centre, right);
    EXPECT_NEAR(left, 4.0, 0.1);
    EXPECT_NEAR(centre, 1.0, 0.01);
    EXPECT_NEAR(right, 0.25, 0.01);
    EXPECT_NEAR(rms(played, 0, plays[1].begin, plays[1].end), 10000 / std::sqrt(2.0), 100);
}

// Which frames of a burst reach each level: a flat sound makes every voice countable.
long framesAt(const Capture& capture, Span span, int value) {
    long count = 0;
    for (long frame = span.begin; frame < span.end; ++frame) count += capture.left(frame) == value;
    return count;
}

TEST_F(AudiereOutput, MultipleEffectPlaysOverlapAndSingleOnesRestart) {
    audiere::SampleSourcePtr flat = wavSource(level(300, 8000));
    effect = audiere::OpenSoundEffect(device, flat, audiere::MULTIPLE);
    audiere::SoundEffectPtr single = audiere::OpenSoundEffect(device, flat, audiere::SINGLE);
    ASSERT_TRUE(effect && single);
    effect->play();
    sleepMs(100);
    effect->play();
    sleepMs(500);
    single->play();
    sleepMs(100);
    single->play();
    sleepMs(500);
    single = nullptr;
    Capture played = listen();
    std::vector<Span> plays = bursts(played, framesOf(50));
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_GT(framesAt(played, plays[0], 16000), framesOf(100));
    EXPECT_GT(framesAt(played, plays[0], 8000), framesOf(150));
    EXPECT_EQ(framesAt(played, plays[1], 16000), 0);
    EXPECT_GT(plays[1].end - plays[1].begin, framesOf(350));
}

TEST_F(AudiereOutput, StoppedStreamResumesWhereItStopped) {
    stream = audiere::OpenSound(device, wavSource(counter(3000)), true);
    ASSERT_TRUE(stream);
    stream->play();
    EXPECT_TRUE(stream->isPlaying());
    sleepMs(300);
    stream->stop();
    EXPECT_FALSE(stream->isPlaying());
    sleepMs(300);
    stream->play();
    sleepMs(300);
    Capture played = listen();

    std::vector<long> positions = counterPositions(played);
    ASSERT_GT(positions.size(), static_cast<size_t>(framesOf(300)));
    for (size_t i = 0; i < positions.size(); ++i) ASSERT_EQ(positions[i], static_cast<long>(i));
    std::vector<Span> runs = bursts(played, framesOf(100));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_GT(runs[1].begin - runs[0].end, framesOf(200));
}

TEST_F(AudiereOutput, StreamStopsAndRewindsAtItsEnd) {
    stream = audiere::OpenSound(device, wavSource(counter(100)), true);
    ASSERT_TRUE(stream);
    stream->play();
    sleepMs(300);
    EXPECT_FALSE(stream->isPlaying());
    stream->play();
    sleepMs(300);
    Capture played = listen();

    std::vector<long> positions = counterPositions(played);
    ASSERT_EQ(positions.size(), static_cast<size_t>(2 * framesOf(100)));
    for (size_t i = 0; i < positions.size(); ++i) {
        ASSERT_EQ(positions[i], static_cast<long>(i) % framesOf(100));
    }
}

TEST_F(AudiereOutput, StreamVolumeScalesItsOutput) {
    stream = audiere::OpenSound(device, wavSource(level(3000, 16000)), true);
    ASSERT_TRUE(stream);
    stream->setVolume(0.5f);
    stream->play();
    sleepMs(200);
    stream->setVolume(0.0f);
    sleepMs(200);
    stream->setVolume(1.0f);
    sleepMs(200);
    Capture played = listen();

    std::vector<int> levels;
    for (long frame = firstSound(played); frame >= 0 && frame < played.frames(); ++frame) {
        if (levels.empty() || levels.back() != played.left(frame))
            levels.push_back(played.left(frame));
    }
    ASSERT_GE(levels.size(), 3u);
    EXPECT_EQ(std::vector<int>(levels.begin(), levels.begin() + 3),
              (std::vector<int>{8000, 0, 16000}));
}

TEST_F(AudiereOutput, StartingAnotherStreamTakesOverThePausedOne) {
    stream = audiere::OpenSound(device, wavSource(counter(1000)), true);
    audiere::OutputStreamPtr other = audiere::OpenSound(device, wavSource(level(1000, 500)), true);
    ASSERT_TRUE(stream && other);
    stream->play();
    sleepMs(100);
    stream->stop();
    other->play();
    EXPECT_TRUE(other->isPlaying());
    EXPECT_FALSE(stream->isPlaying());
    sleepMs(100);
    stream->play();  // from its beginning again
    sleepMs(100);
    other = nullptr;
    Capture played = listen();

    long flat = 0;
    long starts = 0;
    for (long frame = 0; frame < played.frames(); ++frame) {
        flat += played.left(frame) == 500 && played.right(frame) == 500;
        starts += played.left(frame) == 1 && played.right(frame) == 1;
    }
    EXPECT_GT(flat, framesOf(50));
    EXPECT_EQ(starts, 2);
}

}  // namespace
}  // namespace vexlorn
