// Block colours and symbols, glossy blocks, skies, glows, panels and the shared type styles.
#include "tools/datagen/look.h"

#include <cmath>
#include <vector>

#include "tools/datagen/pictures.h"

namespace datagen {

namespace {

// Hue and brightness both differ, so the colours stay apart for colour-blind players too.
const int blockRgb[blockColourCount][3] = {
    {222, 38, 52},    // red, heart
    {255, 138, 22},   // orange, triangle
    {255, 224, 48},   // yellow, star
    {52, 196, 74},    // green, diamond
    {40, 214, 236},   // cyan, ring
    {46, 92, 232},    // blue, square
    {150, 64, 222},   // purple, cross
    {255, 128, 200},  // pink, moon
};

}  // namespace

Rgba blockColour(int colour) {
    const int* c = blockRgb[colour % blockColourCount];
    return rgb(c[0], c[1], c[2]);
}

Shape blockSymbol(int colour, float cx, float cy, float r) {
    switch (colour % blockColourCount) {
        case 0: {  // heart: two lobes over a point
            Shape lobes = unite(circle(cx - r * 0.48f, cy - r * 0.28f, r * 0.52f),
                                circle(cx + r * 0.48f, cy - r * 0.28f, r * 0.52f));
            return unite(lobes, polygon({cx - r * 0.98f, cy - r * 0.12f, cx + r * 0.98f,
                                         cy - r * 0.12f, cx, cy + r * 0.95f}));
        }
        case 1:
            return polygon(
                {cx, cy - r, cx + r * 0.98f, cy + r * 0.78f, cx - r * 0.98f, cy + r * 0.78f});
        case 2:
            return star(cx, cy + r * 0.08f, r * 1.05f, r * 0.45f, 5);
        case 3:
            return polygon({cx, cy - r, cx + r * 0.8f, cy, cx, cy + r, cx - r * 0.8f, cy});
        case 4:
            return subtract(circle(cx, cy, r * 0.9f), circle(cx, cy, r * 0.42f));
        case 5:
            return roundedRect(cx - r * 0.75f, cy - r * 0.75f, cx + r * 0.75f, cy + r * 0.75f,
                               r * 0.15f);
        case 6:
            return unite(roundedRect(cx - r * 0.3f, cy - r, cx + r * 0.3f, cy + r, r * 0.1f),
                         roundedRect(cx - r, cy - r * 0.3f, cx + r, cy + r * 0.3f, r * 0.1f));
        default:
            return subtract(circle(cx, cy, r * 0.92f),
                            circle(cx + r * 0.45f, cy - r * 0.3f, r * 0.78f));
    }
}

void drawBlock(Canvas& canvas, float x, float y, float size, int colour, float brightness) {
    Rgba base = shade(blockColour(colour), brightness);
    float s = size / 32.0f;
    Shape body = roundedRect(x, y, x + size, y + size, 6 * s);
    canvas.fill(body, shade(base, 0.32f));
    Shape inner = grow(body, -1.6f * s);
    canvas.fill(inner, verticalGradient(y + 2 * s, shade(base, brightness < 1 ? 1.05f : 1.12f),
                                        y + size - 2 * s, shade(base, 0.66f)));
    // Soft inner bevel: lighter along the top-left, darker bottom-right.
    canvas.fill(subtract(inner, offset(inner, 1.5f * s, 1.5f * s)),
                withAlpha(shade(base, 1.5f), 0.55f));
    canvas.fill(subtract(inner, offset(inner, -1.5f * s, -1.5f * s)),
                withAlpha(shade(base, 0.45f), 0.6f));
    float cx = x + size / 2, cy = y + size / 2;
    Shape symbol = blockSymbol(colour, cx, cy + 1 * s, 8.2f * s);
    canvas.fill(offset(symbol, 0.9f * s, 1.1f * s), withAlpha(shade(base, 0.3f), 0.8f));
    canvas.fill(symbol, verticalGradient(cy - 8 * s, shade(Rgba{1, 1, 1, 1}, brightness),
                                         cy + 9 * s, shade(base, brightness < 1 ? 1.2f : 1.55f)));
    // Gloss over the top half.
    Shape gloss = intersect(ellipse(cx, y + 7 * s, 12.5f * s, 6.5f * s), inner);
    canvas.fill(gloss, verticalGradient(y + 1 * s, Rgba{1, 1, 1, 0.55f * brightness}, y + 12 * s,
                                        Rgba{1, 1, 1, 0.04f}));
}

float Dice::next() {
    state_ = state_ * 1664525u + 1013904223u;
    return float(state_ >> 8) / float(1u << 24);
}

void fillSky(Canvas& canvas, const Rgba& top, const Rgba& bottom) {
    canvas.fillRect(0, 0, canvas.width(), canvas.height(),
                    verticalGradient(0, top, float(canvas.height()), bottom));
}

void addGlow(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour) {
    canvas.fill(circle(cx, cy, radius), [=](float x, float y) {
        float t = std::hypot(x - cx, y - cy) / radius;
        float fade = (1 - t) * (1 - t);
        return withAlpha(colour, colour.a * fade);
    });
}

void addStars(Canvas& canvas, uint32_t seed, int count, const Rgba& tint) {
    Dice dice(seed);
    for (int i = 0; i < count; ++i) {
        float x = dice.range(0, float(canvas.width())), y = dice.range(0, float(canvas.height()));
        float r = dice.range(0.4f, 1.3f), a = dice.range(0.25f, 0.9f);
        canvas.fill(circle(x, y, r), withAlpha(mix(tint, Rgba{1, 1, 1, 1}, 0.6f), a));
        if (r > 1.15f) addGlow(canvas, x, y, r * 5, withAlpha(tint, 0.25f));
    }
}

void addBokeh(Canvas& canvas, uint32_t seed, int count, const Rgba& tint) {
    Dice dice(seed);
    for (int i = 0; i < count; ++i) {
        float x = dice.range(0, float(canvas.width())), y = dice.range(0, float(canvas.height()));
        float r = dice.range(12, 46), a = dice.range(0.03f, 0.09f);
        canvas.fill(circle(x, y, r), withAlpha(tint, a));
        canvas.fill(subtract(circle(x, y, r), circle(x, y, r - 1.5f)), withAlpha(tint, a * 1.4f));
    }
}

void addVignette(Canvas& canvas, float strength) {
    float cx = canvas.width() / 2.0f, cy = canvas.height() / 2.0f;
    float reach = std::hypot(cx, cy);
    canvas.fillRect(0, 0, canvas.width(), canvas.height(), [=](float x, float y) {
        float t = std::hypot(x - cx, y - cy) / reach;
        return Rgba{0, 0, 0, strength * t * t};
    });
}

void drawPanel(Canvas& canvas, float x0, float y0, float x1, float y1, const Rgba& accent,
               float radius) {
    Shape box = roundedRect(x0, y0, x1, y1, radius);
    canvas.fill(offset(grow(box, 2), 3, 4), Rgba{0, 0, 0, 0.35f});
    canvas.fill(box, verticalGradient(y0, withAlpha(shade(accent, 0.55f), 0.95f), y1,
                                      withAlpha(shade(accent, 0.25f), 0.95f)));
    canvas.fill(grow(box, -1.5f), Rgba{0.02f, 0.02f, 0.06f, 0.72f});
    canvas.fill(intersect(grow(box, -1.5f),
                          roundedRect(x0, y0, x1, y0 + std::min(40.0f, (y1 - y0) / 2), radius)),
                verticalGradient(y0, withAlpha(shade(accent, 1.4f), 0.16f), y0 + 40,
                                 withAlpha(accent, 0.0f)));
}

void addFallingBlocks(Canvas& canvas, uint32_t seed, int count, float x0, float y0, float x1,
                      float y1, float minSize, float maxSize, float brightness) {
    Dice dice(seed);
    struct Box {
        float x, y, size;
    };
    std::vector<Box> placed;
    // Blocks never overlap: a tangle of half-hidden blocks reads as noise.
    for (int attempt = 0; attempt < count * 40 && int(placed.size()) < count; ++attempt) {
        float size = std::round(dice.range(minSize, maxSize));
        float x = std::round(dice.range(x0, x1 - size)), y = std::round(dice.range(y0, y1 - size));
        int colour = int(dice.next() * blockColourCount);
        bool clear = true;
        for (const Box& b : placed)
            if (x < b.x + b.size + 6 && b.x < x + size + 6 && y < b.y + b.size + 6 &&
                b.y < y + size + 6)
                clear = false;
        if (!clear) continue;
        placed.push_back({x, y, size});
        drawBlock(
            canvas, x, y, size, colour,
            brightness * (0.6f + 0.4f * (size - minSize) / std::max(1.0f, maxSize - minSize)));
    }
}

void drawMiniWell(Canvas& canvas, float x, float y, int columns, int rows, int filled, float cell,
                  uint32_t seed, const Rgba& accent) {
    float w = columns * cell, h = rows * cell;
    Shape frame = roundedRect(x - 6, y - 6, x + w + 6, y + h + 6, 7);
    canvas.fill(offset(grow(frame, 2), 3, 5), Rgba{0, 0, 0, 0.4f});
    canvas.fill(frame, rgb(6, 6, 14));
    canvas.fill(grow(frame, -1.5f),
                verticalGradient(y - 6, shade(accent, 1.2f), y + h + 6, shade(accent, 0.35f)));
    canvas.fill(grow(frame, -4), rgb(6, 6, 14));
    canvas.fillRect(int(x), int(y), int(x + w), int(y + h),
                    verticalGradient(y, rgb(4, 4, 12), y + h, shade(accent, 0.18f)));
    Dice dice(seed);
    int avatarColumn = columns / 2, avatarRow = rows - filled + 1;
    int previous = -1;
    for (int r = rows - filled; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            float bx = x + c * cell, by = y + r * cell;
            if (c == avatarColumn && r == avatarRow) {
                drawAvatar(canvas, bx + (cell - 32) / 2, by + (cell - 32) / 2, 0);
                continue;
            }
            int colour = int(dice.next() * blockColourCount);
            if (colour == previous) colour = (colour + 3) % blockColourCount;
            previous = colour;
            drawBlock(canvas, bx, by, cell, colour, r == rows - 1 ? 0.5f : 1.0f);
        }
    }
}

TextStyle titleStyle(int size, const Rgba& top, const Rgba& bottom) {
    TextStyle style;
    style.face = Typeface::SansBold;
    style.size = size;
    style.top = top;
    style.bottom = bottom;
    style.outline = rgb(12, 8, 30);
    style.outlineWidth = std::max(1.5f, size / 14.0f);
    style.shadow = Rgba{0, 0, 0, 0.6f};
    style.shadowOffset = std::max(2, size / 16);
    style.shadowBlur = 2;
    return style;
}

TextStyle bodyStyle(int size, const Rgba& colour) {
    TextStyle style;
    style.face = Typeface::Sans;
    style.size = size;
    style.top = colour;
    style.bottom = shade(colour, 0.85f);
    style.shadow = Rgba{0, 0, 0, 0.7f};
    style.shadowOffset = 1;
    style.shadowBlur = 1;
    return style;
}

TextStyle popupStyle(int size, const Rgba& top, const Rgba& bottom) {
    TextStyle style;
    style.face = Typeface::SansBold;
    style.size = size;
    style.top = top;
    style.bottom = bottom;
    style.outline = rgb(16, 10, 36);
    style.outlineWidth = std::max(2.0f, size / 11.0f);
    return style;
}

RgbImage toImage(const Canvas& canvas) {
    return RgbImage{canvas.width(), canvas.height(), canvas.toRgb()};
}

}  // namespace datagen
