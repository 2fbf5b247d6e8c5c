// The attract loop: the first screen, at the bottom of the stack for the whole run.
#pragma once

#include "frame/display_layout.h"
#include "frame/state_stack.h"

struct BITMAP;

namespace vexlorn {

class IntroState : public BaseState {
public:
    void activate() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }
    void leave() override;

private:
    void drawSteps();
    void putBack(const Area& area);
    void keepLogoPart();
    void drawLogo(int t);

    // The still step drawn alone in the last update (an index into the timeline, -1 for none),
    // its picture without the logo, and the stack's change count after that update.
    int stillStep_ = -1;
    BITMAP* still_ = nullptr;
    unsigned long drawnAtChange_ = 0;
    int drawnOpacity_ = -1;  // the logo's in the last update, -1 when it drew none
    // The part of the logo's canvas it draws on (most is mask colour), and where that shows.
    BITMAP* logoPart_ = nullptr;
    Area logoArea_{};
};

extern IntroState introState;

}  // namespace vexlorn
