// Everything that happens to a board during play: rise, moves, gravity, matches, stones.
#pragma once

#include <cstdint>

#include "assets/sound.h"  // the pans
#include "board/board.h"

namespace vexlorn {

extern const int32_t pointsTable[13];

// Points for a cleared block group of the given size (sizes above 12 keep doubling, saturating).
int32_t groupPoints(int size);

bool isToppedOut(const Board& board);
bool advanceRise(Board& board);
void moveAvatar(Board& board, int16_t dx, int16_t dy, int pan);
int16_t updateBoard(Board& board, int ticks, int pan);
int16_t resolveAt(Board& board, int column, int row, bool withSound);
void dropStones(Board& board, int count);

}  // namespace vexlorn
