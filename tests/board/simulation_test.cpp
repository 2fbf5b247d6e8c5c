// Whole levels played headless: both boards steered by the opponent, tick by tick as in play.
#include <gtest/gtest.h>

#include <string>

#include "board/opponent.h"
#include "board/rules.h"

namespace vexlorn {
namespace {

// Both boards as the play screen drives them, with one tick per update; the left board's
// arrow keys are replaced by the opponent deciding for it at the same rise steps.
// attackEvery > 0 adds two stones on each board every that many ticks, as a stronger player's
// chains would, so that stones meet busy avatars, swaps and the danger row far more often.
class Match {
public:
    Match(Board& left, Board& right, int attackEvery)
        : left_(left), right_(right), attackEvery_(attackEvery) {}

    // False once the round is over.
    bool tick() {
        riseClock_ += 1;
        if (isToppedOut(right_)) return false;
        const int interval = levelParams(left_.level).riseInterval;
        if (riseClock_ > interval) {
            if (!advanceRise(right_)) {
                advanceRise(left_);
                return false;
            }
            if (avatarIdle(right_)) steer(right_, rightDir_, panRight);
        }
        if (isToppedOut(left_)) return false;
        bool rose = false;
        if (riseClock_ > interval) {
            if (!advanceRise(left_)) {
                advanceRise(right_);
                return false;
            }
            riseClock_ -= interval;
            rose = true;
        }
        const int16_t leftResult = updateBoard(left_, 1, panLeft);
        const int16_t rightResult = updateBoard(right_, 1, panRight);
        stonesDropped_ += leftResult + rightResult;
        dropStones(left_, rightResult);
        dropStones(right_, leftResult);
        if (attackEvery_ > 0 && ++ticks_ % attackEvery_ == 0) {
            dropStones(left_, 2);
            dropStones(right_, 2);
            stonesDropped_ += 4;
        }
        if (rose && avatarIdle(left_)) steer(left_, leftDir_, panLeft);
        return true;
    }

    int stonesDropped() const { return stonesDropped_; }

private:
    static bool avatarIdle(const Board& board) {
        return board.at(board.avatarCol, board.avatarRow).state == Idle;
    }
    static void steer(Board& board, int& lastDir, int pan) {
        lastDir = chooseAiDirection(board, lastDir);
        moveAvatar(board, directionTable[lastDir].dx, directionTable[lastDir].dy, pan);
    }

    Board& left_;
    Board& right_;
    int attackEvery_;
    int ticks_ = 0;
    int riseClock_ = 0;
    int leftDir_ = 0;
    int rightDir_ = 2;
    int stonesDropped_ = 0;
};

// Empty string when the board is sound.
std::string brokenInvariant(const Board& board) {
    int avatars = 0;
    int swapTargets = 0;
    for (int column = 0; column < boardColumns; ++column) {
        for (int row = 0; row < boardRows; ++row) {
            const Cell& cell = board.at(column, row);
            const std::string where = " at " + std::to_string(column) + "," + std::to_string(row);
            switch (cell.kind) {
                case Empty:
                case Stone:
                case Bomb:
                    if (cell.colour != 0) return "coloured non-block" + where;
                    break;
                case Block:
                case Avatar:  // keeps the colour of the block it replaced at generation
                    if (cell.colour < 0 || cell.colour >= blockColours) return "colour" + where;
                    break;
                default:
                    return "kind" + where;
            }
            if (cell.state < Idle || cell.state > Landed) return "state" + where;
            if (cell.timer < 0) return "timer" + where;
            if (cell.kind == Empty && cell.state != Idle) return "busy empty cell" + where;
            if (cell.kind == Avatar) {
                ++avatars;
                if (column != board.avatarCol || row != board.avatarRow) return "avatar" + where;
            }
            if (cell.state == SwapTarget) {
                ++swapTargets;
                if (column != board.moveCol || row != board.moveRow) return "target" + where;
                if (board.at(board.avatarCol, board.avatarRow).state != Swapping) {
                    return "target without a swap" + where;
                }
            }
        }
    }
    if (avatars != 1) return std::to_string(avatars) + " avatars";
    if (swapTargets > 1) return "several swap targets";
    if (board.avatarRow < board.topRow || board.avatarRow >= windowEnd(board)) {
        return "avatar outside the window";
    }
    if (board.topRow < 1 || board.topRow > 30) return "topRow";
    if (board.riseStep < 1 || board.riseStep > 32) return "riseStep";
    return "";
}

void playEveryLevel(int attackEvery) {
    Board left{};
    Board right{};
    for (int level = 0; level < levelCount; ++level) {
        generateBoard(&left, level == 0 ? 1 : 0);
        generateBoard(&right, level == 0 ? 1 : 0);
        ASSERT_EQ(left.level, level);
        Match match(left, right, attackEvery);
        int32_t leftScore = left.score;
        int32_t rightScore = right.score;
        int ticks = 0;
        while (match.tick()) {
            ++ticks;
            ASSERT_LT(ticks, 100000) << "level " << level << " never ended";
            ASSERT_EQ(brokenInvariant(left), "") << "left, level " << level << " tick " << ticks;
            ASSERT_EQ(brokenInvariant(right), "") << "right, level " << level << " tick " << ticks;
            ASSERT_GE(left.score, leftScore);
            ASSERT_GE(right.score, rightScore);
            leftScore = left.score;
            rightScore = right.score;
        }
        EXPECT_TRUE(isToppedOut(left) || isToppedOut(right) || left.topRow == 30 ||
                    right.topRow == 30)
            << "level " << level;
        EXPECT_GT(left.score + right.score, 0) << "level " << level;
        if (attackEvery > 0) {
            EXPECT_GT(match.stonesDropped(), 0) << "level " << level;
        }
    }
}

TEST(Simulation, OpponentsPlayEveryLevelWithSoundBoards) {
    playEveryLevel(0);
}

TEST(Simulation, BoardsStaySoundUnderAHailOfStones) {
    playEveryLevel(40);
}

}  // namespace
}  // namespace vexlorn
