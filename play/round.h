// One update of a round, whoever drives the two wells: the rules the play screen has always
// applied, with each side's moves asked of its source.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "play/well_input.h"

namespace vexlorn {

enum RoundSideIndex : int { LeftSide = 0, RightSide = 1 };

struct RoundSide {
    Board* board;
    WellInput* input;
    // Two sides may share one clock: the one-player game rises both wells together.
    int32_t* riseClock;
    int32_t riseInterval;
    int pan;
    int floatX;               // where its chain pop-ups show
    int16_t result = 0;       // this update's chain bonus
    bool showsChains = true;  // false while an online round runs an update once more
};

enum class RoundStep {
    Playing,
    Ended,  // a well topped out or failed to rise; the boards tell the outcome
};

// The right well is tested first, so a round where both top out reaches the draw. `failed` is
// set to the side whose rise failed when that ended the round, else left alone.
RoundStep stepRound(RoundSide& left, RoundSide& right, int elapsed, int* failed = nullptr);

// The winner of an ended round: LeftSide, RightSide, or -1 for a draw. A well that topped out
// loses; both topped out is a draw; a round that ended with neither (a well used up) is lost
// by the side whose rise failed.
int roundWinner(const Board& left, const Board& right, int failedSide);

// How a round screen's update ends, one player or two: P pauses, Esc goes back to the screen
// below (the menu, or a match's set-up); otherwise the update's ticks are taken.
void endRoundUpdate(int elapsed);

}  // namespace vexlorn
