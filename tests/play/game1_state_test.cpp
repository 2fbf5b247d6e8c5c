// The play state driven through the real stack: rise clock, round ends, chains, keys.
#include "play/game1_state.h"

#include <gtest/gtest.h>

#include "board/effects.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/pause_state.h"
#include "screens/start_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

class Game1StateTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }
    static bool effectTasksBuilt() {
        FloatTask probe(0, 120, dataBitmap(ObjChain), 0, 0);
        return probe.update(0);
    }
    static int stonesInRow(const Board& board, int row) {
        int stones = 0;
        for (int column = 0; column < boardColumns; ++column) {
            if (board.at(column, row).kind == Stone) ++stones;
        }
        return stones;
    }
};

TEST_F(Game1StateTest, GetReadyScreenHandsOverAtTick91) {
    newGameFlag = 1;
    stateStack.push(&game1State);
    ASSERT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(taskList.size(), 2);  // the two pop-ups
    riseClock = 77;
    pass(90);
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(riseClock, 0);
    pass(1);
    EXPECT_EQ(stateStack.top(), &game1State);
    EXPECT_EQ(tickCount, 0);
    EXPECT_EQ(riseClock, 0);
}

TEST_F(Game1StateTest, RisesOnlyWhenTheClockPassesTheInterval) {
    startRound(quietBoard(0), quietBoard(0));
    const int interval = levelParams(0).riseInterval;
    pass(interval);
    EXPECT_EQ(riseClock, interval);
    EXPECT_EQ(leftBoard->riseStep, 1);
    EXPECT_EQ(rightBoard->riseStep, 1);
    pass(1);
    EXPECT_EQ(leftBoard->riseStep, 2);
    EXPECT_EQ(rightBoard->riseStep, 2);
    EXPECT_EQ(riseClock, 1);
}

TEST_F(Game1StateTest, SlowPassTakesOneStepPerUpdateAndWorksOffTheBacklog) {
    startRound(quietBoard(0), quietBoard(0));
    const int interval = levelParams(0).riseInterval;
    pass(2 * interval + 5);
    EXPECT_EQ(leftBoard->riseStep, 2);
    EXPECT_EQ(rightBoard->riseStep, 2);
    EXPECT_EQ(riseClock, interval + 5);
    pass(0);
    EXPECT_EQ(leftBoard->riseStep, 3);
    EXPECT_EQ(riseClock, 5);
    pass(0);
    EXPECT_EQ(leftBoard->riseStep, 3);
}

TEST_F(Game1StateTest, FailedRiseOnEitherSideStepsTheOtherBoardToo) {
    // One step short of the end of the well, with nothing near the danger row.
    Board usedUp = quietBoard(0);
    for (int column = 0; column < boardColumns; ++column) {
        for (int row = 0; row <= 30; ++row) usedUp.at(column, row) = Cell{};
    }
    usedUp.topRow = 29;
    usedUp.riseStep = 32;
    usedUp.avatarRow = 31;
    usedUp.at(5, 31).kind = Avatar;

    startRound(quietBoard(0), usedUp);
    pass(levelParams(0).riseInterval + 1);
    EXPECT_EQ(leftBoard->riseStep, 2);
    EXPECT_NE(stateStack.top(), &game1State);
    stateStack.popAll();

    stateStack.push(&menu);
    startRound(usedUp, quietBoard(0));
    pass(levelParams(0).riseInterval + 1);
    EXPECT_EQ(rightBoard->riseStep, 3);  // its own step and the one for the failed left board
    EXPECT_NE(stateStack.top(), &game1State);
}

TEST_F(Game1StateTest, BothToppedOutIsADrawAndUsesNoContinue) {
    Board left = quietBoard(1), right = quietBoard(1);
    topOut(left);
    topOut(right);
    startRound(left, right);
    pass();
    ASSERT_EQ(stateStack.top(), &continue1State);
    EXPECT_TRUE(continue1State.isDraw);
    EXPECT_EQ(leftBoard->continues, 3);
    pass(600);  // no countdown in a draw
    EXPECT_EQ(stateStack.top(), &continue1State);
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 1);
    EXPECT_EQ(leftBoard->continues, 3);
}

TEST_F(Game1StateTest, ChainsShowFloatsUpToTwoAndDropTheirStones) {
    for (int chain : {1, 3}) {
        Board left = quietBoard(0);
        // Two resting blocks and one landing on them that fell from a chain: one group.
        for (int row : {10, 11, 12}) {
            left.at(0, row).colour = 6;
        }
        left.at(0, 10).state = Landed;
        left.at(0, 10).chain = static_cast<int16_t>(chain);
        startRound(left, quietBoard(0));
        const int tasksBefore = taskList.size();
        pass(0);
        EXPECT_EQ(game1State.leftResult, chain) << "chain " << chain;
        EXPECT_EQ(stonesInRow(*rightBoard, rightBoard->topRow), chain) << "chain " << chain;
        if (effectTasksBuilt()) {
            EXPECT_EQ(taskList.size() - tasksBefore, chain <= 2 ? 1 : 0) << "chain " << chain;
        }
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

TEST_F(Game1StateTest, ArrowKeysMoveTheAvatarAndAreConsumedEvenWhenRefused) {
    startRound(quietBoard(0), quietBoard(0));
    press(KeyLeft);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(leftBoard->at(5, 12).state, Swapping);
    EXPECT_EQ(leftBoard->moveCol, 4);
    pass(10);
    EXPECT_EQ(leftBoard->avatarCol, 4);
    press(KeyDown);  // below the window: refused, still consumed
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(leftBoard->avatarRow, 12);
}

TEST_F(Game1StateTest, LevelSkipKeyOnlyUnderCheat) {
    startRound(quietBoard(0), quietBoard(0));
    press(KeyPlusPad);
    EXPECT_EQ(stateStack.top(), &game1State);
    EXPECT_EQ(lastKey, KeyPlusPad);
    EXPECT_EQ(leftBoard->level, 0);

    cheatMode = true;
    pass(0);
    ASSERT_EQ(stateStack.top(), &continue1State);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(leftBoard->continues, 3);  // one given, one taken back
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 1);
    EXPECT_EQ(rightBoard->level, 1);
}

TEST_F(Game1StateTest, LevelSkipKeyAtTheLastLevelReplaysIt) {
    cheatMode = true;
    startRound(quietBoard(4), quietBoard(4));
    press(KeyPlusPad);
    ASSERT_EQ(stateStack.top(), &continue1State);
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 4);
    EXPECT_EQ(rightBoard->level, 4);
}

TEST_F(Game1StateTest, PauseFreezesUntilAnyKeyAndEscapeReturnsToTheMenu) {
    startRound(quietBoard(0), quietBoard(0));
    riseClock = 7;
    press(KeyP);
    ASSERT_EQ(stateStack.top(), &pauseState);
    EXPECT_EQ(lastKey, 0);
    pass(500);
    EXPECT_EQ(stateStack.top(), &pauseState);
    press(KEY_Q);
    EXPECT_EQ(stateStack.top(), &game1State);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(riseClock, 7);
    EXPECT_EQ(leftBoard->riseStep, 1);

    const int menuActivations = menu.activations;
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &menu);
    EXPECT_EQ(menu.activations, menuActivations + 1);
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(lastTickCount, 0);
}

}  // namespace
}  // namespace vexlorn
