// Masked sprite drawing with an opacity, for 32-bit bitmaps.
#include "assets/translucent.h"

#include <cstdint>

namespace vexlorn {

namespace {

constexpr int opaque = 255;

// Each channel (s + d) / 2 rounded down, without a multiplication.
inline uint32_t halfway(uint32_t s, uint32_t d) {
    return (s & d & 0x010101u) + ((d >> 1) & 0x7F7F7Fu) + ((s >> 1) & 0x7F7F7Fu);
}

// Each channel moves from d towards s by f/256 of the distance, rounded down. Red and blue
// share one multiplication: the unsigned wrap of a negative difference cancels in the sum.
inline uint32_t mix(uint32_t s, uint32_t d, uint32_t f) {
    uint32_t redBlue = d & 0xFF00FFu;
    redBlue = (redBlue + ((((s & 0xFF00FFu) - redBlue) * f) >> 8)) & 0xFF00FFu;
    uint32_t green = d & 0xFF00u;
    green = (green + ((((s & 0xFF00u) - green) * f) >> 8)) & 0xFF00u;
    return redBlue | green;
}

template <bool Halfway>
void mixRows(BITMAP* sprite, BITMAP* destination, int sx, int sy, int dx, int dy, int w, int h,
             uint32_t f) {
    const uint32_t mask = static_cast<uint32_t>(bitmap_mask_color(sprite));
    for (int row = 0; row < h; ++row) {
        const uint32_t* s = reinterpret_cast<const uint32_t*>(bmp_read_line(sprite, sy + row)) + sx;
        uint32_t* d = reinterpret_cast<uint32_t*>(bmp_write_line(destination, dy + row)) + dx;
        for (int col = 0; col < w; ++col) {
            uint32_t pixel = s[col];
            if (pixel == mask) continue;
            d[col] = Halfway ? halfway(pixel, d[col]) : mix(pixel, d[col], f);
        }
    }
    bmp_unwrite_line(destination);
}

}  // namespace

void translucentDraw(BITMAP* sprite, BITMAP* destination, int x, int y, int opacity) {
    if (sprite == nullptr || destination == nullptr) return;
    if (bitmap_color_depth(sprite) != bitmap_color_depth(destination)) return;
    int sx = 0;
    int sy = 0;
    int w = sprite->w;
    int h = sprite->h;
    // Clipped to the destination's whole area, not its clipping rectangle.
    if (x < 0) {
        sx = -x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy = -y;
        h += y;
        y = 0;
    }
    if (x + w > destination->w) w = destination->w - x;
    if (y + h > destination->h) h = destination->h - y;
    if (w <= 0 || h <= 0) return;
    // Above the scale counts as opaque: the mixing formula would overshoot the source.
    if (opacity >= opaque) {
        masked_blit(sprite, destination, sx, sy, x, y, w, h);
        return;
    }
    if (opacity <= 0 || bitmap_color_depth(sprite) != 32) return;
    if (opacity == 127 || opacity == 128) {
        mixRows<true>(sprite, destination, sx, sy, x, y, w, h, 0);
    } else {
        mixRows<false>(sprite, destination, sx, sy, x, y, w, h, static_cast<uint32_t>(opacity));
    }
}

}  // namespace vexlorn
