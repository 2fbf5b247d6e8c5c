// Stand-in until the opponent is built.
#include "board/opponent.h"

namespace vexlorn {

const Direction directionTable[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
const int oppositeDirection[4] = {2, 3, 0, 1};
int chooseAiDirection(Board, int lastDir) { return lastDir; }
int16_t aiSearch(Board, int, int) { return aiImpossible; }
bool aiCanMove(const Board&, int16_t, int16_t) { return false; }
void aiApplyMove(Board&, int16_t, int16_t) {}
int chooseAiDirectionReference(Board, int lastDir) { return lastDir; }
int16_t aiSearchReference(Board, int, int) { return aiImpossible; }

}  // namespace vexlorn
