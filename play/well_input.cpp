// The sources that drive a well.
#include "play/well_input.h"

#include <allegro.h>

#include <cstdlib>
#include <iterator>

#include "board/game_random.h"
#include "board/opponent.h"
#include "board/planner.h"
#include "frame/globals.h"

namespace vexlorn {

// Both in the order of directionTable: up, right, down, left.
const KeySet arrowKeySet = {{KeyUp, KeyRight, KeyDown, KeyLeft}};
const KeySet wasdKeySet = {{KEY_W, KEY_D, KEY_S, KEY_A}};
const KeySet seatPadKeySets[2] = {
    {{firstSeatPadKey, firstSeatPadKey + 1, firstSeatPadKey + 2, firstSeatPadKey + 3}},
    {{firstSeatPadKey + 4, firstSeatPadKey + 5, firstSeatPadKey + 6, firstSeatPadKey + 7}},
};
static_assert(std::size(KeySet{}.keys) == directionCount, "one key per direction");
static_assert(firstSeatPadKey > KEY_MAX && firstSeatPadKey + 7 <= 255, "no scancode, one byte");

int keySetDirection(const KeySet& set, int scancode) {
    for (int direction = 0; direction < directionCount; ++direction) {
        if (scancode != 0 && set.keys[direction] == scancode) return direction;
    }
    return noMove;
}

int KeySetInput::afterUpdate(const Board& board) {
    (void)board;
    const int direction = keySetDirection(*set_, lastKey);
    if (direction != noMove) lastKey = 0;
    return direction;
}

int ComputerInput::atRiseStep(const Board& board) {
    *lastDirection_ = static_cast<int16_t>(chooseAiDirection(board, *lastDirection_));
    return *lastDirection_;
}

// Strength 1 lets a careless player win, 5 sees and acts as fast as the rules let a figure
// move and plans its chains. The first row plays about as the one-player game's computer does
// at its first level. Oldest way first: a recorded round plays again by its own way's rows.
const ComputerStrength strengthTables[computerWays][computerStrengths] = {
    // Before the seats planned.
    {{36, 20, 1, 9830, false, 0, 0},
     {24, 12, 2, 4915, false, 0, 0},
     {14, 6, 4, 1638, true, 0, 0},
     {8, 2, 6, 655, true, 0, 0},
     {4, 0, 10, 0, true, 0, 0}},
    // Every plan of up to five moves searched.
    {{36, 20, 1, 9830, false, 0, 0},
     {24, 12, 2, 4915, false, 0, 0},
     {14, 6, 4, 1638, true, 2, 0},
     {8, 2, 6, 655, true, 3, 0},
     {4, 0, 10, 0, true, 5, 0}},
    // The strongest looks eight moves ahead, following the most promising plans.
    {{36, 20, 1, 9830, false, 0, 0},
     {24, 12, 2, 4915, false, 0, 0},
     {14, 6, 4, 1638, true, 2, 0},
     {8, 2, 6, 655, true, 3, 0},
     {4, 0, 10, 0, true, 8, 128}},
};

const ComputerStrength& computerStrength(int strength, int way) {
    if (strength < 1) strength = 1;
    if (strength > computerStrengths) strength = computerStrengths;
    if (way < 0 || way > currentWay) way = currentWay;
    return strengthTables[way][strength - 1];
}

// The row of a column's highest block or stone: where that column will top out.
static int columnTop(const Board& board, int column) {
    for (int row = board.topRow; row < boardRows; ++row) {
        const int32_t kind = board.at(column, row).kind;
        if (kind != Empty && kind != Avatar) return row;
    }
    return boardRows;
}

// With nothing in reach the figure heads for the tallest column, which tops out first and
// which any group cleared under it lowers, and never upwards: a figure that climbs reaches the
// danger row, and a figure there loses the round as a block there would.
static int wanderDirection(const Board& board) {
    int tallest = board.avatarCol;
    for (int column = 0; column < boardColumns; ++column) {
        const int top = columnTop(board, column);
        const int best = columnTop(board, tallest);
        const bool nearer =
            std::abs(column - board.avatarCol) < std::abs(tallest - board.avatarCol);
        if (top < best || (top == best && nearer)) tallest = column;
    }
    const int toward = tallest > board.avatarCol ? 1 : tallest < board.avatarCol ? 3 : 2;
    const int order[] = {toward, 2, 1 + 2 * (gameRand() % 2)};
    for (int direction : order) {
        const Direction& step = directionTable[direction];
        if (aiCanMove(board, step.dx, step.dy)) return direction;
    }
    return noMove;
}

void PacedComputerInput::begin(int strength, int way) {
    strength_ = strength;
    way_ = way;
    sinceDecision_ = 0;
    resting_ = 0;
}

void PacedComputerInput::passTicks(int elapsed) {
    sinceDecision_ += elapsed;
    resting_ += elapsed;
}

int PacedComputerInput::afterUpdate(const Board& board) {
    if (board.at(board.avatarCol, board.avatarRow).state != Idle) {
        resting_ = 0;
        return noMove;
    }
    const ComputerStrength& play = computerStrength(strength_, way_);
    if (sinceDecision_ < play.decideTicks || resting_ < play.answerTicks) return noMove;
    sinceDecision_ = 0;
    int direction;
    int16_t found = aiNothingFound;
    if (play.errorDraw > 0 && gameRand() < play.errorDraw) {
        direction = gameRand() % directionCount;
    } else {
        // With no plan worth making, the search walks to the nearest scoring move.
        if (play.beamWidth > 0) {
            direction = chooseBeamDirection(board, play.beamWidth, play.planMoves);
        } else if (play.planMoves > 0) {
            direction = choosePlannedDirection(board, play.planMoves);
        } else {
            direction = noMove;
        }
        if (direction == noMove) {
            direction = chooseAiDirection(board, *lastDirection_, play.depth, found);
            if (found >= aiNothingFound && play.keepsLow) direction = wanderDirection(board);
        }
    }
    if (direction != noMove) *lastDirection_ = static_cast<int16_t>(direction);
    return direction;
}

}  // namespace vexlorn
