// The end of a round of a match: the loser's well breaks apart, the tally, then the next round;
// at the end of the match the winner and the score, then a rematch.
#pragma once

#include "board/board.h"
#include "frame/state_stack.h"

struct BITMAP;

namespace vexlorn {

class VersusEndState : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
    void leave() override;

    int16_t background = 0;
    Board boardCopy{};  // the loser's well, which breaks apart here
    int winner = -1;    // of the round: LeftSide, RightSide, -1 for a draw
    bool matchOver = false;

private:
    void drawCards(int bob) const;
    void drawTally() const;

    BITMAP* score_ = nullptr;  // the tally, drawn large
};

extern VersusEndState versusEndState;

// "2-1": the left side's wins first.
void formatTally(const int (&wins)[2], char* text, int size);

}  // namespace vexlorn
