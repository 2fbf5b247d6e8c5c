// Stand-in until translucentDraw is built.
#include "assets/translucent.h"

namespace vexlorn {

void translucentDraw(BITMAP*, BITMAP*, int, int, int) {}

}  // namespace vexlorn
