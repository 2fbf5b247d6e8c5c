// The pause screen: a grey frozen picture until any key.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class PauseState : public BaseState {
public:
    void activate() override;
    bool update() override;
};

extern PauseState pauseState;

}  // namespace vexlorn
