// Linux's timer slack; its sleeps are fine-grained already.
#include <sys/prctl.h>

#include "platform/system/timers.h"

namespace vexlorn {

void setTimerSlack(unsigned long ns) {
    prctl(PR_SET_TIMERSLACK, ns, 0, 0, 0);
}

void holdFineTimer() {}

void releaseFineTimer() {}

}  // namespace vexlorn
