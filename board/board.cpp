// The board record's level table, its window, and the generation of a fresh board.
#include "board/board.h"

#include <algorithm>
#include <iterator>

#include "board/game_random.h"

namespace vexlorn {

namespace {

// fillRows, riseInterval, minGroup, bombPercent, stonePercent, background, rowPause.
constexpr LevelParams levelTableValues[] = {
    {3, 12, 3, 0, 0, 14, 20},  //
    {3, 10, 3, 3, 0, 15, 16},  //
    {3, 8, 4, 6, 0, 16, 12},   //
    {4, 6, 4, 9, 0, 17, 8},    //
    {4, 4, 5, 12, 0, 18, 4},   //
};
static_assert(std::size(levelTableValues) == levelCount, "one row per level");

constexpr std::array<LevelParams, levelCount> levelRows() {
    std::array<LevelParams, levelCount> rows{};
    for (int i = 0; i < levelCount; ++i) rows[i] = levelTableValues[i];
    return rows;
}

// A colour draw of 8 (gameRand() returned its maximum) has no picture, so it is drawn again.
int drawColour(const Board& board, int column, int row, bool constrained) {
    const int above = constrained ? board.at(column, row - 1).colour : -1;
    const int left = constrained ? board.at(column - 1, row).colour : -1;
    int colour;
    do {
        colour = scaledDraw(blockColours);
    } while (colour == blockColours || colour == above || colour == left);
    return colour;
}

void fillCell(Board& board, int column, int row, int startRow, const LevelParams& params) {
    Cell& cell = board.at(column, row);
    cell.kind = Block;
    cell.colour = drawColour(board, column, row, row != startRow && column != 0);
    // Both percentage draws are always made, so the sequence of draws never depends on a hit.
    if (scaledDraw(100) < params.bombPercent) {
        cell.kind = Bomb;
        cell.colour = 0;
    }
    if (scaledDraw(100) < params.stonePercent) {
        cell.kind = Stone;
        cell.colour = 0;
    }
}

}  // namespace

std::array<LevelParams, levelCount> levelTable = levelRows();

const LevelParams& levelParams(int level) {
    if (level < 0) return levelTable[0];
    return levelTable[level < levelCount ? level : levelCount - 1];
}

int16_t windowEnd(const Board& board) {
    return static_cast<int16_t>(board.topRow + windowRows < boardRows ? board.topRow + windowRows
                                                                      : boardRows);
}

bool isPlayCell(const Board& board, int column, int row) {
    return column >= 0 && column < boardColumns && row > board.topRow && row < windowEnd(board);
}

Board* generateBoard(Board* board, int newGame) {
    if (board == nullptr) board = new Board;
    gameSeed(boardSeed());

    if (newGame != 0) {
        levelTable = levelRows();
        board->continues = 3;
        board->level = 0;
        board->score = 0;
    } else if (board->level < levelCount) {
        // Nothing moves on from the last level: it leads to the win screen, and the level-skip
        // key stops there. Were anything to, the level past it would play the last row.
        board->level = static_cast<int16_t>(board->level + 1);
    }

    const LevelParams& params = levelParams(board->level);
    const int startRow = windowRows - params.fillRows;

    for (auto& column : board->cells) std::fill(std::begin(column), std::end(column), Cell{});
    for (int row = startRow; row < boardRows; ++row) {
        for (int column = 0; column < boardColumns; ++column) {
            fillCell(*board, column, row, startRow, params);
        }
    }

    board->topRow = 1;
    board->riseStep = 1;
    board->riseDelay = 0;
    board->avatarCol = 1;
    board->avatarRow = 12;
    board->moveCol = 0;
    board->moveRow = 0;
    // The avatar replaces the generated cell's kind only; its colour is left as drawn.
    board->at(1, 12).kind = Avatar;
    return board;
}

}  // namespace vexlorn
