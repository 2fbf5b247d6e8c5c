// Opacity curves shared by the attract loop and the information pages.
#include "screens/fade.h"

namespace vexlorn {

int pulseOpacity(int ticks) {
    int r = ticks % pulsePeriod;
    if (r <= fadeTicks) return fadeInOpacity(r);
    if (r < 2 * fadeTicks) return 255;
    return 255 + fadeInOpacity(2 * fadeTicks - r);
}

}  // namespace vexlorn
