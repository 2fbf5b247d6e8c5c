// The computer opponent: a depth-limited search over avatar moves on copies of its board.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace vexlorn {

struct Direction {
    int16_t dx;
    int16_t dy;
};

// Index 0 up, 1 right, 2 down, 3 left. Unsized here so that their definitions, with a
// static_assert on their lengths, set the sizes.
inline constexpr int directionCount = 4;
extern const Direction directionTable[];
extern const int oppositeDirection[];

// Search results: 1 the first move scores, 2..8 moves away, 127 nothing in reach, 128 impossible.
inline constexpr int16_t aiNothingFound = 127;
inline constexpr int16_t aiImpossible = 128;

// How many moves past the first the game's search looks: paths of up to eight moves.
inline constexpr int aiSearchDepth = 7;

int chooseAiDirection(const Board& board, int lastDir);
// The same choice over paths of up to depth + 1 moves (a weaker computer looks less far); the
// chosen direction's search result goes to `value`.
int chooseAiDirection(const Board& board, int lastDir, int depth, int16_t& value);
int16_t aiSearch(const Board& board, int dir, int depth);
bool aiCanMove(const Board& board, int16_t dx, int16_t dy);
void aiApplyMove(Board& board, int16_t dx, int16_t dy);

// The straightforward search that copies a whole board per trial; kept as the reference
// that the fast search above must agree with, direction for direction and draw for draw.
int chooseAiDirectionReference(const Board& board, int lastDir);
int16_t aiSearchReference(Board board, int dir, int depth);

}  // namespace vexlorn
