// Small drawing helpers shared by the round, end and hall-of-fame screens.
#pragma once

#include <allegro.h>

#include "board/board.h"

namespace vexlorn {

// The game font, or Allegro's own where no data file is loaded (tools and tests).
FONT* screenFont();

// A data-file picture over the whole back buffer; nothing when the picture is missing.
void drawBackdrop(int object);

// A round as the play, get-ready, continue and end screens show it: the level's backdrop, the
// two boards, then the effects, advanced by the elapsed ticks and drawn over them.
void drawRound(int background, const Board& left, const Board& right, int elapsed);
// The same for the play screen, pass after pass: where nothing else has drawn since its last
// call, only what that call drew is put back, and the present step hears what changed.
void redrawRound(int background, const Board& left, const Board& right, int elapsed);
// After drawing into the back buffer where the screens do not know of it: the next redrawRound
// draws everything.
void forgetDrawnRound();

// A match's names for the two wells, over the ones the level backdrops write under them.
void drawSeatTags();

// A data-file picture with its top-left corner at (x, y), mask colour left out.
void drawPicture(int object, int x, int y);

// A data-file picture centred on (x, y).
void drawPictureCentred(int object, int x, int y);

// Text in the font's own colours on a transparent background.
void drawText(int x, int y, const char* text);

// Enter or Space: the keys that move on from the round and end screens.
bool isConfirmKey(int scancode);

}  // namespace vexlorn
