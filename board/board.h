// One player's well as a plain record, the level table, and board generation.
#pragma once

#include <array>
#include <cstdint>

namespace vexlorn {

inline constexpr int boardColumns = 6;
inline constexpr int boardRows = 36;
inline constexpr int windowRows = 12;
inline constexpr int blockColours = 8;
inline constexpr int levelCount = 5;

enum CellKind : int32_t {
    Empty = 0,
    Block = 1,
    Stone = 9,
    Bomb = 10,
    Avatar = 11,
};

enum CellState : int32_t {
    Idle = 0,
    Clearing = 1,
    Blasting = 2,
    Swapping = 3,
    SwapTarget = 4,
    Falling = 5,
    Landed = 6,
};

struct Cell {
    int32_t kind;
    int32_t colour;
    int32_t state;
    int32_t timer;
    int16_t chain;
};

// A plain value: copying it copies the whole state of one board.
struct Board {
    Cell cells[boardColumns][boardRows];  // column-major, row 0 at the top
    int16_t avatarCol;
    int16_t avatarRow;
    int16_t moveCol;
    int16_t moveRow;
    int16_t topRow;  // first shown row, also the danger row
    int16_t riseStep;
    int16_t riseDelay;
    int16_t continues;
    int32_t score;
    int16_t level;

    Cell& at(int column, int row) { return cells[column][row]; }
    const Cell& at(int column, int row) const { return cells[column][row]; }
};

struct LevelParams {
    int32_t fillRows;
    int32_t riseInterval;
    int32_t minGroup;
    int32_t bombPercent;
    int32_t stonePercent;
    int32_t background;
    int32_t rowPause;
};

// Built from a table of exactly levelCount rows: a missing row does not compile.
extern std::array<LevelParams, levelCount> levelTable;

// The level table row for a board; a level past the last one plays the last row.
const LevelParams& levelParams(int level);

int16_t windowEnd(const Board& board);
bool isPlayCell(const Board& board, int column, int row);

// newGame 1 starts a new game, 0 moves on to the next level. A null board is allocated.
Board* generateBoard(Board* board, int newGame);

}  // namespace vexlorn
