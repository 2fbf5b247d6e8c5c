// Full-screen backdrops: the five level wells, the menu, the title splash and the hall of fame.
#include <cmath>
#include <string>

#include "assets/data_layout.h"
#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/screen_layout.h"

namespace datagen {

namespace {

struct Mood {
    Rgba top, bottom, accent;
};

// Brighter and hotter with every level: night blue, teal, violet, crimson, ember.
const Mood levelMoods[5] = {
    {rgb(4, 8, 26), rgb(14, 30, 72), rgb(80, 140, 255)},
    {rgb(2, 18, 26), rgb(10, 62, 76), rgb(60, 220, 210)},
    {rgb(16, 6, 32), rgb(66, 22, 96), rgb(200, 110, 255)},
    {rgb(28, 4, 14), rgb(110, 22, 40), rgb(255, 90, 110)},
    {rgb(36, 10, 2), rgb(150, 56, 10), rgb(255, 170, 50)},
};

const int wellY = 46, wellW = 192, wellH = 384;
const int wellX[2] = {104, 345};
const int panelX[2] = {28, 558};
const int numberY[3] = {64, 139, 219};
const char* const panelLabels[3] = {"ROWS", "LEVEL", "SCORE"};

void drawWell(Canvas& canvas, int x, const Mood& mood) {
    Shape frame = roundedRect(x - 8.0f, wellY - 8.0f, x + wellW + 8.0f, wellY + wellH + 8.0f, 9);
    canvas.fill(offset(grow(frame, 2), 4, 6), Rgba{0, 0, 0, 0.45f});
    canvas.fill(frame, rgb(6, 6, 14));
    canvas.fill(grow(frame, -1.5f),
                verticalGradient(wellY - 8.0f, shade(mood.accent, 1.25f), wellY + wellH + 8.0f,
                                 shade(mood.accent, 0.35f)));
    canvas.fill(grow(frame, -4.5f), rgb(6, 6, 14));
    // The well itself: exactly the board's rectangle, dark so the blocks stand out.
    Rgba deep = mix(shade(mood.bottom, 0.35f), rgb(2, 2, 8), 0.4f);
    canvas.fillRect(x, wellY, x + wellW, wellY + wellH,
                    verticalGradient(float(wellY), shade(deep, 0.6f), float(wellY + wellH), deep));
    for (int c = 1; c < 6; ++c)
        canvas.fillRect(x + 32 * c, wellY, x + 32 * c + 1, wellY + wellH,
                        solid(withAlpha(mood.accent, 0.07f)));
    for (int r = 1; r < 12; ++r)
        canvas.fillRect(x, wellY + 32 * r, x + wellW, wellY + 32 * r + 1,
                        solid(withAlpha(mood.accent, 0.05f)));
    canvas.fillRect(
        x, wellY, x + wellW, wellY + 24,
        verticalGradient(float(wellY), Rgba{0, 0, 0, 0.5f}, wellY + 24.0f, Rgba{0, 0, 0, 0}));
    canvas.fillRect(x, wellY + wellH - 40, x + wellW, wellY + wellH,
                    verticalGradient(wellY + wellH - 40.0f, withAlpha(mood.accent, 0),
                                     float(wellY + wellH), withAlpha(mood.accent, 0.16f)));
}

void drawSidePanel(Canvas& canvas, int side, const Mood& mood) {
    float x = float(panelX[side]);
    drawPanel(canvas, x - 16, 26, x + 66, 252, mood.accent, 8);
    TextStyle label = titleStyle(12, shade(mood.accent, 1.5f), mood.accent);
    label.outlineWidth = 1.2f;
    label.tracking = 1.5f;
    for (int i = 0; i < 3; ++i) {
        float y = float(numberY[i]);
        drawText(canvas, panelLabels[i], x, y - 6, label);
        Shape slot = roundedRect(x - 6, y - 3, x + 60, y + 22, 4);
        canvas.fill(slot, withAlpha(shade(mood.accent, 0.3f), 0.9f));
        canvas.fill(grow(slot, -1), rgb(3, 3, 10, 0.9f));
    }
}

}  // namespace

Canvas makeLevelBackdrop(int level) {
    const Mood& mood = levelMoods[level];
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    fillSky(canvas, mood.top, mood.bottom);
    addGlow(canvas, 320, 520, 420, withAlpha(mood.accent, 0.35f));
    addGlow(canvas, 60, 60, 260, withAlpha(shade(mood.accent, 0.8f), 0.18f));
    addGlow(canvas, 600, 120, 240, withAlpha(shade(mood.accent, 0.8f), 0.15f));
    addBokeh(canvas, 100 + level, 26, mood.accent);
    addStars(canvas, 200 + level, 90 + 20 * level, mood.accent);
    // Under the side panels only light: pieces there would read as a gauge or a count.
    for (int side = 0; side < 2; ++side)
        addGlow(canvas, panelX[side] + 25.0f, 350, 80, withAlpha(mood.accent, 0.14f));
    addVignette(canvas, 0.55f);
    for (int side = 0; side < 2; ++side) {
        drawWell(canvas, wellX[side], mood);
        drawSidePanel(canvas, side, mood);
    }
    // Between the wells: a "VS" badge.
    float cx = 320.5f, cy = 238;
    canvas.fill(circle(cx, cy, 17), rgb(6, 6, 14));
    canvas.fill(circle(cx, cy, 15.5f), verticalGradient(cy - 16, shade(mood.accent, 1.3f), cy + 16,
                                                        shade(mood.accent, 0.45f)));
    drawText(canvas, "VS", cx, cy + 5, titleStyle(14, rgb(255, 255, 255), rgb(230, 230, 255)),
             Align::Centre);
    TextStyle name = titleStyle(14, rgb(255, 255, 255), shade(mood.accent, 1.4f));
    name.tracking = 3;
    drawText(canvas, "PLAYER", wellX[0] + wellW / 2.0f, 462, name, Align::Centre);
    drawText(canvas, "COMPUTER", wellX[1] + wellW / 2.0f, 462, name, Align::Centre);
    return canvas;
}

Canvas makeMenuBackdrop() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    fillSky(canvas, rgb(6, 4, 22), rgb(26, 18, 70));
    addGlow(canvas, 400, 300, 380, rgb(110, 70, 255, 0.30f));
    addGlow(canvas, 90, 420, 260, rgb(40, 180, 255, 0.22f));
    addBokeh(canvas, 11, 30, rgb(150, 130, 255));
    addStars(canvas, 12, 160, rgb(170, 170, 255));
    addVignette(canvas, 0.5f);
    // Below the band where the intro's logo pulses over this picture.
    addFallingBlocks(canvas, 13, 6, 24, layout::logoBand.y1 + 8.0f, 196, 262, 18, 30, 0.7f);
    drawMiniWell(canvas, 30, 284, 5, 5, 4, 32, 14, rgb(120, 110, 255));
    // A soft dark column behind the menu rows; no hard panel, since the intro shows this
    // picture bare with the logo pulsing over it.
    canvas.fill(roundedRect(228, 104, 572, 470, 20), [](float x, float) {
        float t = std::fabs(x - 400) / 172;
        return Rgba{0.01f, 0.0f, 0.05f, 0.42f * (1 - t * t * t * t)};
    });
    // Faint rules between the seven menu rows, centred at y 140 + 50 i.
    for (int i = 0; i < 6; ++i) {
        float y = 165 + 50.0f * i;
        canvas.fill(roundedRect(262, y, 538, y + 1, 0.5f), [](float x, float) {
            float t = std::fabs(x - 400) / 138;
            return rgb(170, 160, 255, 0.22f * (1 - t * t));
        });
    }
    return canvas;
}

Canvas makeTitleSplash() {
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    fillSky(canvas, rgb(4, 2, 16), rgb(40, 14, 70));
    addGlow(canvas, 320, 220, 360, rgb(255, 120, 200, 0.28f));
    addGlow(canvas, 320, 220, 180, rgb(255, 220, 160, 0.22f));
    addStars(canvas, 21, 200, rgb(200, 170, 255));
    // Blocks above and below the title band, never behind the letters.
    addFallingBlocks(canvas, 22, 14, 10, 6, 630, 150, 14, 40, 0.6f);
    addFallingBlocks(canvas, 23, 14, 10, 318, 630, 474, 14, 40, 0.6f);
    addVignette(canvas, 0.6f);
    canvas.fill(ellipse(320, 212, 330, 26), [](float x, float y) {
        float t = std::fabs(x - 320) / 330, u = std::fabs(y - 212) / 26;
        return rgb(255, 200, 150, 0.24f * (1 - t) * (1 - u) * (1 - u));
    });
    TextStyle title = titleStyle(104, rgb(255, 250, 220), rgb(255, 150, 40));
    title.outlineWidth = 5;
    title.shadowOffset = 7;
    title.shadowBlur = 4;
    drawText(canvas, "VEXLORN", 320, 250, title, Align::Centre);
    TextStyle tag = titleStyle(20, rgb(220, 230, 255), rgb(160, 180, 255));
    tag.tracking = 6;
    drawText(canvas, "A DUEL OF RISING WELLS", 320, 300, tag, Align::Centre);
    drawText(canvas, "press Enter", 320, 348, bodyStyle(16, rgb(200, 200, 230)), Align::Centre);
    return canvas;
}

Canvas makeHallOfFameBackdrop(const std::vector<RgbImage>& gameFont) {
    auto width = [&gameFont](const std::string& text) {
        int w = 0;
        for (unsigned char c : text) w += gameFont[c - 32].width;
        return w;
    };
    Canvas canvas(vexlorn::screenWidth, vexlorn::screenHeight);
    fillSky(canvas, rgb(8, 4, 20), rgb(40, 20, 60));
    addGlow(canvas, 320, 40, 380, rgb(255, 190, 60, 0.22f));
    addStars(canvas, 31, 140, rgb(255, 220, 160));
    addBokeh(canvas, 32, 20, rgb(255, 200, 120));
    addVignette(canvas, 0.5f);
    TextStyle heading = titleStyle(46, rgb(255, 250, 210), rgb(255, 170, 40));
    heading.tracking = 3;
    // Title above and table below the band where the intro's logo pulses over this picture.
    drawText(canvas, "HALL OF FAME", 320, layout::logoBand.y0 - 10, heading, Align::Centre);
    // Rows are drawn by the game from x 290 as "  %3d       %3s     %5d".
    const int rowX = layout::tableX, rowY = layout::tableY, pitch = layout::tablePitch,
              rows = layout::tableRows;
    int levelX0 = rowX + width("  "), levelX1 = levelX0 + width("000");
    int nameX0 = levelX1 + width("       "), nameX1 = nameX0 + width("MMM");
    int scoreX0 = nameX1 + width("     "), scoreX1 = scoreX0 + width("00000");
    addGlow(canvas, 108, 300, 120, rgb(255, 200, 90, 0.25f));
    drawTrophy(canvas, 108, 236, 0.95f);
    drawPanel(canvas, 210, layout::logoBand.y1 + 2.0f, scoreX1 + 24.0f, rowY + pitch * rows + 6.0f,
              rgb(255, 180, 80), 12);
    for (int r = 0; r < rows; ++r) {
        float y = float(rowY + pitch * r);
        if (r % 2 == 0)
            canvas.fill(roundedRect(222, y - 5, scoreX1 + 12.0f, y + 23, 5),
                        rgb(255, 200, 120, 0.07f));
        Rgba medal = r == 0   ? rgb(255, 210, 60)
                     : r == 1 ? rgb(210, 215, 230)
                     : r == 2 ? rgb(220, 140, 70)
                              : rgb(120, 110, 150);
        TextStyle rank = titleStyle(16, shade(medal, 1.3f), medal);
        rank.outlineWidth = 1.5f;
        drawText(canvas, std::to_string(r + 1) + ".", rowX - 30.0f, y + 15, rank, Align::Right);
    }
    TextStyle column = titleStyle(13, rgb(255, 230, 170), rgb(255, 180, 80));
    column.tracking = 1;
    float titleY = rowY - 11.0f;
    drawText(canvas, "LEVEL", (levelX0 + levelX1) / 2.0f, titleY, column, Align::Centre);
    drawText(canvas, "NAME", (nameX0 + nameX1) / 2.0f, titleY, column, Align::Centre);
    drawText(canvas, "SCORE", (scoreX0 + scoreX1) / 2.0f, titleY, column, Align::Centre);
    drawText(canvas, "RANK", rowX - 40.0f, titleY, column, Align::Centre);
    return canvas;
}

}  // namespace datagen
