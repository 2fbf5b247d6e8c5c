// Masked sprite drawing with an opacity, for 32-bit bitmaps.
#pragma once

#include <allegro.h>

namespace vexlorn {

// Opacity 255 draws opaque, 0 or less nothing; magenta source pixels are never drawn.
void translucentDraw(BITMAP* sprite, BITMAP* destination, int x, int y, int opacity);

}  // namespace vexlorn
