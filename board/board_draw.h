// Drawing a board, its side panel and the grey filter into the back buffer.
#pragma once

#include "board/board.h"

struct BITMAP;

namespace vexlorn {

inline constexpr int boardScreenY = 46;
inline constexpr int leftBoardX = 104;
inline constexpr int rightBoardX = 345;
inline constexpr int leftPanelX = 28;
inline constexpr int rightPanelX = 558;

void drawBoard(const Board& board, int x, int y);
void drawLeftBoard(const Board& board);
void drawRightBoard(const Board& board);
void drawRowsLeft(const Board& board, int x, int y);
void drawLevel(const Board& board, int x, int y);
void drawScore(const Board& board, int x, int y);

// The whole back buffer turned grey.
void greyScreen();
// The same picture through getpixel/putpixel, kept as the reference for the fast version.
void greyScreenReference(BITMAP* bitmap);
void greyBitmap(BITMAP* bitmap);

}  // namespace vexlorn
