// The computer opponent: the straightforward search on board copies, and the fast search the
// game uses, which finds the same distances by making and unmaking moves on one compact grid.
#include "board/opponent.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "board/game_random.h"
#include "board/rules.h"

namespace vexlorn {

const Direction directionTable[] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
static_assert(std::size(directionTable) == directionCount, "one row per direction");
const int oppositeDirection[] = {2, 3, 0, 1};
static_assert(std::size(oppositeDirection) == directionCount, "one row per direction");

namespace {

// One chance in five of taking a later direction that ties with the best so far.
constexpr int tieDrawBelow = 6553;

// The tie rule shared by both searches, so that both consume gameRand() identically.
void weighDirection(int d, int16_t value, int lastDir, int& best, int16_t& bestValue) {
    if (value == bestValue) {
        if (d == lastDir || gameRand() < tieDrawBelow) best = d;
    } else if (value < bestValue) {
        best = d;
        bestValue = value;
    }
}

// What the search can see of a cell, in one byte: whether it is idle, its kind and its colour.
// Two cells belong to one group exactly when their bytes are equal and idle.
namespace code {
constexpr uint8_t idle = 0x80;
constexpr uint8_t colourMask = 0x07;
constexpr int kindShift = 3;
enum Kind : uint8_t { EmptyKind, BlockKind, StoneKind, BombKind, AvatarKind, WallKind };

constexpr uint8_t make(Kind kind, int colour, bool isIdle) {
    return static_cast<uint8_t>((isIdle ? idle : 0) | (kind << kindShift) | colour);
}
constexpr Kind kindOf(uint8_t c) {
    return static_cast<Kind>((c & ~idle) >> kindShift);
}
constexpr bool movable(uint8_t c) {
    const Kind kind = kindOf(c);
    return kind == BlockKind || kind == BombKind || kind == AvatarKind;
}
// Outside the play area: the danger row, the rows under the window and both sides.
constexpr uint8_t wall = make(WallKind, 0, false);
constexpr uint8_t avatar = make(AvatarKind, 0, true);
}  // namespace code

// The play area framed by walls: grid row 1 is the danger row (a wall too, but the avatar may
// start there), rows 2.. the play rows, with a wall row above and under them; grid columns
// 1..6 are the board's columns 0..5.
constexpr int gridWidth = boardColumns + 2;
constexpr int gridHeight = windowRows + 2;
constexpr int gridCells = gridWidth * gridHeight;
constexpr int stepOffset[4] = {-gridWidth, 1, gridWidth, -1};
// Searches deeper than any the game makes go the reference way.
constexpr int fastDepthLimit = 16;

// Finds, for one first direction, the length of the shortest path to a scoring move exactly as
// the reference does; the answer only has to be exact up to the best value found so far, so
// every path that could only end farther away is cut.
class FastSearch {
public:
    // False when the board holds something the grid cannot express; the caller then falls back
    // to the reference search.
    bool load(const Board& board) {
        const LevelParams& params = levelParams(board.level);
        minGroup_ = params.minGroup;
        saturated_ = board.score == std::numeric_limits<int32_t>::max();
        if (minGroup_ < 2 || board.topRow < 0 || board.topRow >= boardRows) return false;
        const int end = windowEnd(board);
        if (board.avatarCol < 0 || board.avatarCol >= boardColumns) return false;
        if (board.avatarRow < board.topRow || board.avatarRow >= end) return false;

        std::fill(std::begin(grid_), std::end(grid_), code::wall);
        for (int row = board.topRow + 1; row < end; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                uint8_t c;
                if (!encode(board.at(column, row), c)) return false;
                grid_[index(column, row - board.topRow + 1)] = c;
            }
        }
        avatar_ = index(board.avatarCol, board.avatarRow - board.topRow + 1);
        return true;
    }

    // The search result of aiSearch for first direction dir, exact whenever it is at most cap;
    // otherwise some value above cap.
    int16_t search(int dir, int depth, int cap) {
        const int target = avatar_ + stepOffset[dir];
        if (!code::movable(grid_[target])) return aiImpossible;
        if (saturated_) return aiNothingFound;  // no move can raise a score that cannot grow
        const int maxMoves = depth > 0 ? depth + 1 : 1;
        bound_ = cap < maxMoves ? cap : maxMoves;
        found_ = 0;
        if (scores(avatar_, target)) return 1;
        if (bound_ >= 2) {
            const Undo undo = makeMove(avatar_, target);
            explore(target, dir, 1, maxMoves);
            unmakeMove(undo);
        }
        if (found_ != 0) return static_cast<int16_t>(found_);
        return static_cast<int16_t>(cap < maxMoves ? cap + 1 : aiNothingFound);
    }

private:
    struct Undo {
        int from;
        int to;
        uint8_t fromCode;
        uint8_t toCode;
        int blastMark;
    };

    static int index(int column, int gridRow) { return gridRow * gridWidth + column + 1; }

    static bool encode(const Cell& cell, uint8_t& out) {
        code::Kind kind;
        switch (cell.kind) {
            case Empty:
                kind = code::EmptyKind;
                break;
            case Block:
                kind = code::BlockKind;
                break;
            case Stone:
                kind = code::StoneKind;
                break;
            case Bomb:
                kind = code::BombKind;
                break;
            case Avatar:
                kind = code::AvatarKind;
                break;
            default:
                return false;
        }
        if (cell.colour < 0 || cell.colour > code::colourMask) return false;
        out = code::make(kind, cell.colour, cell.state == Idle);
        return true;
    }

    // Moves made so far: `moves`; the avatar stands at `from`, having arrived by `lastDir`.
    void explore(int from, int lastDir, int moves, int maxMoves) {
        if (moves + 1 > bound_) return;
        // Any scoring move one step on ends this subtree: nothing deeper can be nearer.
        if (anyStepScores(from, lastDir)) {
            found_ = moves + 1;
            bound_ = moves;
            return;
        }
        const int back = oppositeDirection[lastDir];
        for (int e = 0; e < 4; ++e) {
            const int reach = bound_ < maxMoves ? bound_ : maxMoves;
            if (moves + 2 > reach) return;
            const int target = from + stepOffset[e];
            if (e == back || !code::movable(grid_[target])) continue;
            const Undo undo = makeMove(from, target);
            // Most of the tree is its last level: those steps are only tested, never made.
            if (moves + 2 == reach) {
                if (anyStepScores(target, e)) {
                    found_ = moves + 2;
                    bound_ = moves + 1;
                }
            } else {
                explore(target, e, moves + 1, maxMoves);
            }
            unmakeMove(undo);
        }
    }

    // Whether any step from `from` other than straight back scores.
    bool anyStepScores(int from, int lastDir) {
        const int back = oppositeDirection[lastDir];
        uint8_t around[4];
        for (int e = 0; e < 4; ++e) around[e] = grid_[from + stepOffset[e]];
        // A score needs two blocks of one colour among the four cells around; when there are
        // none, as at nearly every step of a fruitless search, no step needs a closer look.
        if (!twoBlocksAlike(around)) return false;
        for (int e = 0; e < 4; ++e) {
            if (e == back || !code::movable(around[e])) continue;
            if (scoresFrom(from, around, e)) return true;
        }
        return false;
    }

    static bool twoBlocksAlike(const uint8_t (&around)[4]) {
        uint8_t key[4];
        for (int e = 0; e < 4; ++e) {
            const bool block = code::kindOf(around[e]) == code::BlockKind;
            key[e] = block ? static_cast<uint8_t>(around[e] & ~code::idle)
                           : static_cast<uint8_t>(code::idle | e);
        }
        return key[0] == key[1] || key[0] == key[2] || key[0] == key[3] || key[1] == key[2] ||
               key[1] == key[3] || key[2] == key[3];
    }

    // Whether the avatar stepping from `from` onto `to` completes a block group of minGroup.
    // The cells are not changed: `to` is simply never counted, as it will hold the avatar.
    bool scores(int from, int to) {
        if (grid_[from] == code::wall) return false;
        uint8_t around[4];
        int dir = 0;
        for (int e = 0; e < 4; ++e) {
            around[e] = grid_[from + stepOffset[e]];
            if (from + stepOffset[e] == to) dir = e;
        }
        return scoresFrom(from, around, dir);
    }

    // The same for the step in direction dir, given the four cells around `from`; most moves
    // are settled by those four cells alone, before any search.
    bool scoresFrom(int from, const uint8_t (&around)[4], int dir) {
        const uint8_t moved = around[dir] | code::idle;
        if (code::kindOf(moved) != code::BlockKind) return false;
        int partners = 0;
        for (int e = 0; e < 4; ++e) partners += e != dir && around[e] == moved;
        if (partners == 0) return false;
        if (partners + 1 >= minGroup_) return true;
        const int to = from + stepOffset[dir];
        return groupSize(from, to, moved, minGroup_) >= minGroup_;
    }

    // Cells of the group of `c` around `start` (counted as holding c), `skip` excluded;
    // stops counting at `limit`. Visited cells are left in visited_[0..size).
    int groupSize(int start, int skip, uint8_t c, int limit) {
        ++stamp_;  // one search object lives for one decision: far fewer than 2^32 groups
        seen_[start] = stamp_;
        seen_[skip] = stamp_;
        visited_[0] = start;
        int size = 1;
        for (int next = 0; next < size; ++next) {
            const int cell = visited_[next];
            for (int offset : stepOffset) {
                const int neighbour = cell + offset;
                if (grid_[neighbour] != c || seen_[neighbour] == stamp_) continue;
                seen_[neighbour] = stamp_;
                visited_[size++] = neighbour;
                if (size >= limit) return size;
            }
        }
        return size;
    }

    Undo makeMove(int from, int to) {
        Undo undo{from, to, grid_[from], grid_[to], blastCount_};
        const uint8_t moved = grid_[to] | code::idle;
        grid_[to] = code::avatar;
        if (grid_[from] == code::wall) return undo;  // leaving the danger row: it stays outside
        grid_[from] = moved;
        // Only a bomb group changes the board for later moves: its squares stop being idle.
        if (code::kindOf(moved) == code::BombKind) {
            const int size = groupSize(from, to, moved, gridCells);
            if (size >= minGroup_) blastBombs(size);
        }
        return undo;
    }

    void blastBombs(int bombs) {
        for (int i = 0; i < bombs; ++i) {
            for (int dy = -gridWidth; dy <= gridWidth; dy += gridWidth) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int cell = visited_[i] + dy + dx;
                    const uint8_t c = grid_[cell];
                    const code::Kind kind = code::kindOf(c);
                    if (!(c & code::idle) || kind == code::EmptyKind || kind == code::AvatarKind) {
                        continue;
                    }
                    blasted_[blastCount_++] = {cell, c};
                    grid_[cell] = static_cast<uint8_t>(c & ~code::idle);
                }
            }
        }
    }

    void unmakeMove(const Undo& undo) {
        while (blastCount_ > undo.blastMark) {
            const Blasted& b = blasted_[--blastCount_];
            grid_[b.cell] = b.previous;
        }
        grid_[undo.to] = undo.toCode;
        grid_[undo.from] = undo.fromCode;
    }

    struct Blasted {
        int cell;
        uint8_t previous;
    };

    uint8_t grid_[gridCells] = {};
    uint32_t seen_[gridCells] = {};
    uint32_t stamp_ = 0;
    int visited_[gridCells] = {};
    // Along one path a cell is blasted at most once per time a move makes it idle again.
    Blasted blasted_[gridCells + fastDepthLimit + 2] = {};
    int blastCount_ = 0;
    int avatar_ = 0;
    int minGroup_ = 0;
    bool saturated_ = false;
    int bound_ = 0;
    int found_ = 0;
};

}  // namespace

bool aiCanMove(const Board& board, int16_t dx, int16_t dy) {
    const int column = board.avatarCol + dx;
    const int row = board.avatarRow + dy;
    if (!isPlayCell(board, column, row)) return false;
    const int32_t kind = board.at(column, row).kind;
    return kind != Empty && kind != Stone;
}

void aiApplyMove(Board& board, int16_t dx, int16_t dy) {
    Cell& avatarCell = board.at(board.avatarCol, board.avatarRow);
    const int column = board.avatarCol + dx;
    const int row = board.avatarRow + dy;
    swapWithAvatar(avatarCell, board.at(column, row), false);
    resolveAt(board, board.avatarCol, board.avatarRow, false);
    board.avatarCol = static_cast<int16_t>(column);
    board.avatarRow = static_cast<int16_t>(row);
}

int16_t aiSearchReference(Board board, int dir, int depth) {
    const Direction step = directionTable[dir];
    if (!aiCanMove(board, step.dx, step.dy)) return aiImpossible;
    const int32_t oldScore = board.score;
    aiApplyMove(board, step.dx, step.dy);
    if (board.score > oldScore) return 1;
    if (depth <= 0) return aiNothingFound;
    int16_t best = aiNothingFound;
    for (int e = 0; e < 4; ++e) {
        if (e == oppositeDirection[dir]) continue;
        const int16_t value = static_cast<int16_t>(aiSearchReference(board, e, depth - 1) + 1);
        if (value < best) best = value;
    }
    return best;
}

static int chooseByReference(const Board& board, int lastDir, int depth, int16_t& bestValue) {
    int best = 0;
    bestValue = aiImpossible;
    for (int d = 0; d < 4; ++d)
        weighDirection(d, aiSearchReference(board, d, depth), lastDir, best, bestValue);
    return best;
}

int chooseAiDirectionReference(const Board& board, int lastDir) {
    int16_t value = 0;
    return chooseByReference(board, lastDir, aiSearchDepth, value);
}

int16_t aiSearch(const Board& board, int dir, int depth) {
    FastSearch fast;
    if (depth > fastDepthLimit || !fast.load(board)) return aiSearchReference(board, dir, depth);
    return fast.search(dir, depth, std::numeric_limits<int>::max());
}

int chooseAiDirection(const Board& board, int lastDir) {
    int16_t value = 0;
    return chooseAiDirection(board, lastDir, aiSearchDepth, value);
}

int chooseAiDirection(const Board& board, int lastDir, int depth, int16_t& bestValue) {
    FastSearch fast;
    if (depth > fastDepthLimit || !fast.load(board)) {
        return chooseByReference(board, lastDir, depth, bestValue);
    }
    int best = 0;
    bestValue = aiImpossible;
    for (int d = 0; d < 4; ++d) {
        weighDirection(d, fast.search(d, depth, bestValue), lastDir, best, bestValue);
    }
    return best;
}

}  // namespace vexlorn
