// Where the game's screens draw over our pictures at fixed positions. The pictures are laid
// out around these places so that nothing the screens draw lands on text of ours; the contact
// sheet outlines them and the content tests check the pictures against them.
#pragma once

namespace datagen::layout {

struct Box {
    int x0, y0, x1, y1;  // x1 and y1 exclusive
    bool overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// The intro's pulsing logo is centred here, over the menu backdrop, the about page and the
// hall-of-fame table. Its canvas is tall so that its only visible band lies above the table's
// first row; the rest of the canvas is mask colour.
constexpr int logoCentreX = 320, logoCentreY = 200;
constexpr int logoWidth = 360, logoHeight = 264;
constexpr int logoBandHeight = 48;
constexpr Box logoBand = {logoCentreX - logoWidth / 2, logoCentreY - logoHeight / 2,
                          logoCentreX + logoWidth / 2,
                          logoCentreY - logoHeight / 2 + logoBandHeight};

// Hall-of-fame rows: text from x 290, one row every 30 pixels from y 140.
constexpr int tableX = 290, tableY = 140, tablePitch = 30, tableRows = 10;

// The continue countdown: digits centred on (200, 140) swelling to twice their size, with the
// caption centred 20 pixels higher.
constexpr int countdownX = 200, countdownY = 140, captionRise = 20;
// The draw picture is centred here.
constexpr int drawPictureX = 320, drawPictureY = 200;

// Order page options: "visit website" at (16, 368), "back" at (186, 368).
constexpr int visitX = 16, backX = 186, optionY = 368;

// Name entry: the heading and the letters (22 pixels apart, then the cursor) on the end
// screen over the left board, and on the win screen.
constexpr int endHeadingX = 136, endHeadingY = 64, endLettersX = 180, endLettersY = 96;
constexpr int winHeadingX = 254, winHeadingY = 155, winLettersX = 298, winLettersY = 187;
constexpr int letterSpacing = 22, letterCells = 4;

// End-screen cards over each board, and "Press a key to continue" below them.
constexpr int leftCardX = 108, rightCardX = 349, cardY = 190;
constexpr int pressKeyX = 245, pressKeyY = 340;

}  // namespace datagen::layout
