// The frame loop's present step: the back buffer onto the screen at the display's factor.
#pragma once

#include <allegro.h>

namespace vexlorn {

void presentPicture(BITMAP* picture);
// After a mode change: the next present draws the whole picture.
void forgetShownPicture();
// Before main returns (Allegro's exit handler runs before static destructors).
void releasePresent();

}  // namespace vexlorn
