// Boards for tests and benchmarks: scripted positions drawn as text, and random positions.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>

#include "board/board.h"

namespace vexlorn {

// A board with nothing in it, its window at rows 1..12 and the level's table row in place.
inline Board emptyBoard(int level = 0) {
    Board board{};
    board.topRow = 1;
    board.riseStep = 1;
    board.level = static_cast<int16_t>(level);
    board.continues = 3;
    return board;
}

inline void putCell(Board& board, int column, int row, int32_t kind, int32_t colour = 0,
                    int32_t state = Idle) {
    board.at(column, row) = Cell{kind, colour, state, 0, 0};
    if (kind == Avatar) {
        board.avatarCol = static_cast<int16_t>(column);
        board.avatarRow = static_cast<int16_t>(row);
    }
}

// One string per row from firstRow down, one character per column: '.' empty, '0'..'7' a
// block of that colour, 'B' bomb, 'S' stone, '@' the avatar. A shorter list leaves the rest.
inline void setRows(Board& board, int firstRow, std::initializer_list<std::string> rows) {
    int row = firstRow;
    for (const std::string& text : rows) {
        for (int column = 0; column < boardColumns && column < static_cast<int>(text.size());
             ++column) {
            const char c = text[column];
            if (c >= '0' && c <= '7') {
                putCell(board, column, row, Block, c - '0');
            } else if (c == 'B') {
                putCell(board, column, row, Bomb);
            } else if (c == 'S') {
                putCell(board, column, row, Stone);
            } else if (c == '@') {
                putCell(board, column, row, Avatar);
            } else {
                putCell(board, column, row, Empty);
            }
        }
        ++row;
    }
}

// Fills rows fromRow..35 with blocks whose colours never touch their own kind, so that no
// sequence of avatar moves of the opponent's reach completes a group.
inline void fillWithoutGroups(Board& board, int fromRow) {
    for (int row = fromRow; row < boardRows; ++row) {
        for (int column = 0; column < boardColumns; ++column) {
            putCell(board, column, row, Block, (column + 3 * row) % blockColours);
        }
    }
}

// Random positions the opponent might face, and some it never would: any level, any rise
// state, holes, stones, bombs, busy cells and nearly saturated scores.
class PositionMaker {
public:
    explicit PositionMaker(uint32_t seed) : random_(seed) {}

    Board make() {
        const int level = pick(0, levelCount);  // levelCount itself: the level-skip key's level
        Board board = emptyBoard(level);
        board.topRow = static_cast<int16_t>(pick(1, 29));
        board.riseStep = static_cast<int16_t>(pick(1, 32));
        board.riseDelay = static_cast<int16_t>(pick(0, 20));
        board.score = pickScore();

        const LevelParams& params = levelParams(level);
        const int firstRow = pick(0, 12);
        const bool spreadColours = chance(50);  // like generation: fewer groups, deeper searches
        const int colours = chance(20) ? pick(2, 4) : blockColours;
        for (int row = firstRow; row < boardRows; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                Cell& cell = board.at(column, row);
                cell =
                    Cell{Block, pickColour(board, column, row, spreadColours, colours), Idle, 0, 0};
                if (chance(params.bombPercent + 2)) cell = Cell{Bomb, 0, Idle, 0, 0};
                if (chance(4)) cell = Cell{Stone, 0, Idle, 0, 0};
                if (chance(6)) cell = Cell{Empty, 0, Idle, 0, 0};
                if (cell.kind != Empty && chance(8)) cell.state = pick(1, 6);
                cell.chain = static_cast<int16_t>(chance(10) ? pick(0, 3) : 0);
            }
        }

        const int end = windowEnd(board);
        const int avatarRow = chance(3) ? board.topRow : pick(board.topRow + 1, end - 1);
        putCell(board, pick(0, 5), avatarRow, Avatar);
        board.at(board.avatarCol, board.avatarRow).state = chance(10) ? pick(1, 6) : Idle;
        return board;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(0, 99) < percent; }

private:
    int32_t pickScore() {
        const int32_t top = std::numeric_limits<int32_t>::max();
        if (chance(3)) return top;
        if (chance(3)) return top - pick(0, 4);
        return pick(0, 100000);
    }

    int pickColour(const Board& board, int column, int row, bool spread, int colours) {
        int colour = pick(0, colours - 1);
        if (!spread || column == 0 || colours < 3) return colour;
        const int above = row > 0 ? board.at(column, row - 1).colour : -1;
        while (colour == board.at(column - 1, row).colour || colour == above) {
            colour = pick(0, colours - 1);
        }
        return colour;
    }

    std::mt19937 random_;
};

}  // namespace vexlorn
