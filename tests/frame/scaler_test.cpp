// The scaled present against the getpixel/putpixel reference, pixel for pixel, and what it
// reports shown.
#include "frame/scaler.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "frame/globals.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

std::vector<Area> shownAreas;
void recordShown(int x, int y, int width, int height) {
    shownAreas.push_back(Area{x, y, width, height});
}

class ScalerTest : public ::testing::Test {
public:
    void SetUp() override { ensureHeadlessAllegro(); }

    int randomColour() {
        const unsigned bits = random();
        return makecol(bits & 0xff, (bits >> 8) & 0xff, (bits >> 16) & 0xff);
    }
    void paint(BITMAP* bitmap, int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) putpixel(bitmap, x, y, randomColour());
        }
    }
    static int differences(BITMAP* a, BITMAP* b) {
        int count = 0;
        for (int y = 0; y < a->h; ++y) {
            for (int x = 0; x < a->w; ++x) count += getpixel(a, x, y) != getpixel(b, x, y);
        }
        return count;
    }
    static bool inside(const Area& area, int x, int y) {
        return x >= area.x && y >= area.y && x < area.x + area.width && y < area.y + area.height;
    }

    std::mt19937 random{20261208};
};

// Changed-region patterns the play screen, the menu and the pause produce, and the edges.
const std::vector<std::pair<const char*, std::function<void(ScalerTest&, BITMAP*)>>> patterns = {
    {"nothing", [](ScalerTest&, BITMAP*) {}},
    {"corner pixels",
     [](ScalerTest& t, BITMAP* b) {
         putpixel(b, 0, 0, t.randomColour() ^ 1);
         putpixel(b, screenWidth - 1, screenHeight - 1, getpixel(b, 639, 479) ^ 0x10101);
     }},
    {"two wells",
     [](ScalerTest& t, BITMAP* b) {
         t.paint(b, 104, 46, 296, 430);
         t.paint(b, 345, 46, 537, 430);
     }},
    {"scattered pixels",
     [](ScalerTest& t, BITMAP* b) {
         for (int i = 0; i < 300; ++i) {
             const int x = t.random() % screenWidth;
             const int y = t.random() % screenHeight;
             putpixel(b, x, y, getpixel(b, x, y) ^ 0x800000);
         }
     }},
    {"odd-sized band", [](ScalerTest& t, BITMAP* b) { t.paint(b, 3, 470, 10, 480); }},
    {"whole picture", [](ScalerTest& t, BITMAP* b) { t.paint(b, 0, 0, 640, 480); }},
};

// Whole factors, and fill sizes: a laptop, a handheld and barely larger than the picture.
struct Size {
    int factor;
    int width;
    int height;
};
const Size sizes[] = {{1, 0, 0},      {2, 0, 0},      {3, 0, 0},       {4, 0, 0},
                      {1, 1024, 768}, {1, 1066, 800}, {1, 1440, 1080}, {1, 641, 481}};

TEST_F(ScalerTest, ChangesScaledExactlyAsTheReferenceAtEveryFactorAndFill) {
    BITMAP* picture = create_bitmap(screenWidth, screenHeight);
    BITMAP* kept = create_bitmap(screenWidth, screenHeight);
    for (const Size& size : sizes) {
        const int factor = size.factor;
        const int wide = size.width > 0 ? size.width : screenWidth * factor;
        const int high = size.height > 0 ? size.height : screenHeight * factor;
        // An offset and a border, as in full screen: nothing may be written outside the picture.
        const int x = 5;
        const int y = 3;
        BITMAP* fast = create_bitmap(wide + 11, high + 7);
        BITMAP* reference = create_bitmap(fast->w, fast->h);
        clear_to_color(fast, makecol(1, 2, 3));
        clear_to_color(reference, makecol(1, 2, 3));
        const ScaleTarget fastTarget{fast, x, y, factor, size.width, size.height};
        const ScaleTarget referenceTarget{reference, x, y, factor, size.width, size.height};
        paint(picture, 0, 0, screenWidth, screenHeight);
        const Area whole{0, 0, screenWidth, screenHeight};
        scaleArea(picture, whole, fastTarget);
        blit(picture, kept, 0, 0, 0, 0, screenWidth, screenHeight);
        for (const auto& [name, change] : patterns) {
            SCOPED_TRACE(testing::Message() << wide << " x " << high << ", " << name);
            BITMAP* before = create_bitmap(screenWidth, screenHeight);
            blit(picture, before, 0, 0, 0, 0, screenWidth, screenHeight);
            change(*this, picture);
            shownAreas.clear();
            presentChanges(picture, kept, fastTarget, recordShown);
            scaleAreaReference(picture, whole, referenceTarget);
            EXPECT_EQ(differences(fast, reference), 0);
            EXPECT_EQ(differences(kept, picture), 0);
            // Every changed pixel's block lies in an area reported as shown.
            int unreported = 0;
            for (int py = 0; py < screenHeight; ++py) {
                for (int px = 0; px < screenWidth; ++px) {
                    if (getpixel(before, px, py) == getpixel(picture, px, py)) continue;
                    const Area block = scaledArea(Area{px, py, 1, 1}, fastTarget);
                    bool reported = false;
                    for (const Area& area : shownAreas) {
                        reported = reported || (inside(area, block.x, block.y) &&
                                                inside(area, block.x + block.width - 1,
                                                       block.y + block.height - 1));
                    }
                    unreported += !reported;
                }
            }
            EXPECT_EQ(unreported, 0);
            if (std::string(name) == "nothing") {
                EXPECT_TRUE(shownAreas.empty());
            }
            destroy_bitmap(before);
        }
        destroy_bitmap(fast);
        destroy_bitmap(reference);
    }
    destroy_bitmap(picture);
    destroy_bitmap(kept);
}

}  // namespace
}  // namespace vexlorn
