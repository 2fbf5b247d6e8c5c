// The end of a round: continue countdown, draw, or on to the end and win screens.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "frame/state_stack.h"
#include "screens/veiled_round.h"

struct BITMAP;

namespace vexlorn {

class Continue1State : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
    void leave() override;
    // The caption and the swelling number of seconds left.
    void drawPrompt() const;
    VeiledPicture shownPicture() const;
    VeiledPicture numberPicture() const;

    int16_t background = 0;
    Board* continueBoard = nullptr;
    int32_t promptX = 200;
    int32_t promptY = 140;
    int32_t countdown = 0;
    bool isDraw = false;

private:
    VeiledRound veiled_;
};

extern Continue1State continue1State;

}  // namespace vexlorn
