// The scaler. Doubling, tripling and quadrupling write four source pixels at a time with SSE2;
// each scaled row is then copied factor - 1 times below itself. Filling is done in two passes,
// each blending two neighbours with 8-bit weights: picture rows widened into a kept buffer (only
// the rows that changed), then pairs of those rows blended into the target, four pixels at once.
#include "frame/scaler.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "frame/globals.h"

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

namespace {

// A target pixel's footprint on the picture, along one axis: the first picture pixel under it,
// the one after, and the first's share out of 256. Upscaling, a footprint is at most one
// picture pixel wide, so it covers one or two. On the last picture pixel the pair starts one
// earlier with no share, so that the two are always neighbours and can be read as one.
struct Tap {
    int first = 0;
    int next = 1;
    int weight = 256;
};

Tap tapFor(int out, int outSize, int inSize) {
    // In units of 1/outSize of a picture pixel.
    const long start = long(out) * inSize;
    const long end = start + inSize;
    Tap tap;
    tap.first = int(start / outSize);
    const long seam = long(tap.first + 1) * outSize;
    if (end > seam) tap.weight = int(((seam - start) * 256 + inSize / 2) / inSize);
    if (tap.first == inSize - 1) {
        tap.first = inSize - 2;
        tap.weight = 0;
    }
    tap.next = tap.first + 1;
    return tap;
}

// The target pixels [first, last) along one axis whose footprints touch picture pixels
// [from, to).
void reach(int from, int to, int outSize, int inSize, int& first, int& last) {
    first = int(long(from) * outSize / inSize);
    last = int((long(to) * outSize + inSize - 1) / inSize);
    last = std::min(last, outSize);
}

// Each channel b + (a - b) * weight / 256, rounded down: a at weight 256, b at 0.
uint32_t blendPixel(uint32_t a, uint32_t b, int weight) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = int((a >> shift) & 0xff);
        const int cb = int((b >> shift) & 0xff);
        const int blended = cb + int(std::floor((ca - cb) * weight / 256.0));
        out |= uint32_t(blended) << shift;
    }
    return out;
}

// The same for four pixels at once, weights per channel in 16-bit lanes (the low two pixels' in
// weightsLow). The difference times 128 and the weight times 2 keep the product's top 16 bits
// exactly (a - b) * weight / 256, rounded down.
__m128i blendFour(__m128i a, __m128i b, __m128i weightsLow, __m128i weightsHigh) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i bLow = _mm_unpacklo_epi8(b, zero);
    const __m128i bHigh = _mm_unpackhi_epi8(b, zero);
    const __m128i low = _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), bLow);
    const __m128i high = _mm_sub_epi16(_mm_unpackhi_epi8(a, zero), bHigh);
    const __m128i outLow =
        _mm_add_epi16(bLow, _mm_mulhi_epi16(_mm_slli_epi16(low, 7), _mm_slli_epi16(weightsLow, 1)));
    const __m128i outHigh = _mm_add_epi16(
        bHigh, _mm_mulhi_epi16(_mm_slli_epi16(high, 7), _mm_slli_epi16(weightsHigh, 1)));
    return _mm_packus_epi16(outLow, outHigh);
}

// The taps for one fill size, and the picture's rows widened to it, kept between presents.
struct FillTables {
    int width = 0;
    int height = 0;
    std::vector<Tap> columns;
    std::vector<uint16_t> columnWeights;  // each column's weight four times, once per channel
    std::vector<Tap> rows;
    std::vector<uint32_t> wideRows;  // screenHeight rows of `width` pixels
};

FillTables& fillTables(int width, int height) {
    static FillTables tables;
    if (tables.width == width && tables.height == height) return tables;
    tables.width = width;
    tables.height = height;
    tables.columns.resize(size_t(width));
    tables.columnWeights.resize(size_t(width) * 4);
    for (int x = 0; x < width; ++x) {
        tables.columns[size_t(x)] = tapFor(x, width, screenWidth);
        for (int c = 0; c < 4; ++c) {
            tables.columnWeights[size_t(x) * 4 + c] = uint16_t(tables.columns[size_t(x)].weight);
        }
    }
    tables.rows.resize(size_t(height));
    for (int y = 0; y < height; ++y) tables.rows[size_t(y)] = tapFor(y, height, screenHeight);
    tables.wideRows.assign(size_t(width) * screenHeight, 0);
    return tables;
}

void widenRowFill(const uint32_t* source, int first, int last, const FillTables& tables,
                  uint32_t* out) {
    int x = first;
    const Tap* taps = tables.columns.data();
    for (; x + 4 <= last; x += 4) {
        const Tap* t = taps + x;
        // Each pair of neighbours in one read, then the firsts and the nexts gathered apart.
        auto pair = [&](int i) {
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + t[i].first));
        };
        const __m128 low = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(0), pair(1)));
        const __m128 high = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(2), pair(3)));
        const __m128i left = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m128i right = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
        const uint16_t* weights = &tables.columnWeights[size_t(x) * 4];
        const __m128i blended =
            blendFour(left, right, _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights)),
                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), blended);
    }
    for (; x < last; ++x) {
        const Tap& tap = tables.columns[size_t(x)];
        out[x] = blendPixel(source[tap.first], source[tap.next], tap.weight);
    }
}

void blendRows(const uint32_t* upper, const uint32_t* lower, int weight, int first, int last,
               uint32_t* out) {
    if (weight == 256) {
        std::memcpy(out + first, upper + first, sizeof(uint32_t) * size_t(last - first));
        return;
    }
    const __m128i weights = _mm_set1_epi16(short(weight));
    int x = first;
    for (; x + 4 <= last; x += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), blendFour(a, b, weights, weights));
    }
    for (; x < last; ++x) out[x] = blendPixel(upper[x], lower[x], weight);
}

void fillArea(BITMAP* picture, const Area& area, const ScaleTarget& target) {
    FillTables& tables = fillTables(target.width, target.height);
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    reach(area.x, area.x + area.width, target.width, screenWidth, left, right);
    reach(area.y, area.y + area.height, target.height, screenHeight, top, bottom);
    const size_t wide = size_t(target.width);
    for (int y = area.y; y < area.y + area.height; ++y) {
        widenRowFill(pixelRow(picture, y), left, right, tables, &tables.wideRows[size_t(y) * wide]);
    }
    for (int y = top; y < bottom; ++y) {
        const Tap& tap = tables.rows[size_t(y)];
        blendRows(&tables.wideRows[size_t(tap.first) * wide],
                  &tables.wideRows[size_t(tap.next) * wide], tap.weight, left, right,
                  pixelRow(target.bitmap, target.y + y) + target.x);
    }
}

void fillAreaReference(BITMAP* picture, const Area& area, const ScaleTarget& target) {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    reach(area.x, area.x + area.width, target.width, screenWidth, left, right);
    reach(area.y, area.y + area.height, target.height, screenHeight, top, bottom);
    for (int y = top; y < bottom; ++y) {
        const Tap row = tapFor(y, target.height, screenHeight);
        for (int x = left; x < right; ++x) {
            const Tap column = tapFor(x, target.width, screenWidth);
            auto at = [&](int px, int py) { return uint32_t(getpixel(picture, px, py)); };
            const uint32_t upper =
                blendPixel(at(column.first, row.first), at(column.next, row.first), column.weight);
            const uint32_t lower =
                blendPixel(at(column.first, row.next), at(column.next, row.next), column.weight);
            putpixel(target.bitmap, target.x + x, target.y + y,
                     int(blendPixel(upper, lower, row.weight)));
        }
    }
}

bool filling(const ScaleTarget& target) {
    return target.width > 0;
}

}  // namespace

Area scaledArea(const Area& area, const ScaleTarget& target) {
    if (!filling(target)) {
        return Area{target.x + area.x * target.factor, target.y + area.y * target.factor,
                    area.width * target.factor, area.height * target.factor};
    }
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    reach(area.x, area.x + area.width, target.width, screenWidth, left, right);
    reach(area.y, area.y + area.height, target.height, screenHeight, top, bottom);
    return Area{target.x + left, target.y + top, right - left, bottom - top};
}

void scaleArea(BITMAP* picture, const Area& area, const ScaleTarget& target) {
    if (filling(target)) {
        fillArea(picture, area, target);
        return;
    }
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
    if (filling(target)) {
        fillAreaReference(picture, area, target);
        return;
    }
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

// Narrows [first, last] of a row to the pixels from the first to the last that differ, and copies
// them into `before`; false where none differ.
static bool copyChangedSpan(const uint32_t* now, uint32_t* before, int& first, int& last) {
    while (first <= last && now[first] == before[first]) ++first;
    if (first > last) return false;
    while (now[last] == before[last]) --last;
    std::memcpy(before + first, now + first, sizeof(uint32_t) * (last - first + 1));
    return true;
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
        int first = 0;
        int last = width - 1;
        if (std::memcmp(now, before, sizeof(uint32_t) * width) == 0 ||
            !copyChangedSpan(now, before, first, last)) {
            open = false;
            continue;
        }
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
            const Area written = scaledArea(band, target);
            shown(written.x, written.y, written.width, written.height);
        }
    }
    return pixels;
}

Area changedPart(BITMAP* picture, BITMAP* kept, const Area& area) {
    int top = -1;
    int bottom = -1;
    int left = area.x + area.width;
    int right = area.x - 1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        const uint32_t* now = pixelRow(picture, y);
        uint32_t* before = pixelRow(kept, y);
        int first = area.x;
        int last = area.x + area.width - 1;
        if (!copyChangedSpan(now, before, first, last)) continue;
        if (top < 0) top = y;
        bottom = y;
        if (first < left) left = first;
        if (last > right) right = last;
    }
    if (top < 0) return Area{area.x, area.y, 0, 0};
    return Area{left, top, right - left + 1, bottom - top + 1};
}

long presentReported(BITMAP* picture, BITMAP* kept, const PictureChanges& changes,
                     const ScaleTarget& target, ShownFn shown) {
    if (changes.whole) return presentChanges(picture, kept, target, shown);
    long pixels = 0;
    for (const Area& reported : changes.areas) {
        const Area area = changedPart(picture, kept, reported);
        if (area.width == 0) continue;
        scaleArea(picture, area, target);
        pixels += long(area.width) * area.height;
        if (shown != nullptr) {
            const Area written = scaledArea(area, target);
            shown(written.x, written.y, written.width, written.height);
        }
    }
    return pixels;
}

}  // namespace vexlorn
