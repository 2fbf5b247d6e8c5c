// A stronger computer's planning. The well's shown rows are copied into a small grid; a move
// there is carried out at once: the swap, every group it completes cleared, the cells above
// dropped, and the groups that the landing cells make cleared as chains, until nothing moves.
// The rules' timings are left out, so a plan sees where the well will settle, not when.
#include "board/planner.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>
#include <vector>

#include "board/opponent.h"

namespace vexlorn {

namespace {

// The danger row and the rows under it that are shown.
constexpr int planRows = windowRows;

// A stone is worth more than lowering the tallest columns: it is what wins a round.
constexpr int stoneValue = 3600;
// The tallest column costs this much; each row lower costs a third of the row above.
constexpr int tallestCost = 2700;
// Groups begun, by the cube of their sizes: a pair 8, three alike 27, four 64. Long plans
// weigh them more: they have the moves to finish them.
constexpr int groupValue = 2;
constexpr int longPlanGroupValue = 6;
// About how many moves a fast figure makes while a cleared group vanishes and what stood on it
// falls.
constexpr uint8_t movesWhileFalling = 3;
// A plan that takes more moves to reach the same is worth less.
constexpr int moveCost = 3;

struct PlanCell {
    uint8_t kind;  // CellKind's Empty, Block, Stone, Bomb or Avatar
    uint8_t colour;
    uint8_t chain;  // a falling cell's chain level, as the rules carry it
    uint8_t marked;
    // Moves still to be made before a cell falling as the plan begins has landed.
    uint8_t falling;
};

struct Spot {
    int column;
    int row;
};

// The cells of the group being looked at, kept apart from the grid, which plans copy at every
// move.
struct Group {
    Spot cells[boardColumns * planRows];
    int size = 0;
};

class PlanGrid {
public:
    bool load(const Board& board) {
        rows_ = windowEnd(board) - board.topRow;
        if (rows_ < 2 || rows_ > planRows) return false;
        minGroup_ = levelParams(board.level).minGroup;
        if (minGroup_ < 2) return false;
        for (int row = 0; row < rows_; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                const Cell& cell = board.at(column, board.topRow + row);
                PlanCell& mine = at(column, row);
                mine = {};
                // A clearing or blasting cell is as good as gone.
                if (cell.state == Clearing || cell.state == Blasting) continue;
                if (cell.kind != Block && cell.kind != Stone && cell.kind != Bomb &&
                    cell.kind != Avatar) {
                    continue;
                }
                mine.kind = static_cast<uint8_t>(cell.kind);
                mine.colour = static_cast<uint8_t>(cell.colour);
                mine.chain = static_cast<uint8_t>(cell.chain < 0 ? 0 : cell.chain);
            }
        }
        avatarCol_ = board.avatarCol;
        avatarRow_ = board.avatarRow - board.topRow;
        if (avatarCol_ < 0 || avatarCol_ >= boardColumns || avatarRow_ < 0 || avatarRow_ >= rows_) {
            return false;
        }
        settle(true);
        stones_ = 0;
        return true;
    }

    // The move in direction dir, played out; false when the figure cannot make it.
    bool move(int dir) {
        const int column = avatarCol_ + directionTable[dir].dx;
        const int row = avatarRow_ + directionTable[dir].dy;
        if (!inPlay(column, row)) return false;
        PlanCell& target = at(column, row);
        if (target.kind != Block && target.kind != Bomb) return false;
        PlanCell& from = at(avatarCol_, avatarRow_);
        from = target;
        from.chain = 0;
        target = {};
        target.kind = Avatar;
        avatarCol_ = column;
        avatarRow_ = row;
        settle();
        return true;
    }

    int stones() const { return stones_; }

    // The same for two grids that hold the same cells with the figure in the same place.
    uint64_t key() const {
        uint64_t hash = 14695981039346656037ull;
        for (int column = 0; column < boardColumns; ++column) {
            for (int row = 0; row < rows_; ++row) {
                const PlanCell& cell = at(column, row);
                const uint64_t packed = cell.kind | cell.colour << 4 | cell.chain << 8 |
                                        static_cast<uint64_t>(cell.falling) << 16;
                hash = (hash ^ packed) * 1099511628211ull;
            }
        }
        return (hash ^ static_cast<uint64_t>(stones_)) * 1099511628211ull;
    }

    // Higher is better: stones sent, the columns kept low, groups begun.
    int value(int tallestBefore, int groupWorth = groupValue) const {
        int worth = stones_ * stoneValue;
        for (int column = 0; column < boardColumns; ++column) {
            int cost = tallestCost;
            for (int row = tallestBefore; row < top(column) && cost > 0; ++row) cost /= 3;
            worth -= cost;
        }
        return worth + groupWorth * begunGroups(tallestBefore);
    }

    // The row of the tallest column's top, the danger row 0.
    int tallest() const {
        int best = rows_;
        for (int column = 0; column < boardColumns; ++column) {
            const int row = top(column);
            if (row < best) best = row;
        }
        return best;
    }

private:
    PlanCell& at(int column, int row) { return cells_[column][row]; }
    const PlanCell& at(int column, int row) const { return cells_[column][row]; }
    // Groups are only made in the rows under the danger row, as the rules make them.
    bool inPlay(int column, int row) const {
        return column >= 0 && column < boardColumns && row >= 1 && row < rows_;
    }

    int top(int column) const {
        for (int row = 0; row < rows_; ++row) {
            if (cells_[column][row].kind != Empty) return row;
        }
        return rows_;
    }

    // What the groups begun are worth: a group one cell short of clearing is worth far more
    // than two pairs.
    static bool alike(const PlanCell& a, const PlanCell& b) {
        return a.kind == b.kind && a.colour == b.colour;
    }

    int begunGroups(int tallest) const {
        bool atTallest[boardColumns];
        for (int c = 0; c < boardColumns; ++c) atTallest[c] = top(c) <= tallest;
        bool seen[boardColumns][planRows] = {};
        int worth = 0;
        for (int row = 1; row < rows_; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                const PlanCell& cell = at(column, row);
                if (seen[column][row] || cell.kind != Block) continue;
                Spot stack[boardColumns * planRows];
                int size = 0;
                int count = 0;
                bool spans[boardColumns] = {};
                stack[size++] = {column, row};
                seen[column][row] = true;
                while (size > 0) {
                    const Spot spot = stack[--size];
                    ++count;
                    spans[spot.column] = true;
                    for (int dir = 0; dir < directionCount; ++dir) {
                        const int c = spot.column + directionTable[dir].dx;
                        const int r = spot.row + directionTable[dir].dy;
                        if (!inPlay(c, r) || seen[c][r] || !alike(cell, at(c, r))) continue;
                        seen[c][r] = true;
                        stack[size++] = {c, r};
                    }
                }
                if (count < 2) continue;
                // A group that reaches into a column still as tall as the tallest will lower it.
                int tall = 1;
                for (int c = 0; c < boardColumns; ++c) tall += spans[c] && atTallest[c];
                worth += count * count * count * tall;
            }
        }
        return worth;
    }

    // Clears every group the well holds, drops what stands over the gaps, and goes on while
    // the landed cells make new groups; each round of landings that clears sends its chain.
    void settle(bool planBegins = false) {
        for (int pass = 0; pass < planRows * boardColumns; ++pass) {
            drop(planBegins);
            int chainLevel = 0;
            if (!clearGroups(chainLevel)) break;
            if (chainLevel > 1) stones_ += chainLevel - 1;
        }
        // Whatever fell in a move has landed: a group it makes later is no chain. What falls as
        // the plan begins lands only while its first moves are made, which may yet make a
        // chain of it.
        if (planBegins) return;
        for (auto& column : cells_) {
            for (PlanCell& cell : column) {
                if (cell.falling > 0) {
                    --cell.falling;
                } else {
                    cell.chain = 0;
                }
            }
        }
    }

    bool clearGroups(int& chainLevel) {
        for (auto& column : cells_) {
            for (PlanCell& cell : column) cell.marked = 0;
        }
        bool cleared = false;
        for (int row = 1; row < rows_; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                const PlanCell& cell = at(column, row);
                if (cell.marked != 0 || (cell.kind != Block && cell.kind != Bomb)) continue;
                int size = 0;
                int highest = 0;
                Group group;
                collect(column, row, cell.kind, cell.colour, size, highest, group);
                if (size < minGroup_) {
                    unmark(group, 2);
                    continue;
                }
                cleared = true;
                if (cell.kind == Bomb) {
                    blastMarked(group);
                } else {
                    const int level = highest + 1;
                    if (level > chainLevel) chainLevel = level;
                    clearMarked(group, level);
                }
            }
        }
        // The cells of groups too small stay; they were only marked to be visited once.
        for (auto& column : cells_) {
            for (PlanCell& cell : column) {
                if (cell.marked == 2) cell.marked = 0;
            }
        }
        return cleared;
    }

    // Marks the group of (kind, colour) from (column, row) with 1, counting its cells and
    // noting the highest chain among them; a block group takes idle stones beside it along.
    void collect(int column, int row, uint8_t kind, uint8_t colour, int& size, int& highest,
                 Group& group) {
        Spot stack[boardColumns * planRows];
        int stackSize = 0;
        stack[stackSize++] = {column, row};
        at(column, row).marked = 1;
        group.size = 0;
        while (stackSize > 0) {
            const Spot spot = stack[--stackSize];
            group.cells[group.size++] = spot;
            const PlanCell& cell = at(spot.column, spot.row);
            if (cell.kind != Stone) {
                ++size;
                if (cell.chain > highest) highest = cell.chain;
            }
            if (cell.kind == Stone) continue;
            for (int dir = 0; dir < directionCount; ++dir) {
                const int c = spot.column + directionTable[dir].dx;
                const int r = spot.row + directionTable[dir].dy;
                if (!inPlay(c, r) || at(c, r).marked != 0) continue;
                PlanCell& next = at(c, r);
                const bool same = next.kind == kind && next.colour == colour;
                const bool stone = kind != Bomb && next.kind == Stone;
                if (!same && !stone) continue;
                next.marked = 1;
                stack[stackSize++] = {c, r};
            }
        }
    }

    void unmark(const Group& group, uint8_t to) {
        for (int i = 0; i < group.size; ++i) {
            PlanCell& cell = at(group.cells[i].column, group.cells[i].row);
            // Stones beside a small group may yet belong to another one.
            cell.marked = cell.kind == Stone ? 0 : to;
        }
    }

    void clearMarked(const Group& group, int level) {
        for (int i = 0; i < group.size; ++i) {
            const Spot spot = group.cells[i];
            at(spot.column, spot.row) = {};
            at(spot.column, spot.row).marked = 3;
            // What stands over a cleared cell lands one chain higher.
            for (int row = spot.row - 1; row >= 1; --row) {
                PlanCell& above = at(spot.column, row);
                if (above.marked != 1 && above.marked != 3)
                    above.chain = static_cast<uint8_t>(level);
            }
        }
    }

    void blastMarked(const Group& group) {
        for (int i = 0; i < group.size; ++i) {
            const Spot spot = group.cells[i];
            for (int c = spot.column - 1; c <= spot.column + 1; ++c) {
                for (int r = spot.row - 1; r <= spot.row + 1; ++r) {
                    if (!inPlay(c, r)) continue;
                    PlanCell& cell = at(c, r);
                    if (cell.kind == Empty || cell.kind == Avatar) continue;
                    cell = {};
                    cell.marked = 3;
                }
            }
        }
    }

    // Every column falls together; a cell that does not move has landed long ago and carries
    // no chain.
    void drop(bool planBegins) {
        for (int column = 0; column < boardColumns; ++column) {
            int to = rows_ - 1;
            for (int row = rows_ - 1; row >= 0; --row) {
                PlanCell cell = at(column, row);
                if (cell.kind == Empty) continue;
                if (to == row) {
                    cell.chain = 0;
                } else if (planBegins && cell.kind != Avatar) {
                    cell.falling = movesWhileFalling;
                }
                if (cell.kind == Avatar) avatarRow_ = to;
                at(column, row) = {};
                cell.marked = 0;
                at(column, to) = cell;
                --to;
            }
        }
    }

    PlanCell cells_[boardColumns][planRows] = {};
    int rows_ = 0;
    int minGroup_ = 0;
    int avatarCol_ = 0;
    int avatarRow_ = 0;
    int stones_ = 0;
};

struct Best {
    int value;
    int first;
};

void explore(const PlanGrid& grid, int firstDir, int lastDir, int movesLeft, int depth,
             int tallestBefore, Best& best) {
    for (int dir = 0; dir < directionCount; ++dir) {
        if (lastDir >= 0 && dir == oppositeDirection[lastDir]) continue;
        PlanGrid next = grid;
        if (!next.move(dir)) continue;
        const int first = firstDir < 0 ? dir : firstDir;
        const int worth = next.value(tallestBefore) - moveCost * depth;
        if (worth > best.value) best = {worth, first};
        if (movesLeft > 1) explore(next, first, dir, movesLeft - 1, depth + 1, tallestBefore, best);
    }
}

}  // namespace

int choosePlannedDirection(const Board& board, int moves) {
    PlanGrid grid;
    if (!grid.load(board)) return -1;
    if (moves < 1) moves = 1;
    if (moves > longestPlan) moves = longestPlan;
    const int tallest = grid.tallest();
    // Only a plan that improves on standing still is taken: a figure that always moved would
    // step to and fro between two positions when nothing better is in reach.
    Best best = {grid.value(tallest), -1};
    explore(grid, -1, -1, moves, 1, tallest, best);
    return best.first;
}

int chooseBeamDirection(const Board& board, int width, int moves) {
    PlanGrid grid;
    if (!grid.load(board) || width < 1) return -1;
    if (moves > longestBeamPlan) moves = longestBeamPlan;
    const int tallest = grid.tallest();
    struct Plan {
        PlanGrid grid;
        int first;
        int last;
        int worth;
    };
    std::vector<Plan> kept{{grid, -1, -1, grid.value(tallest, longPlanGroupValue)}};
    std::vector<Plan> longer;
    std::vector<int> order;
    // Many orders of moves reach the same well; each well is followed once, by its shortest
    // plan.
    std::unordered_set<uint64_t> reached{grid.key()};
    Best best = {kept.front().worth, -1};
    for (int depth = 1; depth <= moves && !kept.empty(); ++depth) {
        longer.clear();
        for (const Plan& plan : kept) {
            for (int dir = 0; dir < directionCount; ++dir) {
                if (plan.last >= 0 && dir == oppositeDirection[plan.last]) continue;
                Plan next{plan.grid, plan.first < 0 ? dir : plan.first, dir, 0};
                if (!next.grid.move(dir) || !reached.insert(next.grid.key()).second) continue;
                next.worth = next.grid.value(tallest, longPlanGroupValue) - moveCost * depth;
                if (next.worth > best.value) best = {next.worth, next.first};
                longer.push_back(next);
            }
        }
        if (static_cast<int>(longer.size()) > width) {
            // The most promising first; of two alike, the one found first, so that the same
            // board gives the same move everywhere.
            order.resize(longer.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
            std::partial_sort(order.begin(), order.begin() + width, order.end(), [&](int a, int b) {
                return longer[a].worth != longer[b].worth ? longer[a].worth > longer[b].worth
                                                          : a < b;
            });
            kept.clear();
            for (int i = 0; i < width; ++i) kept.push_back(longer[order[i]]);
            continue;
        }
        kept.swap(longer);
    }
    return best.first;
}

int plannedStones(const Board& board, int dir) {
    PlanGrid grid;
    if (!grid.load(board) || !grid.move(dir)) return -1;
    return grid.stones();
}

}  // namespace vexlorn
