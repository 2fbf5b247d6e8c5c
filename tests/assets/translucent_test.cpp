// translucentDraw: the opaque and invisible ends, the halfway and fraction mixes, the mask
// colour and clipping.
#include "assets/translucent.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

class TranslucentDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        magenta = makecol(255, 0, 255);
    }
    void TearDown() override {
        for (BITMAP* bitmap : bitmaps) destroy_bitmap(bitmap);
    }

    BITMAP* make(int w, int h) {
        BITMAP* bitmap = create_bitmap(w, h);
        bitmaps.push_back(bitmap);
        return bitmap;
    }

    // Every pixel a different colour, one in five the mask colour.
    BITMAP* patterned(int w, int h, unsigned seed, bool withMask) {
        BITMAP* bitmap = make(w, h);
        std::srand(seed);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int colour = makecol(std::rand() & 255, std::rand() & 255, std::rand() & 255);
                putpixel(bitmap, x, y, withMask && std::rand() % 5 == 0 ? magenta : colour);
            }
        }
        return bitmap;
    }

    BITMAP* copyOf(BITMAP* source) {
        BITMAP* copy = make(source->w, source->h);
        blit(source, copy, 0, 0, 0, 0, source->w, source->h);
        return copy;
    }

    static bool same(BITMAP* a, BITMAP* b) {
        for (int y = 0; y < a->h; ++y) {
            for (int x = 0; x < a->w; ++x) {
                if (getpixel(a, x, y) != getpixel(b, x, y)) return false;
            }
        }
        return true;
    }

    int magenta = 0;
    std::vector<BITMAP*> bitmaps;
};

// Each channel moves from d towards s by f/256 of the distance, rounded down.
int expectedChannel(int s, int d, int f) {
    int moved = (s - d) * f;
    int step = moved >= 0 ? moved / 256 : -((-moved + 255) / 256);
    return d + step;
}

TEST_F(TranslucentDrawTest, OpaqueEqualsAMaskedDraw) {
    BITMAP* sprite = patterned(20, 12, 1, true);
    BITMAP* drawn = patterned(64, 48, 2, false);
    BITMAP* masked = copyOf(drawn);
    translucentDraw(sprite, drawn, 30, 20, 255);
    draw_sprite(masked, sprite, 30, 20);
    EXPECT_TRUE(same(drawn, masked));
}

TEST_F(TranslucentDrawTest, ZeroOrLessDrawsNothing) {
    BITMAP* sprite = patterned(20, 12, 3, true);
    BITMAP* destination = patterned(64, 48, 4, false);
    BITMAP* before = copyOf(destination);
    translucentDraw(sprite, destination, 5, 5, 0);
    translucentDraw(sprite, destination, 5, 5, -40);
    EXPECT_TRUE(same(destination, before));
}

TEST_F(TranslucentDrawTest, HalfOfWhiteOverBlackIs7F) {
    BITMAP* sprite = make(4, 4);
    clear_to_color(sprite, makecol(255, 255, 255));
    for (int opacity : {127, 128}) {
        BITMAP* destination = make(8, 8);
        clear_to_color(destination, makecol(0, 0, 0));
        translucentDraw(sprite, destination, 2, 2, opacity);
        int pixel = getpixel(destination, 3, 3);
        EXPECT_EQ(getr32(pixel), 0x7F) << opacity;
        EXPECT_EQ(getg32(pixel), 0x7F) << opacity;
        EXPECT_EQ(getb32(pixel), 0x7F) << opacity;
        EXPECT_EQ(static_cast<uint32_t>(pixel) >> 24, 0u);
        EXPECT_EQ(getpixel(destination, 1, 1), makecol(0, 0, 0));
    }
}

TEST_F(TranslucentDrawTest, HalfwayRoundsEachChannelDown) {
    BITMAP* sprite = patterned(16, 16, 5, false);
    BITMAP* destination = patterned(16, 16, 6, false);
    BITMAP* before = copyOf(destination);
    translucentDraw(sprite, destination, 0, 0, 128);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int s = getpixel(sprite, x, y);
            int d = getpixel(before, x, y);
            int mixed = getpixel(destination, x, y);
            ASSERT_EQ(getr32(mixed), (getr32(s) + getr32(d)) / 2);
            ASSERT_EQ(getg32(mixed), (getg32(s) + getg32(d)) / 2);
            ASSERT_EQ(getb32(mixed), (getb32(s) + getb32(d)) / 2);
        }
    }
}

TEST_F(TranslucentDrawTest, OtherOpacitiesMoveEachChannelByTheFraction) {
    BITMAP* sprite = patterned(32, 32, 7, false);
    for (int opacity : {1, 2, 31, 64, 100, 126, 129, 200, 254}) {
        BITMAP* destination = patterned(32, 32, 8 + opacity, false);
        BITMAP* before = copyOf(destination);
        translucentDraw(sprite, destination, 0, 0, opacity);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                int s = getpixel(sprite, x, y);
                int d = getpixel(before, x, y);
                int mixed = getpixel(destination, x, y);
                ASSERT_EQ(getr32(mixed), expectedChannel(getr32(s), getr32(d), opacity)) << opacity;
                ASSERT_EQ(getg32(mixed), expectedChannel(getg32(s), getg32(d), opacity)) << opacity;
                ASSERT_EQ(getb32(mixed), expectedChannel(getb32(s), getb32(d), opacity)) << opacity;
                ASSERT_EQ(static_cast<uint32_t>(mixed) >> 24, 0u);
            }
        }
    }
}

// The drawing mixes four pixels at a time; its results must be those of the two formulas
// applied one pixel at a time. Channel values at and around every edge of the arithmetic,
// every pairing of them in the sprite, the mask colour among them, at every opacity, over an
// odd width so that the last pixels of each row take the one-at-a-time path.
TEST_F(TranslucentDrawTest, EveryOpacityGivesTheFormulasResultsBitForBit) {
    const int edges[] = {0, 1, 2, 63, 64, 126, 127, 128, 129, 191, 253, 254, 255};
    std::vector<int> colours;
    for (int r : edges)
        for (int g : edges)
            for (int b : edges) colours.push_back(makecol(r, g, b));
    const int width = static_cast<int>(colours.size());  // 2197, odd
    const int height = 12;
    BITMAP* sprite = make(width, height);
    BITMAP* under = make(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            putpixel(sprite, x, y, colours[x]);
            putpixel(under, x, y, colours[(x * 37 + y * 101) % width]);
        }
    }
    BITMAP* mixed = make(width, height);
    const uint32_t mask = static_cast<uint32_t>(magenta);
    for (uint32_t f = 1; f < 255; ++f) {
        blit(under, mixed, 0, 0, 0, 0, width, height);
        translucentDraw(sprite, mixed, 0, 0, static_cast<int>(f));
        for (int y = 0; y < height; ++y) {
            const uint32_t* sRow = reinterpret_cast<const uint32_t*>(sprite->line[y]);
            const uint32_t* dRow = reinterpret_cast<const uint32_t*>(under->line[y]);
            const uint32_t* row = reinterpret_cast<const uint32_t*>(mixed->line[y]);
            for (int x = 0; x < width; ++x) {
                uint32_t s = sRow[x];
                uint32_t d = dRow[x];
                uint32_t want = d;
                if (s != mask && (f == 127 || f == 128)) {
                    want = (s & d & 0x010101u) + ((d >> 1) & 0x7F7F7Fu) + ((s >> 1) & 0x7F7F7Fu);
                } else if (s != mask) {
                    uint32_t rb =
                        ((d & 0xFF00FFu) + ((((s & 0xFF00FFu) - (d & 0xFF00FFu)) * f) >> 8)) &
                        0xFF00FFu;
                    uint32_t g =
                        ((d & 0xFF00u) + ((((s & 0xFF00u) - (d & 0xFF00u)) * f) >> 8)) & 0xFF00u;
                    want = rb | g;
                }
                ASSERT_EQ(row[x], want) << "opacity " << f << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(TranslucentDrawTest, MagentaNeverChangesTheDestination) {
    BITMAP* sprite = make(10, 10);
    clear_to_color(sprite, magenta);
    for (int opacity : {1, 64, 127, 128, 200, 254, 255}) {
        BITMAP* destination = patterned(10, 10, 20 + opacity, false);
        BITMAP* before = copyOf(destination);
        translucentDraw(sprite, destination, 0, 0, opacity);
        EXPECT_TRUE(same(destination, before)) << opacity;
    }
}

TEST_F(TranslucentDrawTest, OffTheLeftAndTopEdgeDrawsTheVisiblePart) {
    BITMAP* sprite = patterned(10, 8, 30, false);
    for (int opacity : {255, 128, 200}) {
        BITMAP* destination = make(20, 20);
        clear_to_color(destination, makecol(0, 0, 0));
        translucentDraw(sprite, destination, -3, -2, opacity);
        int s = getpixel(sprite, 3, 2);
        int d = getpixel(destination, 0, 0);
        int expectedRed = opacity == 255   ? getr32(s)
                          : opacity == 128 ? getr32(s) / 2
                                           : expectedChannel(getr32(s), 0, opacity);
        EXPECT_EQ(getr32(d), expectedRed) << opacity;
        // The sprite's last column lands at x 6, its last row at y 5; nothing beyond.
        EXPECT_NE(getpixel(destination, 6, 5), makecol(0, 0, 0)) << opacity;
        EXPECT_EQ(getpixel(destination, 7, 5), makecol(0, 0, 0)) << opacity;
        EXPECT_EQ(getpixel(destination, 6, 6), makecol(0, 0, 0)) << opacity;
    }
}

TEST_F(TranslucentDrawTest, StopsAtTheRightAndBottomEdgesOfASubBitmap) {
    BITMAP* parent = make(40, 40);
    clear_to_color(parent, makecol(0, 0, 0));
    BITMAP* window = create_sub_bitmap(parent, 10, 10, 10, 10);
    BITMAP* sprite = make(8, 8);
    clear_to_color(sprite, makecol(255, 255, 255));
    translucentDraw(sprite, window, 6, 6, 100);
    EXPECT_NE(getpixel(parent, 19, 19), makecol(0, 0, 0));
    EXPECT_EQ(getpixel(parent, 20, 19), makecol(0, 0, 0));
    EXPECT_EQ(getpixel(parent, 19, 20), makecol(0, 0, 0));
    translucentDraw(sprite, window, 10, 0, 100);  // wholly outside: nothing
    translucentDraw(sprite, window, -8, 0, 100);
    EXPECT_EQ(getpixel(parent, 9, 10), makecol(0, 0, 0));
    EXPECT_EQ(getpixel(parent, 20, 10), makecol(0, 0, 0));
    destroy_bitmap(window);
}

TEST_F(TranslucentDrawTest, MixesIgnoreTheClippingRectangleButOpaqueHonoursIt) {
    BITMAP* sprite = make(4, 4);
    clear_to_color(sprite, makecol(255, 255, 255));
    BITMAP* destination = make(10, 10);
    clear_to_color(destination, makecol(0, 0, 0));
    set_clip_rect(destination, 5, 5, 9, 9);
    translucentDraw(sprite, destination, 0, 0, 128);
    EXPECT_EQ(getr32(getpixel(destination, 0, 0)), 0x7F);
    translucentDraw(sprite, destination, 0, 6, 255);
    EXPECT_EQ(getpixel(destination, 0, 6), makecol(0, 0, 0));
}

TEST_F(TranslucentDrawTest, DifferentDepthsDrawNothing) {
    BITMAP* sprite = create_bitmap_ex(16, 4, 4);
    clear_to_color(sprite, makecol_depth(16, 255, 255, 255));
    BITMAP* destination = make(4, 4);
    clear_to_color(destination, makecol(0, 0, 0));
    translucentDraw(sprite, destination, 0, 0, 255);
    translucentDraw(sprite, destination, 0, 0, 100);
    EXPECT_EQ(getpixel(destination, 1, 1), makecol(0, 0, 0));
    destroy_bitmap(sprite);
}

}  // namespace
}  // namespace vexlorn
