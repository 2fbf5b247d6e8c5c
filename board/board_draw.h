// Drawing a board, its side panel and the grey filter into a picture the caller names.
#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "frame/display_layout.h"

struct BITMAP;

namespace vexlorn {

inline constexpr int boardScreenY = 46;
inline constexpr int leftBoardX = 104;
inline constexpr int rightBoardX = 345;
inline constexpr int leftPanelX = 28;
inline constexpr int rightPanelX = 558;

// The board layer keeps no picture and no clock of its own: everything here draws into the
// caller's `target` (the screens pass the back buffer, tests a memory bitmap), and `tick` is the
// game clock, with which the warning frame pulses.
void drawBoard(BITMAP* target, const Board& board, int x, int y, int tick);
// Where drawBoard draws: the window and its warning frame.
Area boardArea(int x, int y);
// Besides the board, what drawBoard's pixels depend on: the red of the warning frame at `tick`,
// or -1 when the board shows none.
int warningShade(const Board& board, int tick);
// drawBoard's warning frame alone, when the board has one, over whatever is there: it covers
// its band along the well's edges whole.
void drawWarningFrame(BITMAP* target, const Board& board, int x, int y, int tick);
// drawBoard's pixels inside `clip` only (screen coordinates), over whatever is there.
void drawBoardWithin(BITMAP* target, const Board& board, int x, int y, const Area& clip, int tick);
// Whether drawBoard puts every cell in the same place for both boards.
bool sameWellGeometry(const Board& a, const Board& b);
// For two boards of the same well geometry drawn at (x, y): the areas where drawBoard's pixels
// may differ because a shown cell or one of the incoming row differs, each cell's old and new
// sprites together.
void changedCells(const Board& before, const Board& after, int x, int y, std::vector<Area>& out);
// The rows left, the level and the score, one above the other.
void drawPanel(BITMAP* target, const Board& board, int x);
void drawLeftBoard(BITMAP* target, const Board& board, int tick);
void drawRightBoard(BITMAP* target, const Board& board, int tick);
void drawRowsLeft(BITMAP* target, const Board& board, int x, int y);
void drawLevel(BITMAP* target, const Board& board, int x, int y);
void drawScore(BITMAP* target, const Board& board, int x, int y);

// The whole bitmap (inside its clip rectangle) turned grey.
void greyBitmap(BITMAP* bitmap);
// A run of pixels of a 32-bit picture greyed as greyBitmap greys them, from `from` into `to`
// (which may be the same).
void greyPixels(const uint32_t* from, uint32_t* to, int count);
// The same picture through getpixel/putpixel, kept as the reference for the fast version.
void greyScreenReference(BITMAP* bitmap);

}  // namespace vexlorn
