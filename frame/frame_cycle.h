// The frame loop's cycle, apart from what its steps do, so that the cadence it gives the screens
// can be checked without a display.
#pragma once

#include "frame/globals.h"
#include "frame/state_stack.h"

namespace vexlorn {

// Ticks the frame clock has counted (onTick); only the loop reads it. The screens see ticks through
// tickCount, which only the loop raises.
extern volatile int countedTicks;

// Hands the screens every tick counted since the last hand-over.
void handOverTicks();

// Stands between the loop and the screens while it is set: a round's recorder notes what each
// update is handed; a replay hands the updates what was recorded instead of what the loop has.
class UpdateDriver {
public:
    virtual ~UpdateDriver() = default;
    // A pass's update step; false once the state stack is empty, as stateStack.updateTop().
    virtual bool runUpdate() = 0;
};
extern UpdateDriver* updateDriver;

// The update step of a pass: the driver's, else the top screen's update.
bool runUpdate();

// Whether this pass can leave out its update: the top screen is still between ticks, and no
// tick, no key and no other screen has come since its last update, which took no key and
// pushed or popped nothing, so the back buffer still shows what it would draw.
bool quietPass();

// One cycle: the ticks counted since the last cycle handed over, an update that consumes them,
// then one more between ticks that has none (a pass like any other: it reads a key), then the
// wait for the next tick, then the picture shown. A late cycle only hands over more ticks at
// once, so the updates a round goes through never depend on the machine's load.
template <typename Pass, typename WaitForTick, typename Present>
void runCycle(Pass pass, WaitForTick waitForTick, Present present) {
    handOverTicks();
    pass();
    if (running) pass();
    waitForTick();
    present();
}

}  // namespace vexlorn
