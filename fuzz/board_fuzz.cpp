// Fuzz target: a board made from the input's bytes, then a sequence of rule calls read from the
// rest of it, with the board's invariants checked after every call.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/data_layout.h"
#include "board/board.h"
#include "board/game_random.h"
#include "board/opponent.h"
#include "board/rules.h"

using namespace vexlorn;

namespace {

// The last top row the rise reaches; the round ends there, so no call goes past it.
constexpr int lastTopRow = 30;
constexpr int riseStepsPerRow = tileSize;  // the well rises a pixel a step

// Bytes of the input, then zeros once they run out.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    int pick(int count) { return next() % count; }
    bool empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void fail(const char* what, const Board& board) {
    std::fprintf(stderr, "board invariant broken: %s (topRow %d, avatar %d,%d)\n", what,
                 board.topRow, board.avatarCol, board.avatarRow);
    std::abort();
}

Cell randomCell(ByteReader& in, bool resting) {
    static const int32_t kinds[] = {Empty, Block, Block, Block, Stone, Bomb};
    // Mostly at rest, as boards are in play (and as the fast search needs to take them on).
    static const int32_t states[] = {Idle, Idle, Idle, Idle, Idle, Clearing, Blasting, Falling};
    Cell cell{};
    const uint8_t b = in.next();
    cell.kind = kinds[b % 6];
    // The incoming rows under the window are always full and at rest.
    if (resting && cell.kind == Empty) cell.kind = Block;
    if (cell.kind == Block) cell.colour = (b >> 3) % blockColours;
    if (cell.kind != Empty && !resting) cell.state = states[b >> 5];
    if (cell.state == Falling && (b & 4)) cell.state = Landed;
    if (cell.state != Idle) cell.timer = in.pick(40);
    cell.chain = static_cast<int16_t>(in.pick(4));
    return cell;
}

// Every kind, state and colour in range, with one avatar where the board says it is.
Board makeBoard(ByteReader& in) {
    Board board{};
    board.topRow = static_cast<int16_t>(in.pick(lastTopRow));
    board.riseStep = static_cast<int16_t>(1 + in.pick(riseStepsPerRow));
    board.level = static_cast<int16_t>(in.pick(levelCount + 1));
    board.riseDelay = static_cast<int16_t>(in.pick(levelParams(board.level).rowPause + 1));
    board.score = in.next() * 997;
    board.continues = static_cast<int16_t>(in.pick(4));
    const int end = windowEnd(board);
    for (int row = 0; row < boardRows; ++row) {
        for (int column = 0; column < boardColumns; ++column) {
            board.at(column, row) = randomCell(in, row >= end);
        }
    }
    board.avatarCol = static_cast<int16_t>(in.pick(boardColumns));
    board.avatarRow = static_cast<int16_t>(board.topRow + 1 + in.pick(end - board.topRow - 1));
    Cell& avatar = board.at(board.avatarCol, board.avatarRow);
    avatar = Cell{Avatar, 0, Idle, 0, 0};
    const uint8_t avatarState = in.next();
    if (avatarState % 4 == 1) {
        avatar.state = Falling;
        avatar.timer = in.pick(9);
    } else if (avatarState % 4 == 2) {
        avatar.state = Landed;
    }
    return board;
}

void checkBoard(const Board& board) {
    if (board.topRow < 0 || board.topRow > lastTopRow) fail("top row out of range", board);
    if (board.riseStep < 1 || board.riseStep > riseStepsPerRow) fail("rise step", board);
    if (board.score < 0) fail("negative score", board);
    if (board.avatarCol < 0 || board.avatarCol >= boardColumns || board.avatarRow < 0 ||
        board.avatarRow >= boardRows) {
        fail("avatar outside the board", board);
    }
    if (board.at(board.avatarCol, board.avatarRow).kind != Avatar) fail("avatar cell", board);
    int avatars = 0;
    for (int column = 0; column < boardColumns; ++column) {
        for (int row = 0; row < boardRows; ++row) {
            const Cell& cell = board.at(column, row);
            if (cell.kind == Avatar) ++avatars;
            if (cell.kind != Empty && cell.kind != Block && cell.kind != Stone &&
                cell.kind != Bomb && cell.kind != Avatar) {
                fail("cell kind", board);
            }
            if (cell.colour < 0 || cell.colour >= blockColours) fail("cell colour", board);
            if (cell.state < Idle || cell.state > Landed) fail("cell state", board);
            if (cell.kind == Empty && cell.state != Idle) fail("a busy empty cell", board);
        }
    }
    if (avatars != 1) fail("not exactly one avatar", board);
}

// The search is by far the dearest call: a few per input, and one comparison at most.
struct SearchBudget {
    int searches = 4;
    int comparisons = 1;
};

void chooseAndMove(Board& board, ByteReader& in, int& lastDir, SearchBudget& budget) {
    if (budget.searches == 0) return;
    --budget.searches;
    const bool compare = in.next() % 4 == 0 && budget.comparisons > 0;
    budget.comparisons -= compare;
    const unsigned seed = in.next();
    gameSeed(seed);
    const int fast = chooseAiDirection(board, lastDir);
    if (fast < 0 || fast > 3) fail("search direction out of range", board);
    if (compare) {
        // The fast search must agree with the plain one, down to the random draws it makes.
        const int afterFast = gameRand();
        gameSeed(seed);
        const int reference = chooseAiDirectionReference(board, lastDir);
        if (reference != fast || gameRand() != afterFast)
            fail("fast and plain search differ", board);
    }
    lastDir = fast;
    moveAvatar(board, directionTable[fast].dx, directionTable[fast].dy, panRight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    ByteReader in(data, size);
    Board board = makeBoard(in);
    checkBoard(board);
    bool rising = true;
    int lastDir = 0;
    SearchBudget budget;
    for (int step = 0; step < 100 && !in.empty(); ++step) {
        switch (in.pick(6)) {
            case 0: {
                const Direction& direction = directionTable[in.pick(4)];
                moveAvatar(board, direction.dx, direction.dy, panLeft);
                break;
            }
            case 1:
            case 2:
                updateBoard(board, in.pick(6), panLeft);
                break;
            case 3:
                // Play stops rising a board once it has topped out or risen to the end.
                if (rising) rising = advanceRise(board);
                break;
            case 4:
                dropStones(board, in.pick(8));
                break;
            case 5:
                chooseAndMove(board, in, lastDir, budget);
                break;
        }
        checkBoard(board);
    }
    return 0;
}
