// The end of a round that was not continued: round won, or game over.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"
#include "frame/state_stack.h"
#include "screens/veiled_round.h"

namespace vexlorn {

class End1State : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
    void leave() override;
    bool takesLetters() const override;
    int lettersLeft() const override;
    void closing() override;
    // What it shows over the greyed round: the two pictures, the initials, the prompt.
    void drawOverRound() const;
    std::array<VeiledPicture, 2> pictures() const;
    void drawTexts() const;

    int16_t background = 0;
    Board boardCopy{};
    bool roundWon = false;

private:
    VeiledRound veiled_;
};

extern End1State end1State;

// The bobbing of the winner's picture: +20 down to -20 and back every 80 ticks.
int bobOffset(int ticks);

// Game over or game won: the score into the table if it qualifies, then the hall of fame
// in place of this screen and the play state.
void leaveForHallOfFame();
// The first half of that: the score into the table with the initials typed, if it qualifies.
void enterFinishedGame();

}  // namespace vexlorn
