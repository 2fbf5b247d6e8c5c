// The shared look of every picture: block colours and symbols, glossy pieces, panels, type.
#pragma once

#include <cstdint>
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/datafile_writer.h"
#include "tools/datagen/font_raster.h"

namespace datagen {

constexpr int blockColourCount = 8;

Rgba blockColour(int colour);
// A glossy block of the given colour with its symbol; brightness < 1 for the incoming row.
void drawBlock(Canvas& canvas, float x, float y, float size, int colour, float brightness = 1);
// The colour's own symbol (heart, triangle, star, diamond, ring, square, cross, moon).
Shape blockSymbol(int colour, float cx, float cy, float radius);

// Deterministic pseudo-random numbers, so every build draws the same pictures.
class Dice {
public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    float next();  // 0 <= value < 1
    float range(float low, float high) { return low + (high - low) * next(); }

private:
    uint32_t state_;
};

// Full-screen backdrop pieces.
void fillSky(Canvas& canvas, const Rgba& top, const Rgba& bottom);
void addGlow(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour);
void addStars(Canvas& canvas, uint32_t seed, int count, const Rgba& tint);
void addBokeh(Canvas& canvas, uint32_t seed, int count, const Rgba& tint);
void addVignette(Canvas& canvas, float strength);
// A dark glass panel with a light rim.
void drawPanel(Canvas& canvas, float x0, float y0, float x1, float y1, const Rgba& accent,
               float radius = 10);
// Blocks scattered as decoration, tumbling at angles.
void addFallingBlocks(Canvas& canvas, uint32_t seed, int count, float x0, float y0, float x1,
                      float y1, float minSize, float maxSize, float brightness);

// A small framed well with a pile of blocks and the figure among them, cells of `cell` pixels.
void drawMiniWell(Canvas& canvas, float x, float y, int columns, int rows, int filled, float cell,
                  uint32_t seed, const Rgba& accent);

// Typography shared by the pages.
TextStyle titleStyle(int size, const Rgba& top, const Rgba& bottom);
TextStyle bodyStyle(int size, const Rgba& colour = Rgba{0.9f, 0.92f, 1.0f, 1});
// Glossy caption text for sprites: thick dark rim, hard edge against magenta.
TextStyle popupStyle(int size, const Rgba& top, const Rgba& bottom);

RgbImage toImage(const Canvas& canvas);

}  // namespace datagen
