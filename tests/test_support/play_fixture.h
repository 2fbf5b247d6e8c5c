// A headless game for screen-flow tests: stand-in pictures, a menu at the bottom of the real
// stack, prepared boards, and the clock and keys driven by hand.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

#include "assets/assets.h"
#include "board/board.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "screens/high_scores.h"
#include "screens/name_entry.h"
#include "test_support/headless_allegro.h"
#include "test_support/test_datafile.h"

namespace vexlorn {

// What sits under the play state in the game; like the menu, it restarts the tick counters.
class MenuStandIn : public BaseState {
public:
    void activate() override {
        tickCount = 0;
        lastTickCount = 0;
        ++activations;
    }
    bool update() override { return true; }
    int activations = 0;
};

// A level's board with nothing about to happen: blocks from row 9 down in a pattern where no two
// neighbours share a colour, the avatar in the bottom shown row.
inline Board quietBoard(int level) {
    Board board{};
    for (int column = 0; column < boardColumns; ++column) {
        for (int row = 9; row < boardRows; ++row) {
            Cell& cell = board.at(column, row);
            cell.kind = Block;
            cell.colour = (column + 3 * row) % blockColours;
        }
    }
    board.topRow = 1;
    board.riseStep = 1;
    board.avatarCol = 5;
    board.avatarRow = 12;
    board.at(5, 12).kind = Avatar;
    board.at(5, 12).colour = 0;
    board.level = static_cast<int16_t>(level);
    board.continues = 3;
    return board;
}

// One rise step short of the end of the well, with nothing near the danger row.
inline Board usedUpBoard(int level) {
    Board board = quietBoard(level);
    for (int column = 0; column < boardColumns; ++column) {
        for (int row = 0; row <= 30; ++row) board.at(column, row) = Cell{};
    }
    board.topRow = 29;
    board.riseStep = 32;
    board.avatarRow = 31;
    board.at(5, 31).kind = Avatar;
    return board;
}

// A resting block in the danger row.
inline void topOut(Board& board) {
    Cell& cell = board.at(0, board.topRow);
    cell.kind = Block;
    cell.colour = 1;
    cell.state = Idle;
}

inline bool boardRulesBuilt() {
    Board board = quietBoard(0);
    topOut(board);
    return isToppedOut(board);
}

class PlayFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { assetsLoaded = loadTestAssets(); }
    static void TearDownTestSuite() {
        if (assetsLoaded) freeTestAssets();
        assetsLoaded = false;
    }

    void SetUp() override {
        ASSERT_TRUE(assetsLoaded);
        backBuffer = create_bitmap(screenWidth, screenHeight);
        clear_bitmap(backBuffer);
        keyToAscii = headlessKeyToAscii;
        taskList.clear();
        resetHighScores();
        cheatMode = false;
        lastKey = 0;
        tickCount = 0;
        lastTickCount = 0;
        newGameFlag = 1;
        stateStack.push(&menu);
    }
    void TearDown() override {
        stateStack.popAll();
        taskList.clear();
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
    }

    // One frame pass after `ticks` ticks of the 50-per-second clock.
    void pass(int ticks = 1) {
        tickCount = tickCount + ticks;
        stateStack.updateTop();
    }
    void press(int scancode) {
        lastKey = scancode;
        pass(0);
    }

    // A new game, through its get-ready screen, with both boards replaced by prepared ones. The
    // play screen's enter seeds from the clock: the round's draws are seeded again here, so
    // that the same boards, seed and passes always give the same round.
    void startRound(const Board& left, const Board& right, unsigned seed = 1) {
        newGameFlag = 1;
        stateStack.push(&game1State);
        for (int i = 0; i < 200 && stateStack.top() != &game1State; ++i) pass();
        ASSERT_EQ(stateStack.top(), &game1State);
        *leftBoard = left;
        *rightBoard = right;
        riseClock = 0;
        gameSeed(seed);
        game1State.aiDirection = 0;
    }

    MenuStandIn menu;
    static inline bool assetsLoaded = false;
};

}  // namespace vexlorn
