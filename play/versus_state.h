// A round of a match between two sides at one computer.
#pragma once

#include <cstdint>

#include "frame/state_stack.h"
#include "play/match.h"
#include "play/replay_record.h"
#include "play/round.h"

namespace vexlorn {

class VersusState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;
    void leave() override;
    int pauseKey() const override;
    // A seated pad moves its own well with its side's pad keys; Start pauses, B or Back leaves.
    bool padsBySeat() const override { return true; }
    int padKey(int pad, int control) const override;

    // A new match with these seats: the tally starts again. The first round's state is pushed.
    void startMatch(const VersusSlots& seats);
    // The next round of the same match, or a rematch after its end, in place of the round's
    // end screen and this state.
    void nextRound();
    void rematch();
    // A recorded round of a match played again: its seats and levels as recorded.
    void startReplay(const ReplayHeader& header);

    // Stands in for a side's own source from the next round on (tests, played-back rounds);
    // null gives the seat's source back.
    void replaceInput(int side, WellInput* input);

    VersusSlots slots;
    MatchTally tally;
    // Off while an online round is played again: those start without the get-ready screen.
    bool getReady = true;
    int16_t background = 0;
    int32_t riseClocks[2] = {0, 0};
    int16_t aiDirections[2] = {0, 0};
    int failedSide = -1;

private:
    WellInput* sourceOf(int side);

    KeySetInput arrowInput_{arrowKeySet};
    KeySetInput secondKeysInput_{wasdKeySet};
    KeySetInput padInputs_[2] = {KeySetInput(seatPadKeySets[0]), KeySetInput(seatPadKeySets[1])};
    PacedComputerInput computerInputs_[2] = {PacedComputerInput(&aiDirections[0]),
                                             PacedComputerInput(&aiDirections[1])};
    WellInput* replaced_[2] = {nullptr, nullptr};
    WellInput* inputs_[2] = {nullptr, nullptr};
};

extern VersusState versusState;

// The pan and the well's screen x of each side.
int sidePan(int side);

// A fresh board at a level of the table (0-based), with no score.
Board* generateAtLevel(Board* board, int level);

}  // namespace vexlorn
