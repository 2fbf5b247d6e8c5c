// The attract loop's timeline at its bounds, its logo pulse and the keys that open the menu.
#include "screens/intro_state.h"

#include <gtest/gtest.h>

#include "screens/fade.h"
#include "screens/hiscore_state.h"
#include "screens/menu_state.h"
#include "screens/screen_fixture.h"
#include "test_support/loop_present.h"

namespace vexlorn {
namespace {

class IntroTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        stateStack.push(&introState);
    }

    // One pass of the intro at tick t, over a back buffer that shows where nothing was drawn.
    // A screen over it comes and goes first, as for any picture it did not draw itself.
    static void runAt(int t) {
        otherScreenCameAndWent();
        clear_to_color(backBuffer, sentinel());
        tickCount = t;
        stateStack.updateTop();
    }

    static void otherScreenCameAndWent() {
        static struct : BaseState {
            bool update() override { return true; }
        } other;
        stateStack.push(&other);
        stateStack.pop();
    }

    // A point inside the logo, clear of everything else drawn around it.
    static int logoPixel() { return pixel(320, 200); }
};

TEST_F(IntroTest, BoundsDrawNothingAndTheTitleHoldIsLeaptOver) {
    runAt(30);
    EXPECT_EQ(pixel(100, 100), makecol(0, 0, 0));
    for (int bound : {60, 120, 240, 300, 360, 960, 1020, 1320, 1380, 3000, 3060}) {
        runAt(bound);
        EXPECT_EQ(pixel(10, 10), sentinel()) << "drawn at tick " << bound;
        EXPECT_EQ(tickCount, bound);
    }
    runAt(121);
    EXPECT_EQ(tickCount, 241);
    EXPECT_EQ(pixel(10, 10), objectColour(ObjTitleSplash));
    runAt(239);
    EXPECT_EQ(tickCount, 359);
}

TEST_F(IntroTest, TitleFadesInFromBlack) {
    runAt(61);
    int early = getg32(pixel(10, 10));
    runAt(90);
    int half = getg32(pixel(10, 10));
    runAt(119);
    int late = getg32(pixel(10, 10));
    int full = getg32(objectColour(ObjTitleSplash));
    EXPECT_LT(early, full / 10);
    EXPECT_NEAR(half, full / 2, 3);
    EXPECT_GT(late, full * 9 / 10);
}

TEST_F(IntroTest, PicturesFollowEachOtherThroughTheLoop) {
    const struct {
        int tick;
        int object;
    } shown[] = {{250, ObjTitleSplash},
                 {500, ObjMenuBackdrop},
                 {1100, ObjAboutPage},
                 {1500, ObjMenuBackdrop},
                 {2500, ObjMenuBackdrop}};
    for (const auto& step : shown) {
        runAt(step.tick);
        EXPECT_EQ(pixel(10, 10), objectColour(step.object)) << "at tick " << step.tick;
    }
    runAt(3059);
    EXPECT_LT(getg32(pixel(10, 10)), 10) << "the last fade does not end in black";
}

TEST_F(IntroTest, HallOfFameStepsShowTheTable) {
    clear_to_color(backBuffer, sentinel());
    HiscoreState::drawTable();
    BITMAP* table = create_bitmap(screenWidth, screenHeight);
    blit(backBuffer, table, 0, 0, 0, 0, screenWidth, screenHeight);
    // At a multiple of the pulse period the logo is fully transparent, so only the table shows.
    runAt(2160);
    int differing = 0;
    for (int y = 0; y < screenHeight; y += 3) {
        for (int x = 0; x < screenWidth; x += 3) {
            if (getpixel(table, x, y) != pixel(x, y)) ++differing;
        }
    }
    destroy_bitmap(table);
    EXPECT_EQ(differing, 0);
}

TEST_F(IntroTest, LogoPulsesOverTheMiddleOfTheLoopOnly) {
    runAt(390);  // r = 30: fading in
    EXPECT_NE(logoPixel(), objectColour(ObjMenuBackdrop));
    EXPECT_NE(logoPixel(), objectColour(ObjLogo));
    runAt(450);  // r = 90: held
    EXPECT_EQ(logoPixel(), objectColour(ObjLogo));
    EXPECT_EQ(pixel(320 - logoWidth / 2, 200 - logoHeight / 2), objectColour(ObjLogo));
    EXPECT_EQ(pixel(320 - logoWidth / 2 - 1, 200), objectColour(ObjMenuBackdrop));
    runAt(540);  // r = 0: invisible
    EXPECT_EQ(logoPixel(), objectColour(ObjMenuBackdrop));
    runAt(2400 + 30 + 180 * 3);  // r = 90 again, near the end of the loop
    EXPECT_EQ(logoPixel(), objectColour(ObjLogo));
    // The pass that wraps the loop draws nothing at all, logo included.
    runAt(3061);
    EXPECT_EQ(tickCount, 0);
    EXPECT_EQ(logoPixel(), sentinel());
    EXPECT_EQ(pixel(10, 10), sentinel());
}

// Most of the logo's canvas is mask colour: only its drawn part is blended, to its last pixel.
TEST_F(IntroTest, LogoDrawsEveryPixelOfItsCanvasThatIsNotMaskColour) {
    BITMAP* logo = dataBitmap(ObjLogo);
    clear_to_color(logo, bitmap_mask_color(logo));
    const int colour = objectColour(ObjLogo);
    putpixel(logo, 3, 5, colour);
    putpixel(logo, logo->w - 4, 9, colour);
    otherScreenCameAndWent();  // the intro looks at its logo again when it comes back on top
    runAt(450);                // held opaque
    const int left = 320 - logo->w / 2;
    const int top = 200 - logo->h / 2;
    EXPECT_EQ(pixel(left + 3, top + 5), colour);
    EXPECT_EQ(pixel(left + logo->w - 4, top + 9), colour);
    EXPECT_EQ(pixel(left + 4, top + 6), objectColour(ObjMenuBackdrop));
}

// The whole loop and into the next, pass by pass. Where a pass could draw only what changed, its
// frame must equal the same pass drawn whole (after a screen came and went), and presenting only
// what it reported must leave the shown picture equal to the back buffer.
TEST_F(IntroTest, PassesThatDrawOnlyTheLogoGiveTheFramesOfFullOnes) {
    // No two neighbouring pixels alike: a piece put back in the wrong place would show.
    for (int object : {ObjTitleSplash, ObjMenuBackdrop, ObjAboutPage, ObjHallOfFame, ObjLogo}) {
        BITMAP* picture = dataBitmap(object);
        for (int y = 0; y < picture->h; ++y)
            for (int x = 0; x < picture->w; ++x)
                putpixel(picture, x, y, makecol(x * 7 % 256, (y * 13 + object) % 256, x ^ y));
    }
    LoopPresent loop;
    BITMAP* previous = create_bitmap(screenWidth, screenHeight);
    int compared = 0;
    for (int i = 0; i < 600; ++i) {
        const int ticks = i % 5 == 2 ? 0 : 7;
        const int tick = tickCount + ticks;
        blit(backBuffer, previous, 0, 0, 0, 0, screenWidth, screenHeight);
        const bool continued = loop.pass(ticks, i);
        EXPECT_TRUE(loop.presented()) << "pass " << i << " at tick " << tick;
        if (!continued) continue;
        EXPECT_TRUE(loop.equalsFullRedraw([previous, tick] {
            blit(previous, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
            otherScreenCameAndWent();
            tickCount = tick;
            stateStack.updateTop();
        })) << "pass "
            << i << " at tick " << tick;
        ++compared;
    }
    EXPECT_GT(compared, 550);
    EXPECT_GT(loop.quietPasses(), 400);
    destroy_bitmap(previous);
}

TEST(PulseOpacity, RisesHoldsAndFallsOverEachPeriod) {
    EXPECT_EQ(pulseOpacity(0), 0);
    EXPECT_EQ(pulseOpacity(30), 127);
    EXPECT_EQ(pulseOpacity(60), 255);
    EXPECT_EQ(pulseOpacity(90), 255);
    EXPECT_EQ(pulseOpacity(120), 255);
    EXPECT_EQ(pulseOpacity(150), 128);
    EXPECT_EQ(pulseOpacity(179), 5);
    EXPECT_EQ(pulseOpacity(180), 0);
    EXPECT_EQ(pulseOpacity(180 * 7 + 179), 5);
}

TEST_F(IntroTest, EnterOrSpaceOpenTheMenuFromAnyStep) {
    for (int key : {KeyEnter, KeySpace}) {
        for (int t : {10, 121, 500, 2100, 3030}) {
            tickCount = t;
            press(key);
            EXPECT_EQ(stateStack.top(), &menuState) << "key " << key << " at tick " << t;
            EXPECT_EQ(lastKey, 0);
            stateStack.pop();
        }
    }
}

TEST_F(IntroTest, OtherKeysStayInLastKey) {
    for (int key : {KeyEsc, KeyUp, KeyDown, KeyP, KeyBackspace}) {
        press(key);
        EXPECT_EQ(stateStack.top(), &introState);
        EXPECT_EQ(lastKey, key);
        stateStack.updateTop();
        EXPECT_EQ(lastKey, key);
    }
}

}  // namespace
}  // namespace vexlorn
