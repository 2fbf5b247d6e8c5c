// One update of a round: rise, the sources' moves, both wells moved on, chains and stones.
#include "play/round.h"

#include <new>

#include "assets/assets.h"
#include "board/effects.h"
#include "board/opponent.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "screens/pause_state.h"

namespace vexlorn {

namespace {

constexpr int floatDuration = 120;
constexpr int floatY = 140;

// A chain of one shows one picture, a double chain another; longer chains only drop stones.
void showChainFloat(int16_t chainBonus, int x) {
    int object;
    if (chainBonus == 1) {
        object = ObjChain;
    } else if (chainBonus == 2) {
        object = ObjDoubleChain;
    } else {
        return;
    }
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    taskList.add(new (std::nothrow)
                     FloatTask(0, floatDuration, picture, static_cast<int16_t>(x), floatY));
}

void move(RoundSide& side, int direction) {
    if (direction == noMove) return;
    const Direction& step = directionTable[direction];
    moveAvatar(*side.board, step.dx, step.dy, side.pan);
}

// A move at the rise step is only asked for while the avatar is at rest, so the level's pace
// sets the computer's speed as well as the rise.
void moveAtRise(RoundSide& side) {
    Board& board = *side.board;
    if (board.at(board.avatarCol, board.avatarRow).state != Idle) return;
    move(side, side.input->atRiseStep(board));
}

}  // namespace

RoundStep stepRound(RoundSide& left, RoundSide& right, int elapsed, int* failed) {
    const bool sharedClock = left.riseClock == right.riseClock;
    *left.riseClock += elapsed;
    if (!sharedClock) *right.riseClock += elapsed;
    left.input->passTicks(elapsed);
    right.input->passTicks(elapsed);

    if (isToppedOut(*right.board)) return RoundStep::Ended;
    if (*right.riseClock > right.riseInterval) {
        if (!advanceRise(*right.board)) {
            advanceRise(*left.board);
            if (failed != nullptr) *failed = RightSide;
            return RoundStep::Ended;
        }
        // A shared clock is worked off below, once for both.
        if (!sharedClock) *right.riseClock -= right.riseInterval;
        moveAtRise(right);
    }
    if (isToppedOut(*left.board)) return RoundStep::Ended;
    if (*left.riseClock > left.riseInterval) {
        if (!advanceRise(*left.board)) {
            advanceRise(*right.board);
            if (failed != nullptr) *failed = LeftSide;
            return RoundStep::Ended;
        }
        // One step per update; a larger backlog is worked off by the following updates.
        *left.riseClock -= left.riseInterval;
        moveAtRise(left);
    }

    left.result = updateBoard(*left.board, elapsed, left.pan);
    right.result = updateBoard(*right.board, elapsed, right.pan);
    if (left.showsChains) showChainFloat(left.result, left.floatX);
    if (right.showsChains) showChainFloat(right.result, right.floatX);
    dropStones(*left.board, right.result);
    dropStones(*right.board, left.result);

    move(left, left.input->afterUpdate(*left.board));
    move(right, right.input->afterUpdate(*right.board));
    return RoundStep::Playing;
}

int roundWinner(const Board& left, const Board& right, int failedSide) {
    const bool leftOut = isToppedOut(left);
    const bool rightOut = isToppedOut(right);
    if (leftOut && rightOut) return -1;
    if (leftOut) return RightSide;
    if (rightOut) return LeftSide;
    if (failedSide == LeftSide) return RightSide;
    if (failedSide == RightSide) return LeftSide;
    return -1;
}

void endRoundUpdate(int elapsed) {
    if (lastKey == KeyP) {
        stateStack.push(&pauseState);
        lastTickCount += elapsed;
        lastKey = 0;
        return;
    }
    if (lastKey == KeyEsc) {
        lastKey = 0;
        // The screen below has just reset the tick counters in its activate.
        stateStack.pop();
        return;
    }
    lastTickCount += elapsed;
}

}  // namespace vexlorn
