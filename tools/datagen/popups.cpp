// Sprites on magenta: pop-up captions, the logo, balloons, buttons and the end-screen cards.
#include <cmath>
#include <vector>

#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/screen_layout.h"

namespace datagen {

namespace {

// A spiky burst behind a caption, wider than tall, with its own dark rim.
void drawBurst(Canvas& canvas, float cx, float cy, float rx, float ry, int points, const Rgba& top,
               const Rgba& bottom) {
    std::vector<float> xy;
    for (int i = 0; i < points * 2; ++i) {
        float angle = 0.1f + float(M_PI) * i / points;
        float reach = i % 2 ? 0.62f : 1.0f;
        xy.push_back(cx + rx * reach * std::cos(angle));
        xy.push_back(cy + ry * reach * std::sin(angle));
    }
    Shape burst = polygon(std::move(xy));
    canvas.fill(grow(burst, 2), rgb(30, 10, 20));
    canvas.fill(burst, verticalGradient(cy - ry, top, cy + ry, bottom));
}

}  // namespace

Canvas makeChainPopup(bool twice) {
    Canvas canvas(184, twice ? 96 : 64);
    float cy = canvas.height() / 2.0f;
    if (!twice) {
        drawBurst(canvas, 92, cy, 86, 30, 18, rgb(255, 120, 40), rgb(200, 40, 20));
        drawText(canvas, "CHAIN!", 92, cy + 14,
                 popupStyle(40, rgb(255, 255, 200), rgb(255, 190, 30)), Align::Centre);
        return canvas;
    }
    drawBurst(canvas, 92, cy, 88, 46, 20, rgb(255, 90, 170), rgb(170, 20, 90));
    drawText(canvas, "DOUBLE", 92, 40, popupStyle(32, rgb(255, 255, 255), rgb(140, 230, 255)),
             Align::Centre);
    drawText(canvas, "CHAIN!", 92, 84, popupStyle(40, rgb(255, 255, 200), rgb(255, 190, 30)),
             Align::Centre);
    return canvas;
}

namespace {

// Small hard-edged lettering for hints on sprites, readable over a greyed board.
TextStyle spriteHintStyle(int size) {
    TextStyle hint = popupStyle(size, rgb(255, 255, 255), rgb(210, 225, 255));
    hint.outlineWidth = 1.5f;
    return hint;
}

}  // namespace

Canvas makeContinueCaption() {
    // Centred above the countdown, whose digits swell to twice their height around y 140:
    // everything visible stays in the top band, the rest is mask colour.
    Canvas canvas(184, 120);
    drawText(canvas, "CONTINUE?", 92, 30, popupStyle(27, rgb(255, 255, 255), rgb(120, 220, 255)),
             Align::Centre);
    drawText(canvas, "Enter or Space: play on", 92, 50, spriteHintStyle(13), Align::Centre);
    return canvas;
}

Canvas makeDrawPicture() {
    Canvas canvas(240, 120);
    Shape plate = roundedRect(6, 10, 234, 110, 14);
    canvas.fill(grow(plate, 2), rgb(12, 10, 28));
    canvas.fill(plate, verticalGradient(10, rgb(80, 90, 140), 110, rgb(30, 34, 70)));
    canvas.fill(intersect(plate, roundedRect(6, 10, 234, 40, 14)), rgb(255, 255, 255, 0.12f));
    drawText(canvas, "DRAW", 120, 70, popupStyle(56, rgb(255, 255, 255), rgb(180, 200, 230)),
             Align::Centre);
    TextStyle hint = bodyStyle(15, rgb(220, 225, 255));
    hint.shadow = Rgba{0, 0, 0, 0};
    drawText(canvas, "Enter or Space: play again", 120, 96, hint, Align::Centre);
    return canvas;
}

Canvas makePausedPicture() {
    Canvas canvas(300, 128);
    Shape plate = roundedRect(4, 4, 296, 124, 16);
    canvas.fill(grow(plate, 2), rgb(10, 8, 24));
    canvas.fill(plate, verticalGradient(4, rgb(50, 50, 110), 124, rgb(16, 16, 44)));
    canvas.fill(intersect(plate, roundedRect(4, 4, 296, 50, 16)), rgb(255, 255, 255, 0.10f));
    drawText(canvas, "PAUSED", 150, 72, popupStyle(52, rgb(255, 255, 255), rgb(150, 200, 255)),
             Align::Centre);
    TextStyle hint = bodyStyle(17, rgb(220, 225, 255));
    hint.shadow = Rgba{0, 0, 0, 0};
    drawText(canvas, "press any key", 150, 104, hint, Align::Centre);
    return canvas;
}

Canvas makeGetReady() {
    Canvas canvas(380, 84);
    drawText(canvas, "GET READY", 190, 62, popupStyle(56, rgb(255, 255, 220), rgb(120, 230, 90)),
             Align::Centre);
    return canvas;
}

Canvas makeGo() {
    Canvas canvas(200, 128);
    drawBurst(canvas, 100, 64, 96, 62, 18, rgb(255, 230, 90), rgb(255, 120, 30));
    drawText(canvas, "GO!", 100, 94, popupStyle(80, rgb(255, 255, 255), rgb(120, 240, 120)),
             Align::Centre);
    return canvas;
}

Canvas makeLogo() {
    // Only the top band shows: the canvas reaches down past the logo's centre so that the
    // band sits above the hall-of-fame rows it is drawn over.
    Canvas canvas(layout::logoWidth, layout::logoHeight);
    const float middle = layout::logoWidth / 2.0f;
    TextStyle style = popupStyle(44, rgb(255, 252, 225), rgb(255, 150, 40));
    style.outlineWidth = 4;
    drawText(canvas, "VEXLORN", middle, 40, style, Align::Centre);
    for (int i = 0; i < 2; ++i) {
        drawBlock(canvas, 8 + 24.0f * i, 14, 20, i);
        drawBlock(canvas, layout::logoWidth - 28 - 24.0f * i, 14, 20, 7 - i);
    }
    return canvas;
}

Canvas makeInstructionsMarker() {
    Canvas canvas(24, 24);
    Shape disc = circle(12, 12, 11);
    canvas.fill(disc, rgb(14, 10, 30));
    canvas.fill(grow(disc, -1.5f), verticalGradient(2, rgb(255, 230, 120), 22, rgb(230, 130, 20)));
    // A return arrow: down and back to the left.
    canvas.fill(unite(roundedRect(14, 6, 17, 15, 1), roundedRect(9, 12, 17, 15, 1)),
                rgb(40, 20, 6));
    canvas.fill(polygon({5, 13.5f, 10.5f, 9, 10.5f, 18}), rgb(40, 20, 6));
    return canvas;
}

namespace {

// Long labels are set condensed and, if need be, smaller, to keep a rounded corner's width
// clear on either side of the button.
TextStyle buttonLabelStyle(const char* text, int room) {
    for (int size = 18;; --size) {
        TextStyle label = popupStyle(size, rgb(255, 255, 255), rgb(220, 255, 250));
        if (textWidth(text, label.face, size) + 2 * label.outlineWidth <= room) return label;
        label.face = Typeface::SansCondensedBold;
        if (textWidth(text, label.face, size) + 2 * label.outlineWidth <= room || size <= 10)
            return label;
    }
}

}  // namespace

Canvas makeButton(const char* text, int width) {
    Canvas canvas(width, 46);
    Shape button = roundedRect(1, 1, width - 1.0f, 45, 12);
    canvas.fill(button, rgb(10, 20, 24));
    canvas.fill(grow(button, -2), verticalGradient(3, rgb(110, 240, 220), 43, rgb(10, 120, 120)));
    canvas.fill(intersect(grow(button, -2), roundedRect(1, 1, width - 1.0f, 22, 12)),
                rgb(255, 255, 255, 0.25f));
    drawText(canvas, text, width / 2.0f, 31, buttonLabelStyle(text, width - 2 * 14), Align::Centre);
    return canvas;
}

Canvas makeBalloon(int which) {
    static const int colours[3] = {0, 5, 2};  // red, blue, yellow blocks' colours
    Rgba base = blockColour(colours[which]);
    Canvas canvas(44, 84);
    // String first, so the balloon's knot covers its end.
    for (int i = 0; i < 30; ++i) {
        float y = 52 + i * 1.0f, x = 22 + 2 * std::sin(i * 0.25f);
        canvas.fill(circle(x, y, 1.0f), rgb(230, 230, 240));
    }
    canvas.fill(polygon({18, 54, 26, 54, 22, 47}), shade(base, 0.3f));
    canvas.fill(polygon({19, 53, 25, 53, 22, 48}), shade(base, 0.8f));
    Shape body = ellipse(22, 27, 19, 24);
    canvas.fill(body, shade(base, 0.3f));
    canvas.fill(grow(body, -1.5f),
                radialGradient(15, 17, 34, shade(base, 1.45f), shade(base, 0.7f)));
    canvas.fill(ellipse(14, 16, 4, 7), rgb(255, 255, 255, 0.6f));
    canvas.fill(blockSymbol(colours[which], 22, 30, 7), rgb(255, 255, 255, 0.8f));
    return canvas;
}

// The player's lost card shows only when the game is over, the one time the end screen may
// ask for initials, and then carries the prompt; the question keeps it true when the score is
// too low for the hall of fame. A match's cards name the seat and ask for nothing.
Canvas makeEndPicture(bool winner, bool leftSide, const char* seat) {
    const bool prompt = !winner && leftSide && seat == nullptr;
    const float cardBottom = prompt ? 128 : 120;
    // A match's cards are a little narrower, so that the data file packs them.
    const int width = seat != nullptr ? 170 : 184;
    const float mid = width / 2.0f, dx = mid - 92;
    Canvas canvas(width, seat != nullptr ? 124 : 130);
    Rgba side = leftSide ? rgb(70, 190, 255) : rgb(255, 140, 60);
    Rgba top = winner ? rgb(255, 230, 110) : rgb(120, 130, 150);
    Rgba bottom = winner ? rgb(220, 120, 20) : rgb(60, 64, 84);
    Shape card = roundedRect(4, 30, width - 4.0f, cardBottom, 14);
    canvas.fill(grow(card, 2), rgb(14, 10, 24));
    canvas.fill(card, verticalGradient(30, shade(side, 0.55f), cardBottom, shade(side, 0.2f)));
    canvas.fill(intersect(card, roundedRect(4, 30, width - 4.0f, 60, 14)),
                rgb(255, 255, 255, 0.12f));
    if (winner) {
        drawBurst(canvas, mid, 28, 27, 27, 10, rgb(255, 250, 170), rgb(255, 170, 30));
        canvas.fill(star(mid, 29, 13, 6, 5), rgb(255, 255, 255));
    } else {
        Shape cloud = unite(unite(circle(80 + dx, 28, 14), circle(100 + dx, 24, 17)),
                            circle(114 + dx, 32, 11));
        cloud = unite(cloud, roundedRect(70 + dx, 28, 120 + dx, 42, 7));
        canvas.fill(grow(cloud, 2), rgb(14, 10, 24));
        canvas.fill(cloud, verticalGradient(8, rgb(190, 195, 210), 42, rgb(110, 115, 135)));
        for (int i = 0; i < 3; ++i)
            canvas.fill(roundedRect(80 + dx + 12 * i, 44, 82.5f + dx + 12 * i, 52, 1),
                        rgb(120, 180, 255));
    }
    const float lift = prompt ? 6 : 0;
    drawText(canvas, winner ? "WINNER!" : "LOSER", mid, 90 - lift,
             popupStyle(34, shade(top, 1.3f), bottom), Align::Centre);
    TextStyle who = popupStyle(13, rgb(255, 255, 255), shade(side, 1.4f));
    who.outlineWidth = 1.5f;
    who.tracking = 2;
    const char* name = seat != nullptr ? seat : leftSide ? "PLAYER" : "COMPUTER";
    drawText(canvas, name, mid, 111 - lift, who, Align::Centre);
    if (prompt) {
        TextStyle hint = bodyStyle(11, rgb(230, 240, 255));
        hint.shadow = Rgba{0, 0, 0, 0};
        drawText(canvas, "High score? Type your initials.", 92, 121, hint, Align::Centre);
    }
    return canvas;
}

// The name under a well in a match, laid over the one the level backdrops write there.
Canvas makeSeatTag(const char* seat, bool leftSide) {
    Canvas canvas(150, 24);
    const Rgba side = leftSide ? rgb(70, 190, 255) : rgb(255, 140, 60);
    Shape plate = roundedRect(2, 2, 148, 22, 8);
    canvas.fill(grow(plate, 1.5f), rgb(8, 6, 18));
    canvas.fill(plate, verticalGradient(2, shade(side, 0.4f), 22, shade(side, 0.15f)));
    TextStyle name = titleStyle(14, rgb(255, 255, 255), shade(side, 1.4f));
    name.tracking = 3;
    drawText(canvas, seat, 75, 17, name, Align::Centre);
    return canvas;
}

// The set-up's heading, above the two wells the seats stand for.
Canvas makeVersusTitle() {
    Canvas canvas(300, 42);
    TextStyle style = popupStyle(32, rgb(255, 255, 225), rgb(255, 150, 60));
    style.tracking = 3;
    drawText(canvas, "TWO PLAYERS", 150, 35, style, Align::Centre);
    return canvas;
}

}  // namespace datagen

namespace datagen {

// Over the tally of a match that has ended; the score is drawn under it by the game.
Canvas makeMatchOverPicture() {
    Canvas canvas(280, 64);
    Shape plate = roundedRect(4, 4, 276, 60, 14);
    canvas.fill(grow(plate, 2), rgb(12, 10, 28));
    canvas.fill(plate, verticalGradient(4, rgb(120, 70, 150), 60, rgb(44, 20, 70)));
    canvas.fill(intersect(plate, roundedRect(4, 4, 276, 26, 14)), rgb(255, 255, 255, 0.12f));
    drawText(canvas, "MATCH OVER", 140, 47, popupStyle(36, rgb(255, 255, 220), rgb(255, 180, 60)),
             Align::Centre);
    return canvas;
}

}  // namespace datagen
