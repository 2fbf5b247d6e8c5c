// Whole games played headless, tick by tick: the opponent's search steers both sides.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "board/opponent.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/win_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

// The arrow key for each entry of directionTable.
const int arrowForDirection[4] = {KeyUp, KeyRight, KeyDown, KeyLeft};

struct GameRecord {
    std::set<int> levelsPlayed;
    bool won = false;
    int rounds = 0;
    long ticks = 0;
};

class WholeGameTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }

    // The left board's player: presses the key the opponent's search would choose, whenever
    // the avatar is free to move.
    void steerLeftBoard() {
        const Cell& avatar = leftBoard->at(leftBoard->avatarCol, leftBoard->avatarRow);
        if (avatar.state != Idle || lastKey != 0) return;
        leftDirection = chooseAiDirection(*leftBoard, leftDirection);
        lastKey = arrowForDirection[leftDirection];
    }

    // From a fresh game to the hall of fame, taking every continue and replay offered.
    GameRecord playGame(long tickLimit) {
        GameRecord record;
        newGameFlag = 1;
        stateStack.push(&game1State);
        int screenTicks = 0;
        BaseState* previous = nullptr;
        while (stateStack.top() != &hiscoreState && record.ticks < tickLimit) {
            BaseState* top = stateStack.top();
            screenTicks = top == previous ? screenTicks + 1 : 0;
            previous = top;
            if (top == &game1State) {
                record.levelsPlayed.insert(leftBoard->level);
                // The same search on both sides wins about half the rounds; never running out
                // of continues lets one game reach every level.
                leftBoard->continues = 3;
                steerLeftBoard();
            } else if (top == &continue1State && screenTicks == 20) {
                ++record.rounds;
                lastKey = KeyEnter;
            } else if (top == &end1State && screenTicks == 120) {
                ++record.rounds;
                lastKey = KeyEnter;
            } else if (top == &winState) {
                record.won = true;
                if (screenTicks == 100) lastKey = KEY_V;
                if (screenTicks == 200) lastKey = KeyEnter;
            }
            pass(1);
            ++record.ticks;
        }
        return record;
    }

    int leftDirection = 0;
};

TEST_F(WholeGameTest, BothSidesSteeredByTheOpponentPlayEveryLevelToTheHallOfFame) {
    // Ten points are the table's lowest: a won game enters it.
    for (HighScoreEntry& entry : highScoreTable) entry.score = 0;
    const GameRecord record = playGame(3000000);
    std::printf("%d rounds, %ld ticks, score %d\n", record.rounds, record.ticks, leftBoard->score);
    ASSERT_EQ(stateStack.top(), &hiscoreState) << "the game never ended";
    EXPECT_TRUE(record.won);
    EXPECT_EQ(record.levelsPlayed, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(stateStack.top()->next, &menu);
    EXPECT_EQ(taskList.size(), 0);
    bool entered = false;
    for (const HighScoreEntry& entry : highScoreTable) {
        if (entry.score == leftBoard->score && std::strcmp(entry.name, "v") == 0) {
            entered = entry.level == 5;
        }
    }
    EXPECT_TRUE(entered) << "score " << leftBoard->score;
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &menu);
}

}  // namespace
}  // namespace vexlorn
