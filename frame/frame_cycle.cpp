// The ticks between the frame clock and the screens.
#include "frame/frame_cycle.h"

namespace vexlorn {

volatile int countedTicks = 0;
static int handedTicks = 0;
UpdateDriver* updateDriver = nullptr;

void handOverTicks() {
    const int counted = countedTicks;
    tickCount = tickCount + (counted - handedTicks);
    handedTicks = counted;
}

namespace {

// What the last update left. A screen pushed or popped in it has not drawn yet, and a screen
// may show what a key did only from the update after the one that took it.
struct LastUpdate {
    unsigned long changes = 0;
    int ticks = 0;
    bool alone = false;  // the top screen's own update, and nothing pushed or popped in it
    bool keyed = false;
};
LastUpdate lastUpdate;

}  // namespace

bool runUpdate() {
    const unsigned long before = stateStack.changeCount();
    const bool handedKey = lastKey != 0;
    const bool more = updateDriver != nullptr ? updateDriver->runUpdate() : stateStack.updateTop();
    const unsigned long after = stateStack.changeCount();
    lastUpdate = LastUpdate{after, tickCount, after == before + 1, handedKey};
    return more;
}

bool quietPass() {
    const BaseState* top = stateStack.top();
    return top != nullptr && top->stillBetweenTicks() && lastKey == 0 && lastUpdate.alone &&
           !lastUpdate.keyed && stateStack.changeCount() == lastUpdate.changes &&
           tickCount == lastUpdate.ticks;
}

}  // namespace vexlorn
