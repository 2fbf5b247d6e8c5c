// The game's sound and music operations, heard through a device that writes to a file.
#include "assets/sound.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "assets/assets.h"
#include "test_support/disk_audio.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

constexpr int leftPan = panLeft;
constexpr int centrePan = panCentre;
constexpr int rightPan = panRight;
constexpr MusicTrack menuTrack = MusicTrack::Menu;
constexpr long window = 4096;  // frames compared when looking for a place in a tune

// The generated data file, loaded once; null while it carries no sounds.
DATAFILE* soundData() {
    static DATAFILE* loaded = [] {
        ensureHeadlessAllegro();
        DATAFILE* file = load_datafile(VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
        if (!file) return file;
        for (int object = 0; object <= ObjSoundWon; ++object) {
            if (file[object].type == DAT_END) return static_cast<DATAFILE*>(nullptr);
        }
        if (file[ObjSoundMove].size == 0 || file[ObjMusicMenu].size == 0)
            return static_cast<DATAFILE*>(nullptr);
        return file;
    }();
    return loaded;
}

// Data-file objects made up in the test: `count` raw objects holding `bytes`.
class FakeData {
public:
    FakeData(int count, std::vector<unsigned char> bytes, int type = DAT_DATA, long size = -1)
        : bytes_(std::move(bytes)) {
        if (size < 0) size = static_cast<long>(bytes_.size());
        for (int i = 0; i < count; ++i) objects_.push_back({bytes_.data(), type, size, nullptr});
        objects_.push_back({nullptr, DAT_END, 0, nullptr});
    }
    DATAFILE* objects() { return objects_.data(); }

private:
    std::vector<unsigned char> bytes_;
    std::vector<DATAFILE> objects_;
};

// Puts data-file objects in place of the game's for the guard's lifetime.
class UsingData {
public:
    explicit UsingData(DATAFILE* data) : previous_(dataFile) { dataFile = data; }
    ~UsingData() { dataFile = previous_; }

private:
    DATAFILE* previous_;
};

// One run of the sound system from start-up to shutdown, on a device writing to a file.
class Session {
public:
    explicit Session(DATAFILE* data) : data_(data) {
        switchMusicOn();
        openAudioDevice();
        loadSounds();
    }
    ~Session() { releaseSounds(); }
    void wait(int milliseconds) const { disk_.wait(milliseconds); }
    long framesPlayed() const { return disk_.framesWritten(); }
    Capture end() {
        releaseSounds();
        return disk_.capture();
    }

private:
    DiskAudio disk_;  // first: the device opens on it
    UsingData data_;
};

// Where in the tune `capture` is at `frame`: its offset in an uninterrupted recording; -1 if none.
// Any number, also one no effect has: the layer must bear what a caller could pass.
SoundEffect effectNumber(int number) {
    return static_cast<SoundEffect>(number);
}

long placeInTune(const Capture& tune, const Capture& capture, long frame) {
    long at = findFrames(tune, 0, capture, frame, window);
    return at < 0 ? -1 : at - firstSound(tune);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!soundData()) GTEST_SKIP() << "the data file carries no sounds yet";
    }

    static Capture effect(int index, int pan, int plays = 1) {
        Session session(soundData());
        for (int i = 0; i < plays; ++i) playSound(effectNumber(index), pan);
        session.wait(500);
        return session.end();
    }

    static const Capture& menuTune() {
        static Capture tune = [] {
            Session session(soundData());
            playMusic(menuTrack);
            session.wait(2000);
            return session.end();
        }();
        return tune;
    }
};

TEST_F(SoundTest, EffectsComeFromTheBoardTheyArePannedTo) {
    Capture left = effect(0, leftPan);
    Capture centre = effect(0, centrePan);
    Capture right = effect(0, rightPan);
    double leftRatio = leftToRight(left, 0, left.frames());
    double centreRatio = leftToRight(centre, 0, centre.frames());
    double rightRatio = leftToRight(right, 0, right.frames());
    std::printf("effect 0 left:right at pan 32 %.3f, 128 %.3f, 224 %.3f\n", leftRatio, centreRatio,
                rightRatio);
    EXPECT_NEAR(leftRatio, 4.0, 0.2);
    EXPECT_NEAR(centreRatio, 1.0, 0.02);
    EXPECT_NEAR(rightRatio, 0.25, 0.0125);
}

// The pass that asks for an effect is the cause a player sees: its sound begins where the device
// stood when it was asked (or one buffer on, when the ask fell between the mixing of a buffer and
// its writing), never a later pass or buffer.
TEST_F(SoundTest, EffectsStartInTheBufferAfterThePassThatAsksForThem) {
    for (int index : {0, 1, 6}) {
        SCOPED_TRACE(testing::Message() << "effect " << index);
        Session session(soundData());
        session.wait(200);
        const long asked = session.framesPlayed();
        playSound(effectNumber(index), centrePan);
        session.wait(300);
        const long begins = firstSound(session.end());
        ASSERT_GE(begins, 0);
        EXPECT_GE(begins, asked - framesOf(2));
        EXPECT_LE(begins - asked, framesOf(25));
    }
}

// Once the effects are decoded and the tunes copied, the data file's own sound bytes go; every
// sound still plays, and the pictures stay.
TEST_F(SoundTest, DroppedSoundDataLeavesEverySoundPlaying) {
    DATAFILE* file = load_datafile(VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
    ASSERT_NE(file, nullptr);
    {
        Session session(file);
        dropSoundData();
        for (int object = 0; file[object].type != DAT_END; ++object) {
            if (file[object].type == DAT_DATA && file[object].size > 1) {
                ADD_FAILURE() << "object " << object << " kept its bytes";
            }
        }
        EXPECT_NE(dataBitmap(ObjTileSheet), nullptr);
        for (int i = 0; i < soundEffectCount; ++i) playSound(effectNumber(i), centrePan);
        playMusic(menuTrack);
        session.wait(400);
        const Capture played = session.end();
        EXPECT_GE(firstSound(played), 0);
    }
    unload_datafile(file);
}

TEST_F(SoundTest, EffectNumbersOutsideTheTableDoNothing) {
    Session session(soundData());
    playSound(effectNumber(9), centrePan);
    playSound(effectNumber(-1), centrePan);
    session.wait(300);
    EXPECT_EQ(firstSound(session.end()), -1);
}

TEST_F(SoundTest, TwoPlaysOfOneEffectOverlap) {
    double once = energy(effect(0, centrePan));
    double twice = energy(effect(0, centrePan, 2));
    ASSERT_GT(once, 0.0);
    EXPECT_GT(twice / once, 1.6);
}

TEST_F(SoundTest, PausedMusicGoesOnWhereItStopped) {
    const Capture& tune = menuTune();
    Session session(soundData());
    playMusic(menuTrack);
    session.wait(500);
    pauseMusic();
    session.wait(500);
    resumeMusic();
    session.wait(500);
    Capture played = session.end();

    std::vector<Span> parts = bursts(played, framesOf(200));
    ASSERT_EQ(parts.size(), 2u);
    long heardBefore = parts[0].end - parts[0].begin;
    long resumedAt = placeInTune(tune, played, parts[1].begin);
    EXPECT_GE(resumedAt, heardBefore);
    EXPECT_LT(resumedAt, heardBefore + framesOf(100));
}

TEST_F(SoundTest, PlayingTheSameTrackAgainRestartsIt) {
    const Capture& tune = menuTune();
    Session session(soundData());
    playMusic(menuTrack);
    session.wait(600);
    playMusic(menuTrack);
    session.wait(600);
    Capture played = session.end();

    long opening = firstSound(tune);
    long first = findFrames(played, 0, tune, opening, window);
    ASSERT_GE(first, 0);
    long again = findFrames(played, first + 1, tune, opening, window);
    ASSERT_GE(again, 0);
    EXPECT_GT(again - first, framesOf(400));
}

TEST_F(SoundTest, TrackZeroSilencesAndSwitchingOnBringsNothingBack) {
    Session session(soundData());
    playMusic(menuTrack);
    session.wait(300);
    playMusic(MusicTrack::Silence);
    switchMusicOn();
    session.wait(400);
    Capture played = session.end();
    ASSERT_GE(firstSound(played), 0);
    EXPECT_TRUE(silent(played, played.frames() - framesOf(250), played.frames()));
}

TEST_F(SoundTest, SwitchedOffTrackRunsSilentlyAndComesBackAtFullVolume) {
    const Capture& tune = menuTune();
    Session session(soundData());
    switchMusicOff();
    EXPECT_TRUE(musicMuted);
    playMusic(menuTrack);
    session.wait(400);
    switchMusicOn();
    EXPECT_FALSE(musicMuted);
    session.wait(400);
    Capture played = session.end();

    long heard = firstSound(played);
    ASSERT_GE(heard, framesOf(300));
    // Found sample for sample in the full-volume recording, well into the tune.
    EXPECT_GT(placeInTune(tune, played, heard), framesOf(300));
}

// The busiest stretch of a round at the last level: both figures moving every five ticks,
// groups clearing and stones falling on both sides, a crowd of stones landing at once, bombs,
// all over the round's music. Mixed together it must never reach full scale.
TEST_F(SoundTest, BusiestPlayNeverReachesFullScale) {
    Session session(soundData());
    playMusic(MusicTrack::RoundStart);
    playSound(SoundEffect::Ready, centrePan);
    for (int pass = 0; pass < 40; ++pass) {
        playSound(SoundEffect::Move, leftPan);
        playSound(SoundEffect::Move, rightPan);
        if (pass % 2 == 0) {
            playSound(SoundEffect::Cleared, leftPan);
            playSound(SoundEffect::Cleared, rightPan);
            playSound(SoundEffect::Stones, centrePan);
        }
        if (pass % 3 == 1) {
            for (int stone = 0; stone < 6; ++stone)
                playSound(SoundEffect::StoneLanded, pass % 2 ? leftPan : rightPan);
        }
        if (pass % 8 == 4) playSound(SoundEffect::Bomb, centrePan);
        if (pass == 20) playSound(SoundEffect::Go, centrePan);
        if (pass == 30) playSound(SoundEffect::Won, centrePan);
        session.wait(100);
    }
    session.wait(500);
    Capture played = session.end();

    long clipped = 0;
    int peak = 0;
    for (int16_t sample : played.samples) {
        const int magnitude = std::abs(static_cast<int>(sample));
        peak = std::max(peak, magnitude);
        if (magnitude >= 32767) ++clipped;
    }
    std::printf("busiest play: %ld s of mix, peak %.1f dBFS, %ld samples at full scale\n",
                played.frames() / captureRate, 20.0 * std::log10(peak / 32768.0), clipped);
    ASSERT_GT(played.frames(), framesOf(3000));
    EXPECT_EQ(clipped, 0);
}

TEST(SoundWithoutOutput, EveryOperationRunsSilently) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    FakeData data(dataObjectCount, {0xFF, 0xFB, 0x90, 0x64});
    UsingData using_(soundData() ? soundData() : data.objects());
    openAudioDevice();
    loadSounds();
    updateAudio();
    for (int index = -1; index <= soundEffectCount; ++index)
        playSound(effectNumber(index), leftPan);
    playMusic(menuTrack);
    pauseMusic();
    resumeMusic();
    switchMusicOff();
    EXPECT_TRUE(musicMuted);
    playMusic(MusicTrack::Title);
    switchMusicOn();
    EXPECT_FALSE(musicMuted);
    playMusic(MusicTrack::Silence);
    releaseSounds();
}

TEST(SoundWithoutSoundData, ShortOrBrokenDataFilesPlayNothing) {
    FakeData shortFile(ObjSoundMove, {0xFF, 0xFB, 0x90, 0x64});
    FakeData brokenSounds(dataObjectCount, {0xFF, 0xFB, 0x90, 0x64, 1, 2, 3, 4});
    FakeData emptyObjects(dataObjectCount, {});
    FakeData pictures(dataObjectCount, {0xFF, 0xFB, 0x90, 0x64}, DAT_BITMAP, 1 << 20);
    for (DATAFILE* data : {static_cast<DATAFILE*>(nullptr), shortFile.objects(),
                           brokenSounds.objects(), emptyObjects.objects(), pictures.objects()}) {
        Session session(data);
        for (int index = 0; index < soundEffectCount; ++index)
            playSound(effectNumber(index), centrePan);
        playMusic(menuTrack);
        resumeMusic();
        switchMusicOn();
        session.wait(100);
        Capture played = session.end();
        EXPECT_EQ(firstSound(played), -1);
    }
}

}  // namespace
}  // namespace vexlorn
