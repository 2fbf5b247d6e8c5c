// The instructions page with its pulsing marker.
#pragma once

#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

class InstructionsState : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }

private:
    KeptFrame frame_;
};

extern InstructionsState instructionsState;

}  // namespace vexlorn
