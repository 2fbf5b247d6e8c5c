// The hall-of-fame screen.
#pragma once

#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

class HiscoreState : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
    // Draws the whole hall-of-fame screen; also used by the intro.
    static void drawTable();

private:
    KeptFrame frame_;
};

extern HiscoreState hiscoreState;

}  // namespace vexlorn
