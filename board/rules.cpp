// Stand-in until the board rules are built.
#include "board/rules.h"

namespace vexlorn {

const int32_t pointsTable[13] = {};
int32_t groupPoints(int) { return 0; }
bool isToppedOut(const Board&) { return false; }
bool advanceRise(Board&) { return true; }
void moveAvatar(Board&, int16_t, int16_t, int) {}
int16_t updateBoard(Board&, int, int) { return 0; }
int16_t resolveAt(Board&, int, int, bool) { return 0; }
void dropStones(Board&, int) {}

}  // namespace vexlorn
