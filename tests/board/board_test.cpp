// Generation of fresh boards and the level table.
#include "board/board.h"

#include <gtest/gtest.h>

#include "test_support/board_positions.h"

namespace vexlorn {
namespace {

int startRowOf(int level) {
    return level >= 3 ? 8 : 9;
}

TEST(LevelTable, NewGameRestoresTheListedValues) {
    levelTable[2].minGroup = 99;
    levelTable[4].riseInterval = 0;
    Board board{};
    generateBoard(&board, 1);
    const int fillRows[] = {3, 3, 3, 4, 4};
    const int riseInterval[] = {12, 10, 8, 6, 4};
    const int minGroup[] = {3, 3, 4, 4, 5};
    const int bombPercent[] = {0, 3, 6, 9, 12};
    const int rowPause[] = {20, 16, 12, 8, 4};
    for (int i = 0; i < levelCount; ++i) {
        EXPECT_EQ(levelTable[i].fillRows, fillRows[i]);
        EXPECT_EQ(levelTable[i].riseInterval, riseInterval[i]);
        EXPECT_EQ(levelTable[i].minGroup, minGroup[i]);
        EXPECT_EQ(levelTable[i].bombPercent, bombPercent[i]);
        EXPECT_EQ(levelTable[i].stonePercent, 0);
        EXPECT_EQ(levelTable[i].background, 14 + i);
        EXPECT_EQ(levelTable[i].rowPause, rowPause[i]);
    }
    EXPECT_EQ(&levelParams(5), &levelTable[4]);
    EXPECT_EQ(&levelParams(-1), &levelTable[0]);
}

TEST(Generation, NewGameAndNextLevelSetTheGameCounters) {
    Board board{};
    board.level = 3;
    board.score = 999;
    board.continues = 0;
    generateBoard(&board, 1);
    EXPECT_EQ(board.level, 0);
    EXPECT_EQ(board.score, 0);
    EXPECT_EQ(board.continues, 3);

    board.score = 120;
    board.continues = 1;
    for (int expected : {1, 2, 3, 4, 5, 5}) {
        generateBoard(&board, 0);
        EXPECT_EQ(board.level, expected);
        EXPECT_EQ(board.score, 120);
        EXPECT_EQ(board.continues, 1);
    }
    EXPECT_EQ(board.at(0, startRowOf(4) - 1).kind, Empty);  // level 5 plays level index 4
    EXPECT_NE(board.at(0, startRowOf(4)).kind, Empty);

    Board* allocated = generateBoard(nullptr, 1);
    ASSERT_NE(allocated, nullptr);
    EXPECT_EQ(allocated->at(1, 12).kind, Avatar);
    delete allocated;
}

// Many boards per level; each must keep every generation rule.
TEST(Generation, CellsFollowTheDrawRulesAtEveryLevel) {
    Board board{};
    generateBoard(&board, 1);
    for (int level = 0; level < levelCount; ++level) {
        int bombs = 0;
        for (int round = 0; round < 100; ++round) {
            board.level = static_cast<int16_t>(level - 1);
            if (level == 0) {
                generateBoard(&board, 1);
            } else {
                generateBoard(&board, 0);
            }
            ASSERT_EQ(board.level, level);
            const int startRow = startRowOf(level);
            EXPECT_EQ(board.topRow, 1);
            EXPECT_EQ(board.riseStep, 1);
            EXPECT_EQ(board.riseDelay, 0);
            EXPECT_EQ(board.avatarCol, 1);
            EXPECT_EQ(board.avatarRow, 12);
            EXPECT_EQ(board.at(1, 12).kind, Avatar);
            for (int column = 0; column < boardColumns; ++column) {
                for (int row = 0; row < boardRows; ++row) {
                    const Cell& cell = board.at(column, row);
                    ASSERT_EQ(cell.state, Idle);
                    ASSERT_EQ(cell.timer, 0);
                    ASSERT_EQ(cell.chain, 0);
                    if (row < startRow) {
                        ASSERT_EQ(cell.kind, Empty);
                        continue;
                    }
                    ASSERT_NE(cell.kind, Stone);
                    ASSERT_NE(cell.kind, Empty);
                    ASSERT_GE(cell.colour, 0);
                    ASSERT_LT(cell.colour, blockColours);
                    if (cell.kind == Bomb) {
                        ++bombs;
                        ASSERT_EQ(cell.colour, 0);
                    }
                    if (cell.kind != Block || row == startRow || column == 0) continue;
                    ASSERT_NE(cell.colour, board.at(column, row - 1).colour)
                        << column << "," << row;
                    ASSERT_NE(cell.colour, board.at(column - 1, row).colour)
                        << column << "," << row;
                }
            }
        }
        if (level == 0) {
            EXPECT_EQ(bombs, 0);
        } else {
            EXPECT_GT(bombs, 0);
        }
    }
}

TEST(Window, EndsTwelveRowsDownOrAtTheBottomOfTheWell) {
    Board board = emptyBoard(0);
    EXPECT_EQ(windowEnd(board), 13);
    EXPECT_FALSE(isPlayCell(board, 0, 1));
    EXPECT_TRUE(isPlayCell(board, 0, 2));
    EXPECT_TRUE(isPlayCell(board, 5, 12));
    EXPECT_FALSE(isPlayCell(board, 5, 13));
    EXPECT_FALSE(isPlayCell(board, -1, 5));
    EXPECT_FALSE(isPlayCell(board, 6, 5));
    board.topRow = 29;
    EXPECT_EQ(windowEnd(board), 36);
    EXPECT_TRUE(isPlayCell(board, 0, 35));
}

}  // namespace
}  // namespace vexlorn
