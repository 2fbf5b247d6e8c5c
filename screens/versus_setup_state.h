// The set-up of a match between two players: each takes a seat with the input it will play
// with, or seats the computer, and chooses its level.
#pragma once

#include "frame/state_stack.h"
#include "play/match.h"

namespace vexlorn {

class VersusSetupState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;
    bool readsPadsApart() const override { return true; }

    VersusSlots slots;

private:
    void handleKey();
    void handlePads();
    // The input asks to play: a seat for it, or the match when it has one already.
    void join(SlotSource source, int pad = -1);
    void start();
    void draw() const;
};

extern VersusSetupState versusSetupState;

}  // namespace vexlorn
