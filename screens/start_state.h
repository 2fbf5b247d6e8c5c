// Get-ready screen shown before every round.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class StartState : public BaseState {
public:
    void activate() override;
    bool update() override;
};

extern StartState startState;

}  // namespace vexlorn
