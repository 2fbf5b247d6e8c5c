// The ticks between the timer thread and the screens.
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

bool runUpdate() {
    return updateDriver != nullptr ? updateDriver->runUpdate() : stateStack.updateTop();
}

}  // namespace vexlorn
