// The desktop icon, drawn from the game's own blocks at any size.
#pragma once

#include <string>

#include "tools/datagen/canvas.h"

namespace datagen {

Canvas makeIcon(int size);

// The icon as C++ source defining vexlorn::iconXpm, the XPM picture the game hands to
// Allegro's X11 port for its window, and vexlorn::netWmIcon, the same at 16, 32, 48 and 64
// pixels with its translucent edges, which today's task bars and switchers read.
bool writeIconSource(const std::string& path, int size);

}  // namespace datagen
