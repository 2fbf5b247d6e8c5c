// The desktop icon, drawn from the game's own blocks at any size.
#pragma once

#include "tools/datagen/canvas.h"

namespace datagen {

Canvas makeIcon(int size);

}  // namespace datagen
