// The end of a round that was not continued: round won, or game over.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "frame/state_stack.h"

namespace vexlorn {

class End1State : public BaseState {
public:
    void activate() override;
    bool update() override;

    int16_t background = 0;
    Board boardCopy{};
    bool roundWon = false;
};

extern End1State end1State;

}  // namespace vexlorn
