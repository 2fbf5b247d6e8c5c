// Stand-in until the board engine is built.
#include "board/board.h"

namespace vexlorn {

LevelParams levelTable[levelCount] = {};
const LevelParams& levelParams(int level) { return levelTable[level < levelCount ? level : levelCount - 1]; }
int16_t windowEnd(const Board& board) { return board.topRow + 12 < 36 ? board.topRow + 12 : 36; }
bool isPlayCell(const Board&, int, int) { return false; }
Board* generateBoard(Board* board, int) { return board ? board : new Board(); }

}  // namespace vexlorn
