// A stronger computer's move: short sequences of moves played forward on a compact copy of the
// well, with gravity, chains and stones, valued by the stones they send and how low they keep
// the well. The one-player game's opponent does not use it.
#pragma once

#include "board/board.h"

namespace vexlorn {

// How many moves a plan may hold; deeper asks are cut to this.
inline constexpr int longestPlan = 6;

// The first move of the best plan of up to `moves` moves, an index into directionTable, or -1
// when no plan improves on the well as it stands. Draws no random numbers: the same board gives the
// same answer.
int choosePlannedDirection(const Board& board, int moves);

// The first move of the best plan of up to `moves` moves (at most longestBeamPlan) when, at
// each length, only the `width` most promising plans are made longer; -1 as above. Looks much
// further than a full search for the same work.
inline constexpr int longestBeamPlan = 12;
int chooseBeamDirection(const Board& board, int width, int moves);

// What a plan is worth, for its tests: the stones that a board's cascades send after one move
// in direction dir from it, gravity and chains played out at once (-1 when the move is
// impossible).
int plannedStones(const Board& board, int dir);

}  // namespace vexlorn
