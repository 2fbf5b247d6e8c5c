// The desktop's monitors as XRandR (or Windows) lists them, and the one the game's window is on.
#pragma once

#include <vector>

#include "frame/display_layout.h"

namespace vexlorn {

// Empty when there is no display or the server lacks XRandR.
std::vector<Monitor> desktopMonitors();

// The monitor that holds most of the game's window; false before there is a window or when
// it lies on no monitor.
bool windowMonitor(Area& monitor);

}  // namespace vexlorn
