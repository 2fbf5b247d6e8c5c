// The rules of one board: rise, avatar moves, gravity, matching, clearing, blasts and stones.
#include "board/rules.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "assets/data_layout.h"
#include "assets/sound.h"
#include "board/game_random.h"

namespace vexlorn {

namespace {

constexpr int swapTicks = 5;
constexpr int fallTicks = 8;
constexpr int vanishTicks = 30;
constexpr int riseStepsPerRow = tileSize;  // the well rises a pixel a step
constexpr int lastTopRow = 30;

// Up, right, down, left: the order in which a group is searched.
constexpr int neighbourSteps[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

// 1 = in the group (or a stone taken with it), 2 = busy, never part of a group.
using MarkGrid = uint8_t[boardColumns][boardRows];

void emptyCell(Cell& cell) {
    cell.kind = Empty;
    cell.colour = 0;
    cell.state = Idle;
    cell.timer = 0;
}

int32_t saturatingAdd(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return sum > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                     : static_cast<int32_t>(sum);
}

bool hasPartner(const Board& board, int column, int row) {
    const Cell& start = board.at(column, row);
    for (const auto& step : neighbourSteps) {
        const int c = column + step[0];
        const int r = row + step[1];
        if (!isPlayCell(board, c, r)) continue;
        const Cell& neighbour = board.at(c, r);
        if (neighbour.kind == start.kind && neighbour.colour == start.colour &&
            neighbour.state == Idle) {
            return true;
        }
    }
    return false;
}

// The start cell is not marked first: it is reached again from its first matching neighbour,
// so a lone cell counts 0 and a start cell outside the play area is never counted.
int floodGroup(const Board& board, MarkGrid& marks, int column, int row, int32_t kind,
               int32_t colour) {
    int count = 0;
    for (const auto& step : neighbourSteps) {
        const int c = column + step[0];
        const int r = row + step[1];
        if (!isPlayCell(board, c, r) || marks[c][r] != 0) continue;
        const Cell& neighbour = board.at(c, r);
        if (neighbour.kind == kind && neighbour.colour == colour && neighbour.state == Idle) {
            marks[c][r] = 1;
            count += 1 + floodGroup(board, marks, c, r, kind, colour);
        }
        if (kind != Bomb && neighbour.kind == Stone && neighbour.state == Idle) marks[c][r] = 1;
    }
    return count;
}

void blastArea(Board& board, int column, int row) {
    for (int c = column - 1; c <= column + 1; ++c) {
        for (int r = row - 1; r <= row + 1; ++r) {
            if (!isPlayCell(board, c, r)) continue;
            Cell& cell = board.at(c, r);
            if (cell.kind == Empty || cell.kind == Avatar || cell.state != Idle) continue;
            cell.state = Blasting;
            cell.timer = 0;
        }
    }
}

void blastGroup(Board& board, const MarkGrid& marks) {
    for (int row = windowEnd(board) - 1; row >= board.topRow; --row) {
        for (int column = 0; column < boardColumns; ++column) {
            if (marks[column][row] == 1) blastArea(board, column, row);
        }
    }
}

int16_t highestChain(const Board& board, const MarkGrid& marks) {
    int16_t top = 0;
    for (int row = windowEnd(board) - 1; row >= board.topRow; --row) {
        for (int column = 0; column < boardColumns; ++column) {
            if (marks[column][row] == 1) top = std::max(top, board.at(column, row).chain);
        }
    }
    return top;
}

// The cells above a cleared cell will fall into its gap; whatever group they later land in
// is at least one chain level higher. The danger row itself is left alone.
void clearGroup(Board& board, const MarkGrid& marks, int16_t level) {
    for (int row = windowEnd(board) - 1; row >= board.topRow; --row) {
        for (int column = 0; column < boardColumns; ++column) {
            if (marks[column][row] != 1) continue;
            Cell& cell = board.at(column, row);
            cell.state = Clearing;
            cell.timer = 0;
            for (int above = row - 1; above > board.topRow; --above) {
                if (marks[column][above] != 1) board.at(column, above).chain = level;
            }
        }
    }
}

void fallOrSettle(Board& board, int column, int row, int pan, int16_t& chainBonus) {
    Cell& cell = board.at(column, row);
    if (row + 1 < boardRows) {
        Cell& below = board.at(column, row + 1);
        if (cell.kind != Empty && (cell.state == Idle || cell.state == Landed) &&
            below.kind == Empty) {
            if (cell.kind == Avatar) board.avatarRow = static_cast<int16_t>(board.avatarRow + 1);
            below.kind = cell.kind;
            below.colour = cell.colour;
            below.chain = cell.chain;
            below.state = Falling;
            below.timer = 0;
            emptyCell(cell);
            cell.chain = 0;
            return;
        }
    }
    if (cell.state != Landed) return;
    cell.state = Idle;
    const int16_t level = resolveAt(board, column, row, true);
    if (level > 0) {
        playSound(SoundEffect::Cleared, pan);
        chainBonus = std::max<int16_t>(chainBonus, static_cast<int16_t>(level - 1));
    }
    if (cell.kind == Stone) playSound(SoundEffect::StoneLanded, pan);
    cell.chain = 0;
}

void finishSwap(Board& board, Cell& avatarCell) {
    swapWithAvatar(avatarCell, board.at(board.moveCol, board.moveRow), true);
    board.avatarCol = board.moveCol;
    board.avatarRow = board.moveRow;
}

void advanceTimer(Board& board, Cell& cell, int ticks) {
    if (cell.state == Idle) return;
    cell.timer += ticks;
    if ((cell.state == Clearing || cell.state == Blasting) && cell.timer > vanishTicks) {
        emptyCell(cell);
    } else if (cell.state == Falling && cell.timer > fallTicks) {
        cell.state = Landed;
        cell.timer = 0;
    } else if (cell.state == Swapping && cell.timer > swapTicks) {
        finishSwap(board, cell);
    }
}

// Cells that can still take a dropped stone: neither a stone already nor the avatar, which a
// rise may have carried into the danger row while it was busy.
int stoneSlots(const Board& board) {
    int slots = 0;
    for (int column = 0; column < boardColumns; ++column) {
        const int32_t kind = board.at(column, board.topRow).kind;
        if (kind != Stone && kind != Avatar) ++slots;
    }
    return slots;
}

}  // namespace

const int32_t pointsTable[] = {0, 0, 1, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512};
static_assert(std::size(pointsTable) == pointsTableSize, "one row per group size");

int32_t groupPoints(int size) {
    if (size < 0) return 0;
    if (size <= 12) return pointsTable[size];
    // Past the table every further cell keeps doubling the points, up to the largest score.
    int64_t points = pointsTable[12];
    for (int i = 12; i < size && points < std::numeric_limits<int32_t>::max(); ++i) points *= 2;
    return static_cast<int32_t>(std::min<int64_t>(points, std::numeric_limits<int32_t>::max()));
}

bool isToppedOut(const Board& board) {
    for (int column = 0; column < boardColumns; ++column) {
        const Cell& cell = board.at(column, board.topRow);
        if (cell.kind != Empty && cell.state == Idle) return true;
    }
    return false;
}

bool advanceRise(Board& board) {
    if (board.riseStep == 1 && board.riseDelay > 0) {
        board.riseDelay = static_cast<int16_t>(board.riseDelay - 1);
        return true;
    }
    board.riseStep = static_cast<int16_t>(board.riseStep + 1);
    if (board.riseStep <= riseStepsPerRow) return true;
    board.topRow = static_cast<int16_t>(board.topRow + 1);
    board.riseStep = 1;
    board.riseDelay = static_cast<int16_t>(levelParams(board.level).rowPause);
    if (isToppedOut(board)) return false;
    return board.topRow != lastTopRow;
}

void moveAvatar(Board& board, int16_t dx, int16_t dy, int pan) {
    Cell& avatarCell = board.at(board.avatarCol, board.avatarRow);
    if (avatarCell.state != Idle) return;
    const int column = board.avatarCol + dx;
    const int row = board.avatarRow + dy;
    if (!isPlayCell(board, column, row)) return;
    Cell& target = board.at(column, row);
    if (target.kind == Empty || target.kind == Stone || target.state != Idle) return;
    avatarCell.state = Swapping;
    avatarCell.timer = 0;
    target.state = SwapTarget;
    board.moveCol = static_cast<int16_t>(column);
    board.moveRow = static_cast<int16_t>(row);
    playSound(SoundEffect::Move, pan);
}

int16_t updateBoard(Board& board, int ticks, int pan) {
    int16_t chainBonus = 0;
    const int end = windowEnd(board);
    for (int row = end - 1; row >= board.topRow; --row) {
        for (int column = 0; column < boardColumns; ++column) {
            fallOrSettle(board, column, row, pan, chainBonus);
        }
    }
    for (int row = end - 1; row >= board.topRow; --row) {
        for (int column = 0; column < boardColumns; ++column) {
            advanceTimer(board, board.at(column, row), ticks);
            const int16_t level = resolveAt(board, column, row, true);
            if (level > 0) playSound(SoundEffect::Cleared, pan);
            chainBonus = std::max<int16_t>(chainBonus, static_cast<int16_t>(level - 1));
        }
    }
    return chainBonus;
}

void swapWithAvatar(Cell& avatarCell, Cell& target, bool carryChain) {
    avatarCell.kind = target.kind;
    avatarCell.colour = target.colour;
    if (carryChain) avatarCell.chain = target.chain;
    avatarCell.state = Idle;
    avatarCell.timer = 0;
    target.kind = Avatar;
    target.colour = 0;
    target.state = Idle;
    target.timer = 0;
}

int16_t resolveAt(Board& board, int column, int row, bool withSound) {
    const Cell& start = board.at(column, row);
    if (start.kind == Empty || start.kind == Stone || start.kind == Avatar) return 0;
    if (start.state != Idle) return 0;
    const int minGroup = levelParams(board.level).minGroup;
    // A cell with no partner beside it makes no group; most calls end here, before the grid.
    if (minGroup > 0 && !hasPartner(board, column, row)) return 0;

    // Only the shown rows are ever read: the search stays in the play area and every later
    // scan runs from the bottom of the window up to the danger row.
    MarkGrid marks;
    const int end = windowEnd(board);
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = board.topRow; r < end; ++r) marks[c][r] = board.at(c, r).state != Idle ? 2 : 0;
    }
    const int size = floodGroup(board, marks, column, row, start.kind, start.colour);
    if (size < minGroup) return 0;

    if (start.kind == Bomb) {
        blastGroup(board, marks);
        if (withSound) playSound(SoundEffect::Bomb, panCentre);
        return 0;
    }
    board.score = saturatingAdd(board.score, groupPoints(size));
    const int16_t level = static_cast<int16_t>(highestChain(board, marks) + 1);
    clearGroup(board, marks, level);
    return level;
}

void dropStones(Board& board, int count) {
    int slots = stoneSlots(board);
    // More stones than free cells in the danger row: the rest have nowhere to go and are lost.
    for (; count > 0 && slots > 0; --count, --slots) {
        int column;
        do {
            column = scaledDraw(boardColumns);
        } while (column == boardColumns || board.at(column, board.topRow).kind == Stone ||
                 board.at(column, board.topRow).kind == Avatar);
        Cell& cell = board.at(column, board.topRow);
        cell.kind = Stone;
        cell.colour = 0;
        cell.state = Landed;
        cell.timer = 0;
        playSound(SoundEffect::Stones, panCentre);
    }
}

}  // namespace vexlorn
