// The scaler. Doubling, tripling and quadrupling write four source pixels at a time with SSE2;
// each scaled row is then copied factor - 1 times below itself.
#include "frame/scaler.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace vexlorn {

static uint32_t* pixelRow(BITMAP* bitmap, int y) {
    return reinterpret_cast<uint32_t*>(bitmap->line[y]);
}

static void widenRow(const uint32_t* source, int width, uint32_t* out, int factor) {
    int x = 0;
    if (factor == 2) {
        for (; x + 4 <= width; x += 4, out += 8) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(four, four));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi32(four, four));
        }
    } else if (factor == 3) {
        for (; x + 4 <= width; x += 4, out += 12) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
            __m128i* to = reinterpret_cast<__m128i*>(out);
            _mm_storeu_si128(to, _mm_shuffle_epi32(four, _MM_SHUFFLE(1, 0, 0, 0)));
            _mm_storeu_si128(to + 1, _mm_shuffle_epi32(four, _MM_SHUFFLE(2, 2, 1, 1)));
            _mm_storeu_si128(to + 2, _mm_shuffle_epi32(four, _MM_SHUFFLE(3, 3, 3, 2)));
        }
    } else if (factor == 4) {
        for (; x + 4 <= width; x += 4, out += 16) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
            __m128i* to = reinterpret_cast<__m128i*>(out);
            _mm_storeu_si128(to, _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 0, 0, 0)));
            _mm_storeu_si128(to + 1, _mm_shuffle_epi32(four, _MM_SHUFFLE(1, 1, 1, 1)));
            _mm_storeu_si128(to + 2, _mm_shuffle_epi32(four, _MM_SHUFFLE(2, 2, 2, 2)));
            _mm_storeu_si128(to + 3, _mm_shuffle_epi32(four, _MM_SHUFFLE(3, 3, 3, 3)));
        }
    }
    for (; x < width; ++x) {
        for (int copy = 0; copy < factor; ++copy) *out++ = source[x];
    }
}

void scaleArea(BITMAP* picture, const Area& area, const ScaleTarget& target) {
    const int factor = target.factor;
    const size_t rowBytes = sizeof(uint32_t) * area.width * factor;
    for (int y = area.y; y < area.y + area.height; ++y) {
        const int firstRow = target.y + y * factor;
        const int left = target.x + area.x * factor;
        uint32_t* out = pixelRow(target.bitmap, firstRow) + left;
        widenRow(pixelRow(picture, y) + area.x, area.width, out, factor);
        for (int copy = 1; copy < factor; ++copy) {
            std::memcpy(pixelRow(target.bitmap, firstRow + copy) + left, out, rowBytes);
        }
    }
}

void scaleAreaReference(BITMAP* picture, const Area& area, const ScaleTarget& target) {
    const int factor = target.factor;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const int colour = getpixel(picture, x, y);
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    putpixel(target.bitmap, target.x + x * factor + dx, target.y + y * factor + dy,
                             colour);
                }
            }
        }
    }
}

void collectChanges(BITMAP* picture, BITMAP* kept, std::vector<Area>& changes) {
    changes.clear();
    const int width = picture->w;
    bool open = false;
    int left = 0;
    int right = 0;
    for (int y = 0; y < picture->h; ++y) {
        const uint32_t* now = pixelRow(picture, y);
        uint32_t* before = pixelRow(kept, y);
        if (std::memcmp(now, before, sizeof(uint32_t) * width) == 0) {
            open = false;
            continue;
        }
        int first = 0;
        while (now[first] == before[first]) ++first;
        int last = width - 1;
        while (now[last] == before[last]) --last;
        std::memcpy(before + first, now + first, sizeof(uint32_t) * (last - first + 1));
        if (!open) {
            changes.push_back(Area{first, y, 0, 0});
            left = first;
            right = last;
            open = true;
        }
        Area& band = changes.back();
        if (first < left) left = first;
        if (last > right) right = last;
        band.x = left;
        band.width = right - left + 1;
        band.height = y - band.y + 1;
    }
}

long presentChanges(BITMAP* picture, BITMAP* kept, const ScaleTarget& target, ShownFn shown) {
    static std::vector<Area> changes;
    collectChanges(picture, kept, changes);
    long pixels = 0;
    for (const Area& band : changes) {
        scaleArea(picture, band, target);
        pixels += long(band.width) * band.height;
        if (shown != nullptr) {
            shown(target.x + band.x * target.factor, target.y + band.y * target.factor,
                  band.width * target.factor, band.height * target.factor);
        }
    }
    return pixels;
}

long presentReported(BITMAP* picture, BITMAP* kept, const PictureChanges& changes,
                     const ScaleTarget& target, ShownFn shown) {
    if (changes.whole) return presentChanges(picture, kept, target, shown);
    long pixels = 0;
    for (const Area& area : changes.areas) {
        scaleArea(picture, area, target);
        blit(picture, kept, area.x, area.y, area.x, area.y, area.width, area.height);
        pixels += long(area.width) * area.height;
        if (shown != nullptr) {
            shown(target.x + area.x * target.factor, target.y + area.y * target.factor,
                  area.width * target.factor, area.height * target.factor);
        }
    }
    return pixels;
}

}  // namespace vexlorn
