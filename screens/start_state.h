// Get-ready screen shown before every round.
#pragma once

#include <cstdint>

#include "frame/state_stack.h"

namespace vexlorn {

class StartState : public BaseState {
public:
    void activate() override;
    bool update() override;

    int16_t background = 0;
    bool seatTags = false;  // a match's round: its wells are named for the seats
};

extern StartState startState;

}  // namespace vexlorn
