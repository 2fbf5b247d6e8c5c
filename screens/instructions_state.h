// The instructions page with its pulsing marker.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class InstructionsState : public BaseState {
public:
    void activate() override;
    bool update() override;
};

extern InstructionsState instructionsState;

}  // namespace vexlorn
