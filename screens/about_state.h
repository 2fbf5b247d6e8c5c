// The about page.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class AboutState : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
};

extern AboutState aboutState;

}  // namespace vexlorn
