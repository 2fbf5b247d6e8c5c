// Masked sprite drawing with an opacity, for 32-bit bitmaps.
#include "assets/translucent.h"

#include <emmintrin.h>

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

// The same two formulas on four pixels at once, with the same 32-bit unsigned arithmetic, so
// the results are identical (tested against the formulas over every opacity).
inline __m128i halfway4(__m128i s, __m128i d) {
    const __m128i lowBits = _mm_set1_epi32(0x010101);
    const __m128i sevenBits = _mm_set1_epi32(0x7F7F7F);
    __m128i both = _mm_and_si128(_mm_and_si128(s, d), lowBits);
    __m128i halfD = _mm_and_si128(_mm_srli_epi32(d, 1), sevenBits);
    __m128i halfS = _mm_and_si128(_mm_srli_epi32(s, 1), sevenBits);
    return _mm_add_epi32(_mm_add_epi32(both, halfD), halfS);
}

// x * f modulo 2^32 in each lane for f below 2^16: SSE2 multiplies only 16-bit halves, and
// x * f = low half * f + ((high half * f) << 16).
inline __m128i timesSmall(__m128i x, __m128i f16) {
    __m128i low = _mm_mullo_epi16(x, f16);
    __m128i carry = _mm_slli_epi32(_mm_mulhi_epu16(x, f16), 16);
    return _mm_add_epi32(low, carry);
}

inline __m128i moveTowards(__m128i s, __m128i d, __m128i f16, __m128i channels) {
    __m128i from = _mm_and_si128(d, channels);
    __m128i step =
        _mm_srli_epi32(timesSmall(_mm_sub_epi32(_mm_and_si128(s, channels), from), f16), 8);
    return _mm_and_si128(_mm_add_epi32(from, step), channels);
}

inline __m128i mix4(__m128i s, __m128i d, __m128i f16) {
    return _mm_or_si128(moveTowards(s, d, f16, _mm_set1_epi32(0xFF00FF)),
                        moveTowards(s, d, f16, _mm_set1_epi32(0xFF00)));
}

template <bool Halfway>
void mixRows(BITMAP* sprite, BITMAP* destination, int sx, int sy, int dx, int dy, int w, int h,
             uint32_t f) {
    const uint32_t mask = static_cast<uint32_t>(bitmap_mask_color(sprite));
    const __m128i mask4 = _mm_set1_epi32(static_cast<int>(mask));
    const __m128i f16 = _mm_set1_epi16(static_cast<short>(f));
    for (int row = 0; row < h; ++row) {
        // Allegro hands out row addresses as integers: the casts are its interface.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        const uint32_t* s = reinterpret_cast<const uint32_t*>(bmp_read_line(sprite, sy + row)) + sx;
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        uint32_t* d = reinterpret_cast<uint32_t*>(bmp_write_line(destination, dy + row)) + dx;
        int col = 0;
        for (; col + 4 <= w; col += 4) {
            __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + col));
            __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + col));
            __m128i mixed = Halfway ? halfway4(source, under) : mix4(source, under, f16);
            __m128i masked = _mm_cmpeq_epi32(source, mask4);
            __m128i result =
                _mm_or_si128(_mm_and_si128(masked, under), _mm_andnot_si128(masked, mixed));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + col), result);
        }
        for (; col < w; ++col) {
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
