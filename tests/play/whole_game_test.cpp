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
    constexpr int maxGames = 6;
    constexpr long tickLimit = 2000000;
    bool wonAGame = false;
    // Ten points are the table's lowest: every won game enters it.
    for (HighScoreEntry& entry : highScoreTable) entry.score = 0;
    for (int game = 0; game < maxGames && !wonAGame; ++game) {
        const GameRecord record = playGame(tickLimit);
        ASSERT_EQ(stateStack.top(), &hiscoreState) << "game " << game << " never ended";
        EXPECT_EQ(taskList.size(), 0);
        EXPECT_EQ(stateStack.top()->next, &menu);
        if (record.won) {
            wonAGame = true;
            EXPECT_EQ(record.levelsPlayed, (std::set<int>{0, 1, 2, 3, 4}));
            bool entered = false;
            for (const HighScoreEntry& entry : highScoreTable) {
                if (entry.score == leftBoard->score && std::strcmp(entry.name, "v") == 0) {
                    entered = entry.level == 5;
                }
            }
            EXPECT_TRUE(entered) << "score " << leftBoard->score;
        }
        std::printf("game %d: %s after %d rounds, %ld ticks, levels up to %d, score %d\n", game,
                    record.won ? "won" : "lost", record.rounds, record.ticks,
                    *record.levelsPlayed.rbegin(), leftBoard->score);
        // Back to the menu, as the player would.
        press(KeyEnter);
        ASSERT_EQ(stateStack.top(), &menu);
    }
    EXPECT_TRUE(wonAGame) << "no game of " << maxGames << " reached the win screen";
}

}  // namespace
}  // namespace vexlorn
