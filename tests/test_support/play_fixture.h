// A headless game for screen-flow tests: stand-in pictures, a menu at the bottom of the real
// stack, prepared boards, and the clock and keys driven by hand.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/assets.h"
#include "board/board.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "screens/high_scores.h"
#include "screens/name_entry.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {

// Plain coloured pictures in place of the data file, and Allegro's own font.
class StandInAssets {
public:
    StandInAssets() {
        for (int i = 0; i < dataObjectCount; ++i) {
            const bool backdrop = (i >= ObjLevelBackdrop0 && i < ObjLevelBackdrop0 + levelCount) ||
                                  i == ObjWinPicture || i == ObjHallOfFame;
            BITMAP* picture =
                backdrop ? create_bitmap(screenWidth, screenHeight) : create_bitmap(40, 24);
            clear_to_color(picture, makecol(20 + i, 40, 60));
            objects_[i].type = DAT_BITMAP;
            objects_[i].dat = picture;
            objects_[i].size = 0;
            objects_[i].prop = nullptr;
        }
        objects_[dataObjectCount].type = DAT_END;
        objects_[dataObjectCount].dat = nullptr;
        dataFile = objects_;
        gameFont = font;
        fillTiles(blockTiles, 8);
        fillTiles(incomingTiles, 8);
        fillTiles(blastFrames, 15);
        fillTiles(avatarFrames, 6);
        fillTiles(&bombTile, 1);
        fillTiles(&stoneTile, 1);
    }
    ~StandInAssets() {
        dataFile = nullptr;
        gameFont = nullptr;
        for (int i = 0; i < dataObjectCount; ++i)
            destroy_bitmap(static_cast<BITMAP*>(objects_[i].dat));
        for (BITMAP* tile : tiles_) destroy_bitmap(tile);
        std::memset(blockTiles, 0, sizeof blockTiles);
        std::memset(incomingTiles, 0, sizeof incomingTiles);
        std::memset(blastFrames, 0, sizeof blastFrames);
        std::memset(avatarFrames, 0, sizeof avatarFrames);
        bombTile = stoneTile = nullptr;
    }

private:
    void fillTiles(BITMAP** table, int count) {
        for (int i = 0; i < count; ++i) {
            table[i] = create_bitmap(32, 32);
            clear_to_color(table[i], makecol(200, 30 * i % 256, 90));
            tiles_.push_back(table[i]);
        }
    }
    DATAFILE objects_[dataObjectCount + 1];
    std::vector<BITMAP*> tiles_;
};

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

// Letters a..z as Allegro numbers them; the real table needs a keyboard driver.
inline int testKeyToAscii(int scancode) {
    if (scancode >= KEY_A && scancode <= KEY_Z) return 'a' + scancode - KEY_A;
    if (scancode >= KEY_0 && scancode <= KEY_9) return '0' + scancode - KEY_0;
    if (scancode == KEY_SPACE) return ' ';
    return 0;
}

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
    void SetUp() override {
        ensureHeadlessAllegro();
        backBuffer = create_bitmap(screenWidth, screenHeight);
        clear_bitmap(backBuffer);
        assets_ = new StandInAssets;
        keyToAscii = testKeyToAscii;
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
        delete assets_;
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

    // A new game, through its get-ready screen, with both boards replaced by prepared ones.
    void startRound(const Board& left, const Board& right) {
        newGameFlag = 1;
        stateStack.push(&game1State);
        for (int i = 0; i < 200 && stateStack.top() != &game1State; ++i) pass();
        ASSERT_EQ(stateStack.top(), &game1State);
        *leftBoard = left;
        *rightBoard = right;
        riseClock = 0;
    }

    MenuStandIn menu;
    StandInAssets* assets_ = nullptr;
};

}  // namespace vexlorn
