// Continue, end, win and hall-of-fame screens driven through the real stack after prepared rounds.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "board/board_draw.h"
#include "board/effects.h"
#include "board/game_random.h"
#include "frame/globals.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/name_entry.h"
#include "screens/screen_draw.h"
#include "screens/start_state.h"
#include "screens/win_state.h"
#include "test_support/loop_present.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

class ScreensTest : public PlayFixture {};

class RoundScreensTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }

    // Plays a round at `level` that ends with the given boards topped out.
    void endRound(int level, bool leftOut, bool rightOut, int continues = 3, int score = 0) {
        Board left = quietBoard(level), right = quietBoard(level);
        left.continues = static_cast<int16_t>(continues);
        left.score = score;
        if (leftOut) topOut(left);
        if (rightOut) topOut(right);
        startRound(left, right);
        pass(0);
    }

    // The stack from the top down, as far as the menu.
    std::vector<BaseState*> stackBelowTop() const {
        std::vector<BaseState*> states;
        for (BaseState* state = stateStack.top(); state != nullptr; state = state->next) {
            states.push_back(state);
        }
        return states;
    }

    void typeName(const std::string& keys) {
        for (char key : keys) {
            if (key == '<') {
                press(KeyBackspace);
            } else {
                press(KEY_A + key - 'a');
            }
        }
    }

    static int coloursIn(int x0, int y0, int x1, int y1) {
        std::set<int> colours;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) colours.insert(getpixel(backBuffer, x, y));
        }
        return static_cast<int>(colours.size());
    }
};

TEST_F(RoundScreensTest, ContinueTakenInItsLastTickReplaysTheLevel) {
    endRound(2, true, false, 3, 40);
    ASSERT_EQ(stateStack.top(), &continue1State);
    EXPECT_EQ(continue1State.countdown, 550);
    EXPECT_EQ(leftBoard->continues, 2);
    pass(550);
    EXPECT_EQ(continue1State.countdown, 0);
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 2);
    EXPECT_EQ(leftBoard->score, 40);
    EXPECT_EQ(leftBoard->continues, 2);
    EXPECT_EQ(newGameFlag, 0);
}

TEST_F(RoundScreensTest, CountdownRunOutIsGameOverAndEndsThatUpdate) {
    endRound(2, true, false);
    ASSERT_EQ(stateStack.top(), &continue1State);
    pass(550);
    lastKey = KeyEnter;
    pass(1);
    ASSERT_EQ(stateStack.top(), &end1State);
    EXPECT_EQ(stackBelowTop(), (std::vector<BaseState*>{&end1State, &game1State, &menu}));
    EXPECT_FALSE(end1State.roundWon);
    EXPECT_EQ(leftBoard->continues, 0);
}

TEST_F(RoundScreensTest, LastContinueIsUsedThenTheNextLossEndsTheGame) {
    endRound(1, true, false, 1);
    ASSERT_EQ(stateStack.top(), &continue1State);
    EXPECT_EQ(leftBoard->continues, 0);
    press(KeySpace);
    ASSERT_EQ(stateStack.top(), &startState);

    Board left = quietBoard(1);
    left.continues = 0;
    topOut(left);
    stateStack.popAll();
    stateStack.push(&menu);
    startRound(left, quietBoard(1));
    pass(0);
    EXPECT_EQ(stateStack.top(), &end1State);
    EXPECT_FALSE(end1State.roundWon);
}

TEST_F(RoundScreensTest, WonRoundGoesToTheNextLevelAndTheLastOneToTheWinScreen) {
    for (int level = 0; level < levelCount; ++level) {
        endRound(level, false, true, 3, 123);
        if (level == levelCount - 1) {
            EXPECT_EQ(stateStack.top(), &winState);
        } else {
            ASSERT_EQ(stateStack.top(), &end1State) << "level " << level;
            EXPECT_TRUE(end1State.roundWon);
            pass(5);
            EXPECT_EQ(stateStack.top(), &end1State);
            press(KeyEnter);
            EXPECT_EQ(stateStack.top(), &startState);
            EXPECT_EQ(leftBoard->level, level + 1);
            EXPECT_EQ(leftBoard->score, 123);
        }
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

TEST_F(RoundScreensTest, RoundEndedWithNeitherBoardToppedOutIsLostThroughout) {
    Board left = usedUpBoard(3);
    left.continues = 0;
    left.score = 5000;
    startRound(left, quietBoard(3));
    pass(levelParams(3).riseInterval + 1);
    ASSERT_EQ(stateStack.top(), &end1State);
    EXPECT_FALSE(end1State.roundWon);
    typeName("zq");
    press(KeyEnter);
    EXPECT_EQ(stackBelowTop(), (std::vector<BaseState*>{&hiscoreState, &menu}));
    EXPECT_STREQ(highScoreTable[0].name, "zq");
    EXPECT_EQ(highScoreTable[0].level, 4);
    EXPECT_EQ(newGameFlag, 1);
}

TEST_F(RoundScreensTest, QualifyingGameOverEntersTheTypedInitials) {
    struct Case {
        std::string keys;
        const char* name;
    };
    const Case cases[] = {
        {"", ""}, {"k", "k"}, {"<kb", "kb"}, {"abcd", "abc"}, {"abc<x", "abx"},
    };
    int score = 300;
    for (const Case& c : cases) {
        // Just above row 4 (250): lands as row 4 every time.
        endRound(1, true, false, 0, score);
        ASSERT_EQ(stateStack.top(), &end1State);
        typeName(c.keys);
        press(KeyEnter);
        EXPECT_EQ(stackBelowTop(), (std::vector<BaseState*>{&hiscoreState, &menu}));
        EXPECT_STREQ(highScoreTable[3].name, c.name) << "keys " << c.keys;
        EXPECT_EQ(highScoreTable[3].level, 2);
        EXPECT_EQ(highScoreTable[3].score, score);
        EXPECT_EQ(taskList.size(), 0);
        stateStack.popAll();
        stateStack.push(&menu);
        ++score;
    }
}

// The close button or a stop signal on the name entry ends a finished game as Enter would; in
// the continue countdown, or after a won round, the game is not over and nothing is entered.
TEST_F(RoundScreensTest, ClosedOnTheNameEntryTheShownInitialsAreEntered) {
    const auto closeTop = [] { stateStack.top()->closing(); };
    unsigned char before[highScoreFileSize];
    encodeHighScores(before);
    endRound(1, true, false, 2, 300);
    ASSERT_EQ(stateStack.top(), &continue1State);
    closeTop();
    stateStack.popAll();
    stateStack.push(&menu);
    endRound(1, false, true, 3, 5000);
    ASSERT_EQ(stateStack.top(), &end1State);
    closeTop();
    unsigned char after[highScoreFileSize];
    encodeHighScores(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    stateStack.popAll();
    stateStack.push(&menu);

    endRound(1, true, false, 0, 300);
    typeName("kb");
    closeTop();
    EXPECT_STREQ(highScoreTable[3].name, "kb");
    EXPECT_EQ(highScoreTable[3].level, 2);
    EXPECT_EQ(highScoreTable[3].score, 300);
    stateStack.popAll();
    stateStack.push(&menu);

    endRound(4, false, true, 3, 9000);
    ASSERT_EQ(stateStack.top(), &winState);
    typeName("wx");  // after the "kb" offered again
    closeTop();
    EXPECT_STREQ(highScoreTable[0].name, "kbw");
    EXPECT_EQ(highScoreTable[0].level, 5);
}

TEST_F(RoundScreensTest, NameEntryShownOnlyForAQualifyingScore) {
    endRound(0, true, false, 0, 5000);
    pass(0);
    const int withHeading = coloursIn(136, 64, 240, 72);
    stateStack.popAll();
    stateStack.push(&menu);

    endRound(0, true, false, 0, highScoreTable[9].score);
    ASSERT_EQ(stateStack.top(), &end1State);
    pass(0);
    EXPECT_LT(coloursIn(136, 64, 240, 72), withHeading);
    unsigned char before[highScoreFileSize];
    encodeHighScores(before);
    press(KEY_A);
    EXPECT_EQ(lastKey, KEY_A);  // no entry takes letters
    press(KeySpace);
    EXPECT_EQ(stateStack.top(), &hiscoreState);
    unsigned char after[highScoreFileSize];
    encodeHighScores(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
}

TEST_F(RoundScreensTest, WinScreenReleasesBalloonsAndEntersLevelFive) {
    endRound(4, false, true, 3, 9000);
    ASSERT_EQ(stateStack.top(), &winState);
    EXPECT_EQ(taskList.size(), 1);  // the first balloon at once
    for (int tick = 0; tick < 45; ++tick) pass();
    EXPECT_EQ(taskList.size(), 1);
    pass();
    EXPECT_EQ(taskList.size(), 2);
    typeName("wxyz");
    press(KeyEnter);
    EXPECT_EQ(stackBelowTop(), (std::vector<BaseState*>{&hiscoreState, &menu}));
    EXPECT_STREQ(highScoreTable[0].name, "wxy");
    EXPECT_EQ(highScoreTable[0].level, 5);
    EXPECT_EQ(highScoreTable[0].score, 9000);
    EXPECT_EQ(taskList.size(), 0);
}

// No two neighbouring pixels alike: a piece put back in the wrong place would show.
void paintNoise(int object) {
    BITMAP* picture = dataBitmap(object);
    ASSERT_NE(picture, nullptr);
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x)
            putpixel(picture, x, y, makecol(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
}

// Some passes come late, some before the next tick.
int passTicks(int i) {
    return i % 50 == 49 ? 3 : i % 9 == 4 ? 0 : 1;
}

// A lost round's countdown with a float still rising under the caption and the warning frame
// pulsing, then game over with the well shattering and initials typed. Where a pass could
// redraw only what changed, its frame must equal a full redraw of the same moment (effects
// advanced by no ticks draw exactly as they just did), and presenting only what it reported
// must leave the shown picture equal to the back buffer.
TEST_F(RoundScreensTest, ContinueAndEndPassesGiveTheFramesOfFullRedraws) {
    paintNoise(levelParams(2).background);
    endRound(2, true, false, 1, 9000);
    ASSERT_EQ(stateStack.top(), &continue1State);
    taskList.add(new (std::nothrow) FloatTask(0, 120, dataBitmap(ObjChain), 200, 150));
    LoopPresent loop;
    int compared = 0;
    for (int i = 0; i < 600 && stateStack.top() == &continue1State; ++i) {
        const bool continued = loop.pass(passTicks(i), i);
        EXPECT_TRUE(loop.presented()) << "continue pass " << i;
        if (!continued || stateStack.top() != &continue1State) continue;
        EXPECT_TRUE(loop.equalsFullRedraw([] {
            drawRound(continue1State.background, *leftBoard, *rightBoard, 0);
            greyBitmap(backBuffer);
            continue1State.drawPrompt();
        })) << "continue pass "
            << i;
        ++compared;
    }
    EXPECT_GT(compared, 400);
    ASSERT_EQ(stateStack.top(), &end1State);
    compared = 0;
    for (int i = 0; i < 300; ++i) {
        lastKey = i % 70 == 20 ? KEY_A + i % 26 : i == 230 ? KeyBackspace : 0;
        const bool typed = lastKey != 0;
        const bool continued = loop.pass(passTicks(i), i);
        EXPECT_TRUE(loop.presented()) << "end pass " << i;
        if (!continued || typed) continue;
        EXPECT_TRUE(loop.equalsFullRedraw([] {
            drawRound(end1State.background, end1State.boardCopy, *rightBoard, 0);
            greyBitmap(backBuffer);
            end1State.drawOverRound();
        })) << "end pass "
            << i;
        ++compared;
    }
    EXPECT_STRNE(entryName, "");
    EXPECT_GT(compared, 250);
    EXPECT_GT(loop.quietPasses(), 700);
}

// The win screen's passes, balloons rising over the picture and initials typed, against full
// redraws of the same moments; a pass that lets a balloon go draws it only from the next.
TEST_F(RoundScreensTest, WinPassesGiveTheFramesOfFullRedraws) {
    paintNoise(ObjWinPicture);
    endRound(4, false, true, 3, 9000);
    ASSERT_EQ(stateStack.top(), &winState);
    LoopPresent loop;
    int compared = 0;
    for (int i = 0; i < 400; ++i) {
        lastKey = i % 90 == 30 ? KEY_A + i % 26 : 0;
        const bool typed = lastKey != 0;
        const int balloons = taskList.size();
        const bool continued = loop.pass(passTicks(i), i);
        EXPECT_TRUE(loop.presented()) << "win pass " << i;
        if (!continued || typed || taskList.size() > balloons) continue;
        EXPECT_TRUE(loop.equalsFullRedraw([] {
            drawBackdrop(ObjWinPicture);
            taskList.updateAll(backBuffer, 0);
            drawNameEntry(winNameLayout);
        })) << "win pass "
            << i;
        ++compared;
    }
    EXPECT_GT(compared, 300);
    EXPECT_GT(loop.quietPasses(), 300);
}

TEST_F(ScreensTest, BalloonsRiseFromTheBottomAndLastThreeHundredTicks) {
    gameSeed(7);
    for (int i = 0; i < 50; ++i) spawnBalloon();
    int count = 0;
    for (BaseTask* task = taskList.first(); task != nullptr; task = task->next) {
        auto* balloon = static_cast<BalloonTask*>(task);
        EXPECT_GE(balloon->posX, 160);
        EXPECT_LE(balloon->posX, 479);
        EXPECT_EQ(balloon->posY, 470);
        EXPECT_LE(balloon->velY, -20);
        EXPECT_GE(balloon->velY, -79);
        EXPECT_GT(balloon->velX, -30);
        EXPECT_LE(balloon->velX, 30);
        ++count;
    }
    EXPECT_EQ(count, 50);
    taskList.clear();

    BalloonTask* balloon = new (std::nothrow) BalloonTask;
    balloon->posX = 200;
    balloon->posY = 470;
    balloon->velX = 10;
    balloon->velY = -40;
    taskList.add(balloon);
    taskList.updateAll(backBuffer,
                       50);  // one second: speeds first, then positions with the new speeds
    EXPECT_FLOAT_EQ(balloon->velX, 0);
    EXPECT_FLOAT_EQ(balloon->velY, -60);
    EXPECT_FLOAT_EQ(balloon->posX, 200);
    EXPECT_FLOAT_EQ(balloon->posY, 410);
    taskList.updateAll(backBuffer, 250);
    EXPECT_EQ(taskList.size(), 1);
    taskList.updateAll(backBuffer, 1);
    EXPECT_EQ(taskList.size(), 0);
}

TEST_F(ScreensTest, HallOfFameLeavesOnConfirmOrAfterItsTimeOut) {
    stateStack.push(&hiscoreState);
    pass(3600);
    EXPECT_EQ(stateStack.top(), &hiscoreState);
    lastKey = KeyEnter;
    pass(1);  // both the key and the time-out: still only this screen goes
    EXPECT_EQ(stateStack.top(), &menu);
    EXPECT_EQ(lastKey, 0);

    stateStack.push(&hiscoreState);
    pass(3601);
    EXPECT_EQ(stateStack.top(), &menu);
}

TEST_F(ScreensTest, EndScreenBobsTheWinnerBetweenPlusAndMinusTwenty) {
    EXPECT_EQ(bobOffset(0), 20);
    EXPECT_EQ(bobOffset(40), -20);
    EXPECT_EQ(bobOffset(60), 0);
    EXPECT_EQ(bobOffset(80), 20);
}

}  // namespace
}  // namespace vexlorn
