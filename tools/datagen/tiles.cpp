// The 512x128 tile sheet: blocks, incoming blocks, blast frames, avatar frames, bomb, stone.
#include <algorithm>
#include <cmath>

#include "assets/data_layout.h"
#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"

namespace datagen {

namespace {

// A flash that swells over the first frames, then breaks into sparks that thin out.
void drawBlastFrame(Canvas& canvas, float x, float y, int frame) {
    float t = frame / 14.0f;
    float cx = x + 16, cy = y + 16;
    Dice dice(77);
    if (frame < 6) {
        float r = 5 + frame * 2.2f;
        canvas.fill(circle(cx, cy, r + 1.5f), rgb(120, 30, 10));
        canvas.fill(circle(cx, cy, r),
                    radialGradient(cx, cy, r, rgb(255, 255, 235), rgb(255, 150, 30)));
        canvas.fill(star(cx, cy, r + 3, r * 0.55f, 8, frame * 0.2f),
                    withAlpha(rgb(255, 235, 120), 0.85f));
        canvas.fill(circle(cx, cy, r * 0.5f), rgb(255, 255, 255));
        return;
    }
    // A cooling core under a ring of embers that spreads and dissolves.
    float core = frame < 10 ? 14 - (frame - 6) * 3.0f : 0;
    if (core > 0) {
        float r = core;
        canvas.fill(circle(cx, cy, r + 1.2f), rgb(110, 30, 10));
        canvas.fill(circle(cx, cy, r),
                    radialGradient(cx, cy, r, mix(rgb(255, 240, 170), rgb(255, 120, 40), t),
                                   rgb(220, 70, 20)));
    }
    float spread = 10 + (frame - 6) * 1.6f;
    float keep = 1 - (frame - 6) / 9.0f;
    for (int i = 0; i < 22; ++i) {
        float angle = dice.range(0, 6.2832f);
        float dist = std::min(12.5f, core * 0.75f + spread * dice.range(0.25f, 0.75f));
        float size = dice.range(1.3f, 3.2f) * (0.45f + 0.55f * keep);
        float px = cx + std::cos(angle) * dist, py = cy + std::sin(angle) * dist;
        if (dice.next() > keep + 0.15f) continue;
        Rgba hot = mix(rgb(255, 250, 200), rgb(255, 90, 20), t);
        canvas.fill(circle(px, py, size + 0.9f), rgb(90, 20, 10));
        canvas.fill(circle(px, py, size), hot);
    }
}

}  // namespace

void drawAvatar(Canvas& canvas, float x, float y, int frame) {
    // Squash and turn: width and height of the body, and where the eyes look.
    static const float squashX[6] = {1.0f, 1.12f, 1.2f, 0.86f, 1.08f, 0.96f};
    static const float squashY[6] = {1.0f, 0.86f, 0.78f, 1.06f, 0.9f, 1.04f};
    static const float look[6] = {0.0f, 0.15f, 0.55f, 1.0f, -0.6f, -0.2f};
    float w = 11.5f * squashX[frame], h = 12.0f * squashY[frame];
    float cx = x + 16, bottom = y + 30, cy = bottom - h - 1.5f;
    Rgba rim = rgb(20, 16, 40);
    // Feet
    canvas.fill(ellipse(cx - w * 0.55f, bottom - 2, 4.2f, 2.6f), rim);
    canvas.fill(ellipse(cx + w * 0.55f, bottom - 2, 4.2f, 2.6f), rim);
    canvas.fill(ellipse(cx - w * 0.55f, bottom - 2.3f, 3.0f, 1.6f), rgb(255, 170, 60));
    canvas.fill(ellipse(cx + w * 0.55f, bottom - 2.3f, 3.0f, 1.6f), rgb(255, 170, 60));
    // Antenna
    float tipX = cx + look[frame] * 3, tipY = cy - h - 4;
    canvas.fill(polygon({cx - 1.2f, cy - h + 2, cx + 1.2f, cy - h + 2, tipX + 0.8f, tipY,
                         tipX - 0.8f, tipY}),
                rim);
    canvas.fill(circle(tipX, tipY, 3.2f), rim);
    canvas.fill(circle(tipX, tipY, 2.1f), rgb(255, 220, 60));
    // Body
    Shape body = ellipse(cx, cy, w + 1.6f, h + 1.6f);
    canvas.fill(body, rim);
    canvas.fill(ellipse(cx, cy, w, h),
                verticalGradient(cy - h, rgb(250, 252, 255), cy + h, rgb(150, 170, 210)));
    canvas.fill(ellipse(cx - w * 0.3f, cy - h * 0.5f, w * 0.45f, h * 0.28f), Rgba{1, 1, 1, 0.8f});
    // Eyes: both face the viewer at rest; one hides as the figure turns sideways.
    float eyeX = cx + look[frame] * w * 0.45f;
    float gap = 4.6f * (1 - 0.55f * std::fabs(look[frame]));
    for (int side = -1; side <= 1; side += 2) {
        float ex = eyeX + side * gap;
        if (std::fabs(ex - cx) > w * 0.8f) continue;
        canvas.fill(ellipse(ex, cy - 1, 2.6f, 3.4f * squashY[frame]), rgb(20, 20, 40));
        canvas.fill(circle(ex + 0.8f, cy - 2.2f, 1.0f), rgb(255, 255, 255));
    }
    // Cheeks
    canvas.fill(ellipse(eyeX - gap - 2.5f, cy + 3.5f, 2.0f, 1.2f),
                withAlpha(rgb(255, 110, 140), 0.7f));
    canvas.fill(ellipse(eyeX + gap + 2.5f, cy + 3.5f, 2.0f, 1.2f),
                withAlpha(rgb(255, 110, 140), 0.7f));
}

void drawBomb(Canvas& canvas, float x, float y) {
    float cx = x + 15, cy = y + 18;
    Rgba rim = rgb(10, 8, 20);
    canvas.fill(roundedRect(cx + 4, y + 4, cx + 10, y + 10, 1.5f), rim);
    canvas.fill(roundedRect(cx + 5, y + 5, cx + 9, y + 9, 1), rgb(150, 150, 170));
    canvas.fill(circle(cx, cy, 13.2f), rim);
    canvas.fill(circle(cx, cy, 11.9f),
                radialGradient(cx - 4, cy - 5, 17, rgb(110, 110, 140), rgb(22, 20, 36)));
    canvas.fill(ellipse(cx - 4, cy - 5, 4.5f, 3), Rgba{1, 1, 1, 0.55f});
    // Red danger band
    canvas.fill(intersect(circle(cx, cy, 11.9f), roundedRect(cx - 13, cy + 1, cx + 13, cy + 5, 1)),
                rgb(220, 40, 40));
    // Fuse and spark
    canvas.fill(polygon({cx + 7, y + 6, cx + 8.5f, y + 5, cx + 12, y + 2, cx + 11, y + 3.5f}),
                rgb(200, 170, 120));
    canvas.fill(star(x + 28, y + 3.5f, 4.2f, 1.6f, 6), rgb(120, 40, 0));
    canvas.fill(star(x + 28, y + 3.5f, 3.2f, 1.1f, 6), rgb(255, 230, 80));
    canvas.fill(circle(x + 28, y + 3.5f, 1.1f), rgb(255, 255, 255));
}

void drawStone(Canvas& canvas, float x, float y) {
    Shape body = roundedRect(x, y, x + 32, y + 32, 5);
    canvas.fill(body, rgb(28, 28, 34));
    Shape inner = grow(body, -1.6f);
    canvas.fill(inner, verticalGradient(y, rgb(168, 168, 178), y + 32, rgb(86, 86, 98)));
    canvas.fill(subtract(inner, offset(inner, 1.5f, 1.5f)), Rgba{1, 1, 1, 0.35f});
    canvas.fill(subtract(inner, offset(inner, -1.5f, -1.5f)), Rgba{0, 0, 0, 0.35f});
    Dice dice(31);
    for (int i = 0; i < 16; ++i) {
        float px = x + dice.range(5, 27), py = y + dice.range(5, 27);
        canvas.fill(circle(px, py, dice.range(0.6f, 1.5f)), Rgba{0.2f, 0.2f, 0.24f, 0.45f});
    }
    // Cracks
    canvas.fill(polygon({x + 6, y + 9, x + 14, y + 14, x + 13, y + 15.5f, x + 5.5f, y + 10.5f}),
                Rgba{0.12f, 0.12f, 0.16f, 0.8f});
    canvas.fill(
        polygon({x + 14, y + 14, x + 22, y + 12, x + 22.5f, y + 13.4f, x + 13.5f, y + 15.5f}),
        Rgba{0.12f, 0.12f, 0.16f, 0.8f});
    canvas.fill(polygon({x + 18, y + 21, x + 26, y + 26, x + 25, y + 27.4f, x + 17.4f, y + 22.5f}),
                Rgba{0.12f, 0.12f, 0.16f, 0.8f});
}

Canvas makeTileSheet() {
    using namespace vexlorn;  // the sheet's layout, as the game cuts it
    Canvas sheet(tileSheetWidth, tileSheetHeight);
    // Each tile is drawn on its own transparent cell and pasted opaque where it is solid, so
    // the sheet keeps hard edges against the mask colour around every tile.
    auto paste = [&sheet](const TileStrip& strip, int i, auto draw) {
        Canvas cell(tileSize, tileSize);
        draw(cell);
        for (int y = 0; y < tileSize; ++y)
            for (int x = 0; x < tileSize; ++x) {
                Rgba p = cell.pixel(x, y);
                if (p.a >= 0.5f) sheet.blend(strip.tileX(i) + x, strip.y + y, withAlpha(p, 1));
            }
    };
    for (int i = 0; i < blockTileCount; ++i) {
        paste(blockStrip, i, [i](Canvas& c) { drawBlock(c, 0, 0, tileSize, i); });
        paste(incomingStrip, i, [i](Canvas& c) { drawBlock(c, 0, 0, tileSize, i, 0.5f); });
    }
    for (int i = 0; i < blastFrameCount; ++i)
        paste(blastStrip, i, [i](Canvas& c) { drawBlastFrame(c, 0, 0, i); });
    paste(bombPlace, 0, [](Canvas& c) { drawBomb(c, 0, 0); });
    paste(stonePlace, 0, [](Canvas& c) { drawStone(c, 0, 0); });
    for (int i = 0; i < avatarFrameCount; ++i)
        paste(avatarStrip, i, [i](Canvas& c) { drawAvatar(c, 0, 0, i); });
    return sheet;
}

}  // namespace datagen
