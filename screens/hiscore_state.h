// The hall-of-fame screen.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

class HiscoreState : public BaseState {
public:
    void activate() override;
    bool update() override;
    // Draws the whole hall-of-fame screen; also used by the intro.
    static void drawTable();
};

extern HiscoreState hiscoreState;

}  // namespace vexlorn
