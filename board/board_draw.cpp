// Stand-in until board drawing is built.
#include "board/board_draw.h"

namespace vexlorn {

void drawBoard(const Board&, int, int) {}
void drawLeftBoard(const Board&) {}
void drawRightBoard(const Board&) {}
void drawRowsLeft(const Board&, int, int) {}
void drawLevel(const Board&, int, int) {}
void drawScore(const Board&, int, int) {}
void greyScreen() {}
void greyScreenReference(BITMAP*) {}
void greyBitmap(BITMAP*) {}

}  // namespace vexlorn
