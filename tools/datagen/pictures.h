// Every picture of the data file, each drawn in code.
#pragma once

#include <vector>

#include "tools/datagen/canvas.h"
#include "tools/datagen/datafile_writer.h"

namespace datagen {

// tiles.cpp
Canvas makeTileSheet();
void drawAvatar(Canvas& canvas, float x, float y, int frame);
void drawBomb(Canvas& canvas, float x, float y);
void drawStone(Canvas& canvas, float x, float y);

// backdrops.cpp
Canvas makeLevelBackdrop(int level);  // 0..4
Canvas makeMenuBackdrop();
Canvas makeTitleSplash();
Canvas makeHallOfFameBackdrop(const std::vector<RgbImage>& gameFont);

// pages.cpp
Canvas makeAboutPage();
Canvas makeInstructionsPage();
Canvas makeOrderPage();
Canvas makeWinPicture();

// popups.cpp
Canvas makeBalloon(int which);  // 0..2
Canvas makeChainPopup(bool twice);
Canvas makeContinueCaption();
Canvas makeDrawPicture();
Canvas makePausedPicture();
Canvas makeGetReady();
Canvas makeGo();
Canvas makeLogo();
Canvas makeInstructionsMarker();
Canvas makeButton(const char* text, int width);
// `seat` names a match's side in place of the player or the computer.
Canvas makeEndPicture(bool winner, bool leftSide, const char* seat = nullptr);
Canvas makeMatchOverPicture();
Canvas makeSeatTag(const char* seat, bool leftSide);
Canvas makeVersusTitle();

}  // namespace datagen
