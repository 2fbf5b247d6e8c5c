// The desktop's monitors as XRandR lists them: our one use of that library.
#pragma once

#include <vector>

#include "frame/display_layout.h"

namespace vexlorn {

// Empty when there is no display or the server lacks XRandR.
std::vector<Monitor> desktopMonitors();

}  // namespace vexlorn
