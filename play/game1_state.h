// The screen on which a round of the duel is played.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "frame/state_stack.h"

namespace vexlorn {

class Game1State : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;
    int pauseKey() const override;
    void leave() override;

    int16_t background = 0;
    int16_t leftResult = 0;
    int16_t rightResult = 0;
    int16_t aiDirection = 0;
};

extern Game1State game1State;

extern Board* leftBoard;   // the player's; also carries level, score and continues
extern Board* rightBoard;  // the computer's
extern uint8_t newGameFlag;
extern int32_t riseClock;

}  // namespace vexlorn
