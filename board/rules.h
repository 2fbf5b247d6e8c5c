// Everything that happens to a board during play: rise, moves, gravity, matches, stones.
#pragma once

#include <cstdint>

#include "assets/sound.h"  // the pans
#include "board/board.h"

namespace vexlorn {

// Points by group size 0..12. Unsized here so that its definition, with a static_assert on its
// length, sets the size.
inline constexpr int pointsTableSize = 13;
extern const int32_t pointsTable[];

// Points for a cleared block group of the given size (sizes above 12 keep doubling, saturating).
int32_t groupPoints(int size);

bool isToppedOut(const Board& board);
bool advanceRise(Board& board);
void moveAvatar(Board& board, int16_t dx, int16_t dy, int pan);
int16_t updateBoard(Board& board, int ticks, int pan);
int16_t resolveAt(Board& board, int column, int row, bool withSound);
// The avatar's swap with a block beside it: the block takes the avatar's cell, idle, and the
// avatar the block's. The one difference between a move in play and the opponent's trial
// moves: only play carries the block's chain count along. The opponent's search reads nothing
// but the score, which no chain count changes, so its trials leave the count where it was.
void swapWithAvatar(Cell& avatarCell, Cell& target, bool carryChain);
void dropStones(Board& board, int count);

}  // namespace vexlorn
