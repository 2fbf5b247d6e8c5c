// The stronger computer's plans: the cascades it plays forward, and the moves it picks.
#include "board/planner.h"

#include <gtest/gtest.h>

#include "board/game_random.h"
#include "test_support/board_positions.h"

namespace vexlorn {
namespace {

enum { Up, Right, Down, Left };

Board scriptedBoard(std::initializer_list<std::string> rows, int firstRow, int level = 0) {
    Board board = emptyBoard(level);
    setRows(board, firstRow, rows);
    return board;
}

// Right clears three 0s; the 1 over them lands beside two 1s: a chain, one stone.
Board chainPosition() {
    return scriptedBoard({"1.....",  //
                          "0@0...",  //
                          "011..."},
                         10);
}

TEST(Planner, PlaysCascadesForwardAndCountsOnlyChainsAsStones) {
    const Board board = chainPosition();
    EXPECT_EQ(plannedStones(board, Right), 1);
    EXPECT_EQ(plannedStones(board, Down), 0);  // a swap that clears nothing
    EXPECT_EQ(plannedStones(board, Up), -1);   // nothing above the figure to swap with
    // Without the 1 that falls, the clear is a single group and sends nothing.
    Board plain = board;
    putCell(plain, 0, 10, Empty);
    EXPECT_EQ(plannedStones(plain, Right), 0);
}

TEST(Planner, TakesTheChainAndStandsStillWhenNothingImproves) {
    EXPECT_EQ(choosePlannedDirection(chainPosition(), 1), Right);
    EXPECT_EQ(choosePlannedDirection(chainPosition(), longestPlan + 5), Right);
    // A lone figure on blocks that can never group: no plan beats standing still.
    const Board stuck = scriptedBoard({"@.....", "0....."}, 11);
    EXPECT_EQ(choosePlannedDirection(stuck, 3), -1);
    // The strongest's long plans, keeping only the most promising, agree on both.
    EXPECT_EQ(chooseBeamDirection(chainPosition(), 4, longestBeamPlan + 5), Right);
    EXPECT_EQ(chooseBeamDirection(stuck, 128, 8), -1);
}

TEST(Planner, DrawsNoRandomNumbers) {
    gameSeed(7);
    const int expected = gameRand();
    gameSeed(7);
    choosePlannedDirection(chainPosition(), longestPlan);
    chooseBeamDirection(chainPosition(), 128, longestBeamPlan);
    EXPECT_EQ(gameRand(), expected);
}

}  // namespace
}  // namespace vexlorn
