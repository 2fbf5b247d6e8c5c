// What each screen asks the sound layer for: which effect at which pan, and which track.
#include <gtest/gtest.h>

#include <vector>

#include "audiere.h"
#include "screens/about_state.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "screens/order_state.h"
#include "screens/screen_fixture.h"
#include "screens/win_state.h"
#include "test_support/play_fixture.h"
#include "test_support/sound_recorder.h"

namespace vexlorn {
namespace {

using Sounds = std::vector<Heard>;

class PageSoundsTest : public ScreenTest {
protected:
    SoundRecorder sound;
};

TEST_F(PageSoundsTest, IntroMenuAndPagesPlayTheirTracksAndCursorsClickInTheCentre) {
    stateStack.push(&introState);
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::Title)});
    press(KeyEnter);
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::Menu)});
    press(KeyDown);
    press(KeyUp);
    EXPECT_EQ(sound.take(),
              (Sounds{effect(SoundEffect::Move, panCentre), effect(SoundEffect::Move, panCentre)}));

    stateStack.push(&instructionsState);
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::Information)});
    stateStack.pop();
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::Menu)});
    stateStack.push(&aboutState);
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::Information)});
    stateStack.pop();
    sound.take();
    stateStack.push(&hiscoreState);
    EXPECT_EQ(sound.take(), Sounds{track(MusicTrack::HallOfFame)});
    stateStack.pop();
    sound.take();

    stateStack.push(&orderState);
    press(KeyLeft);
    EXPECT_EQ(sound.take(), Sounds{effect(SoundEffect::Move, panCentre)});
}

class RoundSoundsTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }

    // Starts a round at `level` that ends at once with the given boards topped out, and
    // returns what was heard from the end of the get-ready screen on.
    Sounds endRound(int level, bool leftOut, bool rightOut, int continues = 3) {
        Board left = quietBoard(level), right = quietBoard(level);
        left.continues = static_cast<int16_t>(continues);
        if (leftOut) topOut(left);
        if (rightOut) topOut(right);
        startRound(left, right);
        sound.take();
        pass(0);
        return sound.take();
    }

    // Whether every effect heard was played at `pan` (or is the centred stone drop).
    static bool allAt(const Sounds& heard, int pan) {
        for (const Heard& one : heard) {
            if (one.music || one == effect(SoundEffect::Stones, panCentre)) continue;
            if (one.pan != pan) return false;
        }
        return true;
    }

    SoundRecorder sound;
};

TEST_F(RoundSoundsTest, GetReadyScreenSilencesTheMenuThenPlaysItsTuneReadyAndGo) {
    startRound(quietBoard(0), quietBoard(0));
    EXPECT_EQ(sound.take(),
              (Sounds{track(MusicTrack::Silence), track(MusicTrack::RoundStart),
                      effect(SoundEffect::Ready, panCentre), effect(SoundEffect::Go, panCentre)}));
}

// Not only the track numbers: the tune each screen starts, as the real sound layer opens it
// from the data file's objects.
TEST_F(RoundSoundsTest, EachScreenStartsItsOwnTune) {
    openAudioDevice();
    const audiere::AudioDevicePtr device(audiere::OpenDevice());  // the game's, when one opened
    if (!device) GTEST_SKIP() << "no sound output opens here";
    loadSounds();
    struct Started {
        const char* screen;
        int tune;
    };
    std::vector<Started> heard;
    auto hear = [&heard](const char* screen) { heard.push_back({screen, startedTuneObject()}); };
    stateStack.push(&introState);
    hear("intro");
    stateStack.push(&menuState);
    hear("menu");
    stateStack.push(&instructionsState);
    hear("instructions");
    stateStack.pop();
    hear("menu again");
    stateStack.push(&hiscoreState);
    hear("hall of fame");
    stateStack.popAll();
    stateStack.push(&menu);
    startRound(quietBoard(0), quietBoard(0));
    hear("get ready");
    endRound(1, true, false);
    hear("continue");
    stateStack.popAll();
    stateStack.push(&menu);
    endRound(levelCount - 1, false, true);
    hear("win");
    stateStack.popAll();
    stateStack.push(&menu);
    endRound(1, false, true);
    hear("end");
    releaseSounds();
    const Started expected[] = {
        {"intro", ObjMusicTitle},
        {"menu", ObjMusicMenu},
        {"instructions", ObjMusicInformation},
        {"menu again", ObjMusicMenu},
        {"hall of fame", ObjMusicHallOfFame},
        {"get ready", ObjMusicMenu},
        {"continue", ObjMusicContinue},
        {"win", ObjMusicTitle},
        {"end", -1},
    };
    ASSERT_EQ(heard.size(), std::size(expected));
    for (size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(heard[i].tune, expected[i].tune) << expected[i].screen;
    }
}

TEST_F(RoundSoundsTest, PlayPansEachBoardsSoundsToItsOwnSide) {
    startRound(quietBoard(0), quietBoard(0));
    sound.take();
    press(KeyLeft);
    EXPECT_EQ(sound.take(), Sounds{effect(SoundEffect::Move, panLeft)});

    // The opponent moves when the rise clock runs over.
    riseClock = levelParams(0).riseInterval + 1;
    pass(0);
    EXPECT_TRUE(sound.any(effect(SoundEffect::Move, panRight)));
    EXPECT_TRUE(allAt(sound.take(), panRight));

    // Stones fall onto each board and land with that board's pan.
    dropStones(*rightBoard, 2);
    EXPECT_EQ(sound.take(), (Sounds{effect(SoundEffect::Stones, panCentre),
                                    effect(SoundEffect::Stones, panCentre)}));
    for (int tick = 0; tick < 100; ++tick) pass(1);
    EXPECT_TRUE(sound.any(effect(SoundEffect::StoneLanded, panRight)));
    EXPECT_TRUE(allAt(sound.take(), panRight));
    dropStones(*leftBoard, 2);
    for (int tick = 0; tick < 100; ++tick) pass(1);
    EXPECT_TRUE(sound.any(effect(SoundEffect::StoneLanded, panLeft)));
    EXPECT_FALSE(sound.any(effect(SoundEffect::StoneLanded, panRight)));
}

TEST_F(RoundSoundsTest, RoundEndsSoundWonLostContinueAndWin) {
    EXPECT_EQ(endRound(1, true, false), Sounds{track(MusicTrack::Continue)});
    stateStack.popAll();
    stateStack.push(&menu);
    EXPECT_EQ(endRound(1, false, true),
              (Sounds{track(MusicTrack::Silence), effect(SoundEffect::Won, panCentre)}));
    stateStack.popAll();
    stateStack.push(&menu);
    EXPECT_EQ(endRound(1, true, false, 0),
              (Sounds{track(MusicTrack::Silence), effect(SoundEffect::Lost, panCentre)}));
    // After the game over, on to the hall of fame with its tune.
    for (int i = 0; i < 400 && stateStack.top() == &end1State; ++i) {
        lastKey = KeyEnter;
        pass(10);
    }
    ASSERT_EQ(stateStack.top(), &hiscoreState);
    EXPECT_TRUE(sound.any(track(MusicTrack::HallOfFame)));
    stateStack.popAll();
    stateStack.push(&menu);
    EXPECT_EQ(endRound(levelCount - 1, false, true), Sounds{track(MusicTrack::Title)});
    EXPECT_EQ(stateStack.top(), &winState);
}

}  // namespace
}  // namespace vexlorn
