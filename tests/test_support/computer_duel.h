// Rounds of a match played without a screen: two sources on fresh wells of one level, the
// round's rules tick by tick, for measuring how the computer's strengths fare.
#pragma once

#include <cstdint>
#include <random>

#include "board/board.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "frame/task_list.h"
#include "play/round.h"
#include "play/versus_state.h"
#include "play/well_input.h"

namespace vexlorn {

// A player who presses a random arrow every half second, whatever the well holds.
class RandomArrowInput : public WellInput {
public:
    explicit RandomArrowInput(unsigned seed) : random_(seed) {}
    void passTicks(int elapsed) override { ticks_ += elapsed; }
    int afterUpdate(const Board& board) override {
        (void)board;
        if (ticks_ < pressTicks) return noMove;
        ticks_ -= pressTicks;
        return static_cast<int>(random_() % 4);
    }
    static constexpr int pressTicks = 25;

private:
    std::mt19937 random_;
    int ticks_ = 0;
};

// The computer at a strength, with its own last direction.
class StrengthInput : public PacedComputerInput {
public:
    explicit StrengthInput(int strength) : PacedComputerInput(&lastDirection) { begin(strength); }
    int16_t lastDirection = 0;
};

struct DuelOutcome {
    int winner = -1;  // LeftSide, RightSide, or -1 for a draw or no end in time
    int ticks = 0;
};

// One round at `level` (1-based) from `seed`, ended after `mostTicks` at the latest. The left
// well may be sent stones from the start, one every ten ticks, as fast as chains could send them.
inline DuelOutcome playDuel(WellInput& left, WellInput& right, int level, unsigned seed,
                            int mostTicks, int stonesSent = 0) {
    static Board boards[2];
    queueBoardSeeds(seed, seed * 2654435761u + 1u);
    generateAtLevel(&boards[LeftSide], level - 1);
    generateAtLevel(&boards[RightSide], level - 1);
    int32_t clocks[2] = {0, 0};
    const int32_t interval = levelParams(level - 1).riseInterval;
    RoundSide sides[2] = {{&boards[LeftSide], &left, &clocks[LeftSide], interval, 32, 200},
                          {&boards[RightSide], &right, &clocks[RightSide], interval, 224, 440}};
    DuelOutcome outcome;
    int failed = -1;
    while (outcome.ticks < mostTicks) {
        if (outcome.ticks % 10 == 0 && outcome.ticks / 10 < stonesSent) {
            dropStones(boards[LeftSide], 1);
        }
        outcome.ticks += 1;
        if (stepRound(sides[LeftSide], sides[RightSide], 1, &failed) == RoundStep::Ended) {
            outcome.winner = roundWinner(boards[LeftSide], boards[RightSide], failed);
            break;
        }
    }
    taskList.clear();
    return outcome;
}

}  // namespace vexlorn
