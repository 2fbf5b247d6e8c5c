// The attract loop: the first screen, at the bottom of the stack for the whole run.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class IntroState : public BaseState {
public:
    void activate() override;
    bool update() override;
};

extern IntroState introState;

}  // namespace vexlorn
