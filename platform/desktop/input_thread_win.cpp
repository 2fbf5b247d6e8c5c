// Allegro's Windows port takes input through its window and DirectInput events: no thread polls.
#include "platform/desktop/input_thread.h"

namespace vexlorn {

void holdInputThread() {}

void releaseInputThread() {}

}  // namespace vexlorn
