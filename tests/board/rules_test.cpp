// Board rules on scripted positions: matching, scoring, blasts, chains, moves, rise and stones.
#include "board/rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "board/game_random.h"
#include "test_support/board_positions.h"

namespace vexlorn {
namespace {

// Stones under the window so that nothing in the shown rows falls out of it.
Board scriptedBoard(int level = 0) {
    Board board = emptyBoard(level);
    for (int row = windowEnd(board); row < boardRows; ++row) {
        for (int column = 0; column < boardColumns; ++column) putCell(board, column, row, Stone);
    }
    return board;
}

int countState(const Board& board, int32_t state) {
    int count = 0;
    for (const auto& column : board.cells) {
        for (const Cell& cell : column) count += cell.kind != Empty && cell.state == state;
    }
    return count;
}

TEST(Matching, GroupOfMinGroupClearsAndOneFewerStaysAtEveryLevel) {
    for (int level = 0; level <= levelCount; ++level) {
        const int minGroup = levelParams(level).minGroup;
        for (int size : {minGroup - 1, minGroup}) {
            Board board = scriptedBoard(level);
            for (int column = 0; column < size; ++column) putCell(board, column, 12, Block, 2);
            const int16_t result = resolveAt(board, 0, 12, true);
            const bool clears = size >= minGroup;
            EXPECT_EQ(result, clears ? 1 : 0) << "level " << level << " size " << size;
            EXPECT_EQ(countState(board, Clearing), clears ? size : 0);
            EXPECT_EQ(board.score, clears ? groupPoints(size) : 0);
        }
    }
    // At level index 2 three blocks of one colour in a line stay.
    Board board = scriptedBoard(2);
    setRows(board, 12, {"333..."});
    EXPECT_EQ(resolveAt(board, 1, 12, true), 0);
}

TEST(Matching, StoneGoesWithItsGroupButIsNotCounted) {
    Board twoAndStone = scriptedBoard(0);
    setRows(twoAndStone, 12, {"11S..."});
    EXPECT_EQ(resolveAt(twoAndStone, 0, 12, true), 0);
    EXPECT_EQ(twoAndStone.at(2, 12).state, Idle);

    Board threeAndStones = scriptedBoard(0);
    setRows(threeAndStones, 11, {"S.....", "111S.."});
    EXPECT_EQ(resolveAt(threeAndStones, 1, 12, true), 1);
    EXPECT_EQ(threeAndStones.at(3, 12).state, Clearing);
    EXPECT_EQ(threeAndStones.at(0, 11).state, Clearing);
    EXPECT_EQ(threeAndStones.score, 1);  // a group of three, the stones add nothing
}

TEST(Matching, OnlyIdleCellsOfOneKindAndColourInThePlayAreaJoin) {
    Board board = scriptedBoard(0);
    setRows(board, 11, {"4.....", "44B4.."});
    board.at(3, 12).state = Falling;
    EXPECT_EQ(resolveAt(board, 0, 12, true), 1);  // (0,11), (0,12), (1,12)
    EXPECT_EQ(board.at(3, 12).state, Falling);
    EXPECT_EQ(board.at(2, 12).state, Idle);

    // Cells below the window never join.
    Board low = scriptedBoard(0);
    setRows(low, 12, {"5....."});
    putCell(low, 0, 13, Block, 5);
    putCell(low, 0, 14, Block, 5);
    EXPECT_EQ(resolveAt(low, 0, 12, true), 0);
}

TEST(Matching, StartCellInTheDangerRowCountsOnlyThePartBelowIt) {
    Board board = scriptedBoard(0);
    setRows(board, 1, {"..6...", "..6...", "..6..."});
    EXPECT_EQ(resolveAt(board, 2, 1, true), 0);  // two cells below the danger row
    EXPECT_EQ(countState(board, Clearing), 0);

    setRows(board, 4, {"..6..."});
    EXPECT_EQ(resolveAt(board, 2, 1, true), 1);
    EXPECT_EQ(board.at(2, 1).state, Idle);  // never counted nor cleared itself
    EXPECT_EQ(countState(board, Clearing), 3);
    EXPECT_EQ(board.score, 1);
}

TEST(Scoring, PointsDoubleFromSizeThreeAndSaturate) {
    for (int size = 3; size <= 12; ++size) EXPECT_EQ(groupPoints(size), 1 << (size - 3));
    EXPECT_EQ(groupPoints(13), 1024);
    EXPECT_EQ(groupPoints(20), 512 << 8);
    EXPECT_EQ(groupPoints(33), 1 << 30);
    EXPECT_EQ(groupPoints(34), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(groupPoints(66), std::numeric_limits<int32_t>::max());

    Board five = scriptedBoard(0);
    setRows(five, 12, {"77777."});
    five.score = 10;
    EXPECT_EQ(resolveAt(five, 4, 12, true), 1);
    EXPECT_EQ(five.score, 14);

    Board nearTop = scriptedBoard(0);
    setRows(nearTop, 12, {"77777."});
    nearTop.score = std::numeric_limits<int32_t>::max() - 1;
    resolveAt(nearTop, 0, 12, true);
    EXPECT_EQ(nearTop.score, std::numeric_limits<int32_t>::max());
}

TEST(Blasts, BombGroupBlastsItsSquaresAndScoresNothing) {
    Board board = scriptedBoard(0);
    setRows(board, 8,
            {"121212",  //
             "2S3@4.",  //
             "1BBB21",  //
             "232323",  //
             "545454"});
    board.at(0, 11).state = Falling;
    const int16_t result = resolveAt(board, 1, 10, true);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(board.score, 0);
    // Squares around (1..3, 10): columns 0..4, rows 9..11.
    for (int column = 0; column <= 4; ++column) {
        for (int row = 9; row <= 11; ++row) {
            const Cell& cell = board.at(column, row);
            if (cell.kind == Empty || cell.kind == Avatar || (column == 0 && row == 11)) continue;
            EXPECT_EQ(cell.state, Blasting) << column << "," << row;
        }
    }
    EXPECT_EQ(board.at(0, 11).state, Falling);  // busy cells are left alone
    EXPECT_EQ(board.at(3, 9).kind, Avatar);     // the avatar never goes
    EXPECT_EQ(board.at(3, 9).state, Idle);
    EXPECT_EQ(board.at(5, 10).state, Idle);
    EXPECT_EQ(board.at(2, 8).state, Idle);
    EXPECT_EQ(board.at(2, 12).state, Idle);
}

TEST(Blasts, BlastNeverReachesTheDangerRow) {
    Board board = scriptedBoard(0);
    setRows(board, 1, {"111...", "BBB..."});
    resolveAt(board, 0, 2, true);
    EXPECT_EQ(countState(board, Blasting), 3);
    EXPECT_EQ(board.at(0, 1).state, Idle);
}

// The first group clears; a block falling into the gap completes a second (chain level 2),
// whose gap brings a third (level 3).
TEST(Chains, FallsIntoNewGroupsReturnOneThenTwo) {
    Board board = scriptedBoard(0);
    setRows(board, 9,
            {".....2",  //
             ".....1",  //
             "...331",  //
             "@.3221"});
    std::vector<int> bonuses;
    for (int tick = 0; tick < 400; ++tick) {
        const int16_t bonus = updateBoard(board, 1, panRight);
        if (bonus != 0) bonuses.push_back(bonus);
    }
    EXPECT_EQ(bonuses, (std::vector<int>{1, 2}));
    EXPECT_EQ(board.score, 3);
    for (int column = 1; column < boardColumns; ++column) {
        for (int row = 2; row <= 12; ++row) EXPECT_EQ(board.at(column, row).kind, Empty);
    }
}

TEST(Gravity, StacksFallOneRowPerUpdateAndSettle) {
    Board board = scriptedBoard(0);
    setRows(board, 8,
            {"1.....",  //
             "2.....",  //
             "@.....",  //
             "......",  //
             "5....."});
    updateBoard(board, 0, panLeft);
    EXPECT_EQ(board.at(0, 11).kind, Avatar);
    EXPECT_EQ(board.avatarRow, 11);
    EXPECT_EQ(board.at(0, 11).state, Falling);
    EXPECT_EQ(board.at(0, 10).kind, Block);
    EXPECT_EQ(board.at(0, 9).kind, Block);
    EXPECT_EQ(board.at(0, 8).kind, Empty);

    for (int tick = 0; tick < 8; ++tick) updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(0, 11).state, Falling);  // timer 8: not yet
    updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(0, 11).state, Landed);
    updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(0, 11).state, Idle);
    EXPECT_EQ(board.avatarRow, 11);
}

TEST(Gravity, LastRowOfTheWellNeverFalls) {
    Board board = emptyBoard(0);
    board.topRow = 24;
    putCell(board, 3, 35, Block, 1, Landed);
    updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(3, 35).kind, Block);
    EXPECT_EQ(board.at(3, 35).state, Idle);
}

class AvatarMoves : public ::testing::Test {
protected:
    void SetUp() override {
        board = scriptedBoard(0);
        setRows(board, 10,
                {"1.2S45",  //
                 "@3456S",  //
                 "234561"});
    }
    void placeAvatar(int column, int row) {
        putCell(board, board.avatarCol, board.avatarRow, Block, 7);
        putCell(board, column, row, Avatar);
    }
    void expectRefused(int16_t dx, int16_t dy) {
        const Board before = board;
        moveAvatar(board, dx, dy, panLeft);
        EXPECT_TRUE(boardsEqual(before, board))
            << "move " << dx << "," << dy << " from " << board.avatarCol << "," << board.avatarRow;
    }
    Board board;
};

TEST_F(AvatarMoves, RefusedIntoEmptyStoneBusyOrOutsideThePlayArea) {
    expectRefused(-1, 0);  // left of column 0
    placeAvatar(5, 11);
    expectRefused(1, 0);  // right of column 5
    placeAvatar(3, 11);
    expectRefused(0, -1);  // a stone
    placeAvatar(1, 11);
    expectRefused(0, -1);  // empty space
    placeAvatar(0, 11);
    board.at(1, 11).state = Falling;
    expectRefused(1, 0);  // a busy block
    board.at(1, 11).state = Idle;
    board.at(0, 11).state = Landed;
    expectRefused(1, 0);  // the avatar itself still busy
    placeAvatar(2, 12);
    putCell(board, 2, 13, Block, 1);
    expectRefused(0, 1);  // below the window
    placeAvatar(2, 2);
    putCell(board, 2, 1, Block, 1);
    expectRefused(0, -1);  // into the danger row
}

TEST_F(AvatarMoves, SwapCompletesWhenTheTimerExceedsFive) {
    moveAvatar(board, 1, 0, panLeft);
    EXPECT_EQ(board.at(0, 11).state, Swapping);
    EXPECT_EQ(board.at(1, 11).state, SwapTarget);
    EXPECT_EQ(board.moveCol, 1);
    EXPECT_EQ(board.moveRow, 11);
    moveAvatar(board, 0, 1, panLeft);  // a second move while busy is ignored
    EXPECT_EQ(board.at(0, 12).state, Idle);

    for (int tick = 0; tick < 5; ++tick) updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(0, 11).kind, Avatar);
    updateBoard(board, 1, panLeft);
    EXPECT_EQ(board.at(0, 11).kind, Block);
    EXPECT_EQ(board.at(0, 11).colour, 3);
    EXPECT_EQ(board.at(1, 11).kind, Avatar);
    EXPECT_EQ(board.at(1, 11).colour, 0);
    EXPECT_EQ(board.avatarCol, 1);

    // A slow pass of six ticks carries out a swap in one update.
    moveAvatar(board, 0, 1, panLeft);
    updateBoard(board, 6, panLeft);
    EXPECT_EQ(board.avatarRow, 12);
}

TEST(Rise, RowPauseSkipsStepsAfterEachWholeRow) {
    Board board = scriptedBoard(0);
    for (int step = 2; step <= 32; ++step) {
        ASSERT_TRUE(advanceRise(board));
        EXPECT_EQ(board.riseStep, step);
    }
    ASSERT_TRUE(advanceRise(board));
    EXPECT_EQ(board.topRow, 2);
    EXPECT_EQ(board.riseStep, 1);
    EXPECT_EQ(board.riseDelay, 20);
    for (int pause = 0; pause < 20; ++pause) {
        ASSERT_TRUE(advanceRise(board));
        EXPECT_EQ(board.riseStep, 1);
        EXPECT_EQ(board.topRow, 2);
    }
    ASSERT_TRUE(advanceRise(board));
    EXPECT_EQ(board.riseStep, 2);
}

TEST(Rise, LosesWhenABlockReachesTheDangerRowOrTheWellRunsOut) {
    Board blocked = scriptedBoard(0);
    putCell(blocked, 4, 2, Block, 1);
    blocked.riseStep = 32;
    EXPECT_FALSE(advanceRise(blocked));
    EXPECT_TRUE(isToppedOut(blocked));

    Board used = emptyBoard(0);
    used.topRow = 29;
    used.riseStep = 32;
    EXPECT_FALSE(advanceRise(used));
    EXPECT_EQ(used.topRow, 30);
    EXPECT_FALSE(isToppedOut(used));
}

TEST(Stones, LandedStoneTopsOutOnlyOnceItRestsInAFullColumn) {
    Board board = scriptedBoard(0);
    for (int row = 2; row <= 12; ++row) {
        for (int column = 0; column < boardColumns; ++column) {
            putCell(board, column, row, Block, (column + 3 * row) % blockColours);
        }
    }
    putCell(board, 0, 12, Avatar);
    dropStones(board, 1);
    int stones = 0;
    for (int column = 0; column < boardColumns; ++column) {
        stones += board.at(column, 1).kind == Stone;
    }
    EXPECT_EQ(stones, 1);
    EXPECT_FALSE(isToppedOut(board));  // still Landed
    updateBoard(board, 0, panLeft);
    EXPECT_TRUE(isToppedOut(board));
}

TEST(Stones, StoneFallsWhereTheColumnAllows) {
    Board board = scriptedBoard(0);
    dropStones(board, 1);
    for (int tick = 0; tick < 200; ++tick) updateBoard(board, 1, panLeft);
    int landedAt = -1;
    for (int column = 0; column < boardColumns; ++column) {
        if (board.at(column, 12).kind == Stone) landedAt = column;
    }
    ASSERT_NE(landedAt, -1);
    EXPECT_EQ(board.at(landedAt, 12).state, Idle);
    EXPECT_FALSE(isToppedOut(board));
}

TEST(Stones, NeverMoreThanTheDangerRowCanTakeAndNeverOnTheAvatar) {
    Board full = scriptedBoard(0);
    setRows(full, 1, {"SSSSSS"});
    dropStones(full, 3);  // would draw for ever if it kept looking for a free cell
    EXPECT_EQ(countState(full, Landed), 0);

    Board two = scriptedBoard(0);
    setRows(two, 1, {"S.SS1S"});
    dropStones(two, 10);
    for (int column = 0; column < boardColumns; ++column) EXPECT_EQ(two.at(column, 1).kind, Stone);

    // A rise has carried a busy avatar into the danger row.
    Board carried = scriptedBoard(0);
    setRows(carried, 1, {"..@...", "123456"});
    carried.at(2, 1).state = Falling;
    dropStones(carried, 6);
    EXPECT_EQ(carried.at(2, 1).kind, Avatar);
    EXPECT_EQ(carried.at(2, 1).state, Falling);
    EXPECT_EQ(countState(carried, Landed), 5);
}

TEST(Stones, ColumnDrawsComeFromTheGameRandomNumbers) {
    Board board = scriptedBoard(0);
    gameSeed(77);
    std::vector<int> expected;
    while (expected.size() < 3) {
        const int column = scaledDraw(boardColumns);
        bool taken = column == boardColumns;
        for (int earlier : expected) taken = taken || earlier == column;
        if (!taken) expected.push_back(column);
    }
    const int next = gameRand();
    gameSeed(77);
    dropStones(board, 3);
    for (int column : expected) EXPECT_EQ(board.at(column, 1).kind, Stone);
    EXPECT_EQ(gameRand(), next);
}

TEST(ToppedOut, OnlyIdleCellsInTheDangerRowCount) {
    Board board = scriptedBoard(0);
    EXPECT_FALSE(isToppedOut(board));
    putCell(board, 1, 1, Block, 1, Clearing);
    putCell(board, 2, 1, Stone, 0, Landed);
    EXPECT_FALSE(isToppedOut(board));
    putCell(board, 3, 1, Bomb);
    EXPECT_TRUE(isToppedOut(board));
}

// The draws the game was designed with: seed 1 (also the state before any seeding) and the
// first seeds after it give the same rounds on every platform only if these never change.
TEST(GameRandom, DrawsFollowTheDesignedSequence) {
    setGameRandomState(1);
    const std::vector<int> fromOne{41, 18467, 6334, 26500, 19169, 15724};
    std::vector<int> drawn;
    for (size_t i = 0; i < fromOne.size(); ++i) drawn.push_back(gameRand());
    EXPECT_EQ(drawn, fromOne);
    gameSeed(1);
    EXPECT_EQ(gameRand(), 41);
    gameSeed(0);
    EXPECT_EQ(gameRand(), 38);
    // A clock() seed beyond 16 bits: the whole seed counts, not its low half.
    gameSeed(0x12345678u);
    const int high = gameRand();
    gameSeed(0x5678u);
    EXPECT_NE(gameRand(), high);
    gameSeed(0x12345678u);
    EXPECT_EQ(gameRand(), high);
    EXPECT_EQ(gameRandomState(), 0x12345678u * 214013u + 2531011u);
}

TEST(GameRandom, DrawsStayInTheDesignedRange) {
    gameSeed(5);
    bool high = false;
    for (int i = 0; i < 10000; ++i) {
        const int value = gameRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, gameRandMax);
        high = high || value > gameRandMax / 2;
        const int column = scaledDraw(boardColumns);
        ASSERT_GE(column, 0);
        ASSERT_LE(column, boardColumns);
    }
    EXPECT_TRUE(high);
}

}  // namespace
}  // namespace vexlorn
