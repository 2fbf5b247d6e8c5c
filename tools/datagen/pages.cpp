// Full-screen pages: about, instructions, how to order, and the picture for winning the game.
#include <cmath>

#include "assets/data_layout.h"
#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/screen_layout.h"

namespace datagen {

namespace {

void pageBackground(Canvas& canvas, uint32_t seed, const Rgba& top, const Rgba& bottom,
                    const Rgba& accent) {
    fillSky(canvas, top, bottom);
    addGlow(canvas, 320, -40, 420, withAlpha(accent, 0.30f));
    addGlow(canvas, 560, 460, 260, withAlpha(accent, 0.16f));
    addBokeh(canvas, seed, 22, accent);
    addStars(canvas, seed + 1, 120, accent);
    addVignette(canvas, 0.55f);
}

void drawLines(Canvas& canvas, const char* const* lines, int count, float x, float y, float pitch,
               const TextStyle& style, Align align = Align::Left) {
    for (int i = 0; i < count; ++i) drawText(canvas, lines[i], x, y + pitch * i, style, align);
}

// One instructions entry: an icon on the left, a heading and two lines of text.
void drawEntry(Canvas& canvas, float y, const char* heading, const char* line1, const char* line2,
               void (*icon)(Canvas&, float, float)) {
    icon(canvas, 40, y - 4);
    TextStyle head = titleStyle(17, rgb(255, 240, 180), rgb(255, 190, 80));
    head.outlineWidth = 1.5f;
    drawText(canvas, heading, 150, y + 12, head);
    TextStyle body = bodyStyle(15);
    drawText(canvas, line1, 150, y + 32, body);
    drawText(canvas, line2, 150, y + 50, body);
}

void iconMove(Canvas& c, float x, float y) {
    drawBlock(c, x, y + 10, 32, 4);
    drawAvatar(c, x + 34, y + 10, 0);
    // A two-headed arrow: the figure and the block trade places.
    Shape arrow =
        polygon({x + 10, y + 3, x + 18, y - 3, x + 18, y + 1, x + 48, y + 1, x + 48, y - 3,
                 x + 56, y + 3, x + 48, y + 9, x + 48, y + 5, x + 18, y + 5, x + 18, y + 9});
    c.fill(grow(arrow, 1.2f), rgb(40, 20, 6));
    c.fill(arrow, rgb(255, 230, 120));
}

void iconGroup(Canvas& c, float x, float y) {
    drawBlock(c, x, y + 8, 28, 2);
    drawBlock(c, x + 28, y + 8, 28, 2);
    drawBlock(c, x + 56, y + 8, 28, 2);
}

void iconChain(Canvas& c, float x, float y) {
    drawBlock(c, x + 6, y, 26, 0);
    drawStone(c, x + 40, y + 6);
    c.fill(polygon({x + 14, y + 30, x + 24, y + 30, x + 19, y + 38}), rgb(255, 230, 120));
}

void iconBomb(Canvas& c, float x, float y) {
    drawBomb(c, x + 6, y + 6);
    drawBomb(c, x + 40, y + 6);
}

void iconDanger(Canvas& c, float x, float y) {
    c.fill(roundedRect(x + 8, y, x + 72, y + 44, 5), rgb(20, 8, 10));
    c.fill(roundedRect(x + 10, y + 2, x + 70, y + 42, 4), rgb(40, 20, 30));
    c.fill(roundedRect(x + 10, y + 2, x + 70, y + 6, 1), rgb(255, 50, 50));
    for (int i = 0; i < 3; ++i) drawBlock(c, x + 11 + 20 * i, y + 6, 19, i * 3 + 1);
    for (int i = 0; i < 3; ++i) drawBlock(c, x + 11 + 20 * i, y + 24, 18, i * 2 + 2);
}

}  // namespace

// The intro shows this page with its logo pulsing over the band below the title, so the band
// stays clear of text and pieces. The page hint names the keys of both screens it appears
// on: Enter or Space leave the intro for the menu, and the about screen back to it.
Canvas makeAboutPage() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    pageBackground(canvas, 41, rgb(4, 6, 24), rgb(18, 34, 70), rgb(90, 170, 255));
    // The logo names the game in the intro; the page itself says what it is.
    TextStyle title = titleStyle(44, rgb(255, 255, 240), rgb(120, 200, 255));
    title.tracking = 5;
    drawText(canvas, "ABOUT", 320, layout::logoBand.y0 - 12, title, Align::Centre);
    const float belowBand = layout::logoBand.y1;
    drawText(canvas, "Vexlorn, version 1.00b", 320, belowBand + 20,
             bodyStyle(17, rgb(180, 210, 255)), Align::Centre);
    // A strip of blocks with the figure among them.
    for (int i = 0; i < 8; ++i) {
        if (i == 4) {
            drawAvatar(canvas, 176 + 36 * i, belowBand + 32, 0);
            continue;
        }
        drawBlock(canvas, 176 + 36 * i, belowBand + 32, 32, i);
    }
    drawPanel(canvas, 40, 196, 600, 470, rgb(90, 170, 255), 12);
    static const char* const lines[] = {
        "A duel of two rising wells: yours on the left,",
        "the computer's on the right. Swap your little figure",
        "through the blocks, clear groups of one colour,",
        "and let your chains rain stones on your rival.",
    };
    drawLines(canvas, lines, 4, 320, 226, 23, bodyStyle(17), Align::Centre);
    drawText(canvas, "In play: arrow keys swap, P pauses, Esc returns to the menu.", 320, 330,
             bodyStyle(15, rgb(200, 230, 255)), Align::Centre);
    TextStyle keys = titleStyle(17, rgb(255, 240, 180), rgb(255, 190, 80));
    keys.outlineWidth = 1.5f;
    drawText(canvas, "Enter or Space: to the menu", 320, 362, keys, Align::Centre);
    const TextStyle credit = bodyStyle(13, rgb(150, 170, 210));
    static const char* const credits[] = {
        "Every picture and tune made in code.",
        "Font: DejaVu Sans - Bitstream Vera and DejaVu licence.",
        "Bitstream Vera Fonts Copyright (c) 2003 Bitstream, Inc.",
        "DejaVu changes are in the public domain.",
    };
    drawLines(canvas, credits, 4, 320, 398, 18, credit, Align::Centre);
    return canvas;
}

Canvas makeInstructionsPage() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    pageBackground(canvas, 51, rgb(6, 4, 20), rgb(30, 16, 56), rgb(170, 120, 255));
    TextStyle title = titleStyle(40, rgb(255, 255, 240), rgb(200, 160, 255));
    title.tracking = 5;
    drawText(canvas, "INSTRUCTIONS", 320, 56, title, Align::Centre);
    drawPanel(canvas, 24, 72, 616, 438, rgb(170, 120, 255), 12);
    drawEntry(canvas, 84, "MOVING", "The arrow keys swap your figure with the block beside it.",
              "It cannot step into empty space or into a stone.", iconMove);
    drawEntry(canvas, 150, "GROUPS", "Touching blocks of one colour clear when the group is big",
              "enough: 3 at first, up to 5 later. Bigger groups score more.", iconGroup);
    drawEntry(canvas, 216, "CHAINS AND STONES",
              "Blocks that fall into a new group make a chain, which drops",
              "stones on your rival. A stone clears with a group it touches.", iconChain);
    drawEntry(canvas, 282, "BOMBS", "A big enough group of bombs blasts everything around it:",
              "blocks, stones and other bombs alike. It scores no points.", iconBomb);
    drawEntry(canvas, 348, "LOSING", "The wells keep rising. A block resting in the top row,",
              "or a well risen to its very end, loses the round.", iconDanger);
    drawText(canvas, "Two players: press 2 at the menu. The second plays with W A S D or a pad.",
             320, 417, bodyStyle(13, rgb(190, 180, 230)), Align::Centre);
    drawText(canvas, "Online: 2, then O, to host or join a game (UDP port 27850). Replays: R.", 320,
             432, bodyStyle(13, rgb(190, 180, 230)), Align::Centre);
    // What the keys do in play, then what they do here, beside the pulsing marker.
    drawText(canvas, "In play: arrows swap, P pauses, Esc to the menu", 30, 456,
             bodyStyle(14, rgb(190, 180, 230)));
    TextStyle keys = titleStyle(16, rgb(255, 240, 180), rgb(255, 190, 80));
    keys.outlineWidth = 1.5f;
    drawText(canvas, "Enter or Space: back", 606, 456, keys, Align::Right);
    return canvas;
}

Canvas makeOrderPage() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    pageBackground(canvas, 61, rgb(2, 14, 20), rgb(10, 46, 60), rgb(60, 220, 200));
    TextStyle title = titleStyle(44, rgb(255, 255, 240), rgb(120, 240, 220));
    title.tracking = 3;
    drawText(canvas, "HOW TO ORDER", 320, 70, title, Align::Centre);
    drawPanel(canvas, 40, 100, 600, 330, rgb(60, 220, 200), 12);
    static const char* const lines[] = {
        "Thank you for playing the Vexlorn demo!",
        "",
        "The full game, news and new levels are waiting",
        "on our website. Choose VISIT WEBSITE to open it",
        "in your browser, or BACK to return to the menu.",
        "",
        "Arrow keys choose, Enter or Space confirms.",
    };
    drawLines(canvas, lines, 7, 320, 140, 26, bodyStyle(18), Align::Centre);
    // The plate under the two buttons the game draws at (16, 368) and (186, 368).
    drawPanel(canvas, 6, 356, 346, 424, rgb(60, 220, 200), 10);
    // A little pile with the figure on top, waiting.
    for (int i = 0; i < 6; ++i) drawBlock(canvas, 392 + 36.0f * i, 418, 32, (i * 3 + 1) % 8);
    for (int i = 0; i < 3; ++i) drawBlock(canvas, 428 + 36.0f * i, 382, 32, (i * 5 + 2) % 8);
    drawAvatar(canvas, 536, 382, 0);
    return canvas;
}

Canvas makeWinPicture() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    fillSky(canvas, rgb(30, 8, 40), rgb(120, 40, 60));
    addGlow(canvas, 320, 260, 380, rgb(255, 200, 80, 0.35f));
    // Rays
    for (int i = 0; i < 18; ++i) {
        float a = i * 6.2832f / 18, b = a + 0.12f;
        canvas.fill(polygon({320, 300, 320 + 700 * std::cos(a), 300 + 700 * std::sin(a),
                             320 + 700 * std::cos(b), 300 + 700 * std::sin(b)}),
                    rgb(255, 220, 140, 0.06f));
    }
    Dice dice(71);
    for (int i = 0; i < 140; ++i) {
        float x = dice.range(0, 640), y = dice.range(0, 480);
        int colour = int(dice.next() * blockColourCount);
        float w = dice.range(3, 7), h = dice.range(2, 4);
        canvas.fill(roundedRect(x, y, x + w, y + h, 1), shade(blockColour(colour), 1.1f));
    }
    addVignette(canvas, 0.5f);
    TextStyle title = titleStyle(52, rgb(255, 255, 220), rgb(255, 170, 40));
    title.outlineWidth = 3.5f;
    drawText(canvas, "CONGRATULATIONS!", 320, 80, title, Align::Centre);
    drawText(canvas, "You have beaten every level of Vexlorn.", 320, 114,
             bodyStyle(18, rgb(255, 235, 210)), Align::Centre);
    // The plate the name entry writes on, a prompt under it and the way on at the bottom.
    drawPanel(canvas, 228, 140, 412, 216, rgb(255, 190, 80), 10);
    drawText(canvas, "A high score? Type your initials.", 320, 238,
             bodyStyle(16, rgb(255, 235, 210)), Align::Centre);
    drawTrophy(canvas, 320, 262, 1.0f);
    TextStyle keys = titleStyle(17, rgb(255, 240, 180), rgb(255, 190, 80));
    keys.outlineWidth = 1.5f;
    drawText(canvas, "Enter or Space: on to the hall of fame", 320, 466, keys, Align::Centre);
    return canvas;
}

}  // namespace datagen
