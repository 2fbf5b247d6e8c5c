// The fast grey filter against the getpixel/putpixel reference, pixel for pixel.
#include <allegro.h>
#include <gtest/gtest.h>

#include <random>

#include "assets/data_layout.h"
#include "board/board_draw.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

class GreyTest : public ::testing::Test {
protected:
    void SetUp() override { ensureHeadlessAllegro(); }

    static BITMAP* copyOf(BITMAP* source) {
        BITMAP* copy = create_bitmap(source->w, source->h);
        blit(source, copy, 0, 0, 0, 0, source->w, source->h);
        return copy;
    }

    static int countDifferences(BITMAP* a, BITMAP* b) {
        int differences = 0;
        for (int y = 0; y < a->h; ++y) {
            for (int x = 0; x < a->w; ++x) differences += getpixel(a, x, y) != getpixel(b, x, y);
        }
        return differences;
    }
};

TEST_F(GreyTest, FastEqualsReferenceOnRandomScreens) {
    std::mt19937 random(20261207);
    BITMAP* fast = create_bitmap(screenWidth, screenHeight);
    for (int picture = 0; picture < 3; ++picture) {
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                unsigned bits = random();
                putpixel(fast, x, y, makecol(bits & 0xff, (bits >> 8) & 0xff, (bits >> 16) & 0xff));
            }
        }
        BITMAP* reference = copyOf(fast);
        greyScreenReference(reference);
        greyBitmap(fast);
        EXPECT_EQ(countDifferences(fast, reference), 0) << picture;
        destroy_bitmap(reference);
    }
    destroy_bitmap(fast);
}

// Every one of the 2^24 colours, a 1024 x 1024 slab at a time.
TEST_F(GreyTest, FastEqualsReferenceForEveryColour) {
    BITMAP* fast = create_bitmap(1024, 1024);
    BITMAP* reference = create_bitmap(1024, 1024);
    int differences = 0;
    for (int slab = 0; slab < 16; ++slab) {
        for (int y = 0; y < 1024; ++y) {
            for (int x = 0; x < 1024; ++x) {
                int colour = (slab << 20) | (y << 10) | x;
                putpixel(fast, x, y, makecol(colour >> 16, (colour >> 8) & 0xff, colour & 0xff));
            }
        }
        blit(fast, reference, 0, 0, 0, 0, 1024, 1024);
        greyScreenReference(reference);
        greyBitmap(fast);
        differences += countDifferences(fast, reference);
    }
    EXPECT_EQ(differences, 0);
    destroy_bitmap(fast);
    destroy_bitmap(reference);
}

TEST_F(GreyTest, GreyKeepsTheTruncatedLuminance) {
    BITMAP* bitmap = create_bitmap(4, 1);
    putpixel(bitmap, 0, 0, makecol(255, 255, 255));
    putpixel(bitmap, 1, 0, makecol(255, 0, 0));  // 76.245
    putpixel(bitmap, 2, 0, makecol(0, 255, 0));  // 149.685
    putpixel(bitmap, 3, 0, makecol(0, 0, 255));  // 29.07
    greyBitmap(bitmap);
    EXPECT_EQ(getpixel(bitmap, 0, 0), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(bitmap, 1, 0), makecol(76, 76, 76));
    EXPECT_EQ(getpixel(bitmap, 2, 0), makecol(149, 149, 149));
    EXPECT_EQ(getpixel(bitmap, 3, 0), makecol(29, 29, 29));
    destroy_bitmap(bitmap);
}

// putpixel honours the clip rectangle, so the fast version must too; the odd width also
// leaves pixels over at the end of each row.
TEST_F(GreyTest, FastHonoursTheClipRectangleLikeTheReference) {
    std::mt19937 random(7);
    BITMAP* fast = create_bitmap(64, 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) putpixel(fast, x, y, random() & 0xffffff);
    }
    putpixel(fast, 9, 5, makecol(200, 40, 10));
    putpixel(fast, 10, 5, makecol(200, 40, 10));
    set_clip_rect(fast, 10, 5, 40, 30);
    BITMAP* reference = copyOf(fast);
    set_clip_rect(reference, 10, 5, 40, 30);
    greyScreenReference(reference);
    greyBitmap(fast);
    EXPECT_EQ(countDifferences(fast, reference), 0);
    EXPECT_EQ(getpixel(fast, 9, 5), makecol(200, 40, 10));
    EXPECT_NE(getpixel(fast, 10, 5), makecol(200, 40, 10));
    destroy_bitmap(fast);
    destroy_bitmap(reference);
}

TEST_F(GreyTest, GreyBitmapTurnsAWholeScreenGrey) {
    BITMAP* screenPicture = create_bitmap(screenWidth, screenHeight);
    clear_to_color(screenPicture, makecol(10, 200, 30));
    greyBitmap(screenPicture);
    int v = static_cast<int>(0.299 * 10 + 0.587 * 200 + 0.114 * 30);
    EXPECT_EQ(getpixel(screenPicture, 0, 0), makecol(v, v, v));
    EXPECT_EQ(getpixel(screenPicture, 639, 479), makecol(v, v, v));
    destroy_bitmap(screenPicture);
}

}  // namespace
}  // namespace vexlorn
