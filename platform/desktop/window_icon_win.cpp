// Allegro's Windows port loads the icon resource named "allegro_icon" (packaging/windows) itself.
#include "platform/desktop/window_system.h"

namespace vexlorn {

void setWindowIcon() {}

}  // namespace vexlorn
