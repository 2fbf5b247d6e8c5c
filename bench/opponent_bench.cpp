// The opponent's decision: reference search against fast search, worst case and typical play;
// and the stronger seats' plans, searched in full and by the most promising.
#include <benchmark/benchmark.h>

#include <vector>

#include "board/game_random.h"
#include "board/opponent.h"
#include "board/planner.h"
#include "board/rules.h"
#include "tests/test_support/board_positions.h"

namespace vexlorn {
namespace {

// A full window in which no path of eight moves completes a group: every trial is made.
Board worstCase() {
    Board board = emptyBoard(0);
    board.topRow = 9;
    fillWithoutGroups(board, board.topRow + 1);
    putCell(board, 2, 15, Avatar);
    return board;
}

// Positions of play: random, but with the avatar at rest inside the play area, as the play
// state only asks the opponent then.
std::vector<Board> typicalPositions() {
    PositionMaker maker(4242);
    std::vector<Board> boards;
    while (boards.size() < 256) {
        Board board = maker.make();
        const Cell& avatar = board.at(board.avatarCol, board.avatarRow);
        if (avatar.state != Idle || board.avatarRow == board.topRow) continue;
        if (board.score > 1000000) board.score = 0;
        boards.push_back(board);
    }
    return boards;
}

template <int (*choose)(const Board&, int)>
void worstCaseDecision(benchmark::State& state) {
    const Board board = worstCase();
    gameSeed(1);
    for (auto _ : state) benchmark::DoNotOptimize(choose(board, 1));
}

template <int (*choose)(const Board&, int)>
void typicalDecision(benchmark::State& state) {
    const std::vector<Board> boards = typicalPositions();
    gameSeed(1);
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(choose(boards[next], 1));
        next = (next + 1) % boards.size();
    }
}

// A strong seat's decision on positions of play: every plan of five moves, or the most
// promising plans of eight (what strength 5 asks for).
void plannedDecision(benchmark::State& state) {
    const std::vector<Board> boards = typicalPositions();
    const int width = static_cast<int>(state.range(0));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(width == 0 ? choosePlannedDirection(boards[next], 5)
                                            : chooseBeamDirection(boards[next], width, 8));
        next = (next + 1) % boards.size();
    }
}

BENCHMARK(plannedDecision)->Arg(0)->Arg(128)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(worstCaseDecision, chooseAiDirectionReference)
    ->Name("WorstCase/Reference")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(worstCaseDecision, chooseAiDirection)
    ->Name("WorstCase/Fast")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(typicalDecision, chooseAiDirectionReference)
    ->Name("Typical/Reference")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(typicalDecision, chooseAiDirection)
    ->Name("Typical/Fast")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexlorn
