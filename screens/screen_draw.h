// Small drawing helpers shared by the round, end and hall-of-fame screens.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

#include "board/board.h"
#include "frame/display_layout.h"

namespace vexlorn {

// The game font, or Allegro's own where no data file is loaded (tools and tests).
FONT* screenFont();

// A data-file picture over the whole back buffer; nothing when the picture is missing.
void drawBackdrop(int object);

// A round as the play, get-ready, continue and end screens show it: the level's backdrop, the
// two boards, then the effects, advanced by the elapsed ticks and drawn over them.
void drawRound(int background, const Board& left, const Board& right, int elapsed);
// The same for the play screen, pass after pass: where nothing else has drawn since its last
// call, only what that call drew is put back, and the present step hears what changed. True
// when it drew only that; false when it drew everything.
bool redrawRound(int background, const Board& left, const Board& right, int elapsed);
// After drawing into the back buffer where the screens do not know of it: the next redrawRound
// draws everything.
void forgetDrawnRound();

// A match's names for the two wells, over the ones the level backdrops write under them.
void drawSeatTags();

// These three report what they draw to the present step.
// A data-file picture with its top-left corner at (x, y), mask colour left out.
void drawPicture(int object, int x, int y);

// A data-file picture centred on (x, y).
void drawPictureCentred(int object, int x, int y);

// Text in the font's own colours on a transparent background.
void drawText(int x, int y, const char* text);

// Text as the game's font can show it, broken between words into lines no wider than `width`
// (a word wider than that has a line of its own): the font has no long dash, so a hyphen.
std::vector<std::string> fitText(const std::string& text, int width);
// Those lines centred on x from y down, `pitch` apart; the y below the last.
int drawCentredLines(int x, int y, int width, int pitch, const std::string& text);

// For a screen that keeps its frame in the back buffer from pass to pass: whether nothing has
// run since its last update, which therefore still shows there (the frame loop's pass rate
// apart).
class KeptFrame {
public:
    bool kept() const;
    // At the end of drawing each update.
    void drawn();
    void forget() { drawn_ = false; }

private:
    bool drawn_ = false;
    unsigned long drawnAtChange_ = 0;
};

// The smallest part of a sprite that holds every pixel other than mask colour; width 0 when
// it is all mask colour.
Area drawnPart(BITMAP* sprite);

// A part of a data-file picture put back at its place, reported to the present step.
void putBackPicture(int object, const Area& area);

// Enter or Space: the keys that move on from the round and end screens.
bool isConfirmKey(int scancode);

}  // namespace vexlorn
