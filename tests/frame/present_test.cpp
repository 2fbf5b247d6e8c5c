// The present step after switches between window, full screen and fill, through a memory bitmap
// standing in for the screen: each time the whole picture at its new place and size, black
// around it, and later reported changes landing there too.
#include "frame/present.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <random>

#include "frame/display.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/scaler.h"
#include "frame/state_stack.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

DisplayMode modeOf(bool windowed, int factor, const Area& picture, bool fill = false) {
    DisplayMode mode;
    mode.windowed = windowed;
    mode.factor = factor;
    mode.fill = fill;
    mode.picture = picture;
    mode.window = windowed ? picture : Area{0, 0, 1920, 1080};
    return mode;
}

class PresentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        realScreen_ = screen;
        screen = create_bitmap(1920, 1080);
        expected_ = create_bitmap(1920, 1080);
        picture_ = create_bitmap(screenWidth, screenHeight);
        paint(Area{0, 0, screenWidth, screenHeight});
        stateStack.push(&still_);
    }
    void TearDown() override {
        stateStack.pop();
        releasePresent();
        destroy_bitmap(screen);
        screen = realScreen_;
        destroy_bitmap(expected_);
        destroy_bitmap(picture_);
    }

    void paint(const Area& area) {
        for (int y = area.y; y < area.y + area.height; ++y) {
            for (int x = area.x; x < area.x + area.width; ++x) {
                const unsigned bits = random_();
                putpixel(picture_, x, y, makecol(bits & 0xff, bits >> 8 & 0xff, bits >> 16 & 0xff));
            }
        }
    }
    // One pass of a screen that keeps track and drew only `area`, then the present. The pass's
    // update is the stack's only change, as in the frame loop: the present may then show only
    // what the pass reported.
    void passDrawing(const Area& area) {
        beginPassChanges();
        stateStack.updateTop();
        trackChanges();
        paint(area);
        markChanged(area);
        endPassChanges();
        presentPicture(picture_);
    }
    // The same for a pass that reports `area` but sets only `changed` in it (or nothing).
    void passReporting(const Area& area, const Area* changed) {
        beginPassChanges();
        stateStack.updateTop();
        trackChanges();
        if (changed != nullptr) paint(*changed);
        markChanged(area);
        endPassChanges();
        presentPicture(picture_);
    }
    // Pixels of the stand-in screen of the given colour.
    int pixelsOf(int colour) {
        int count = 0;
        for (int y = 0; y < screen->h; ++y) {
            for (int x = 0; x < screen->w; ++x) count += getpixel(screen, x, y) == colour;
        }
        return count;
    }
    // Pixels of the stand-in screen unlike the picture scaled by the reference, black around.
    int wrongPixels(const DisplayMode& mode) {
        clear_to_color(expected_, makecol(0, 0, 0));
        ScaleTarget target{expected_, mode.picture.x, mode.picture.y, mode.factor, 0, 0};
        if (mode.fill) {
            target.width = mode.picture.width;
            target.height = mode.picture.height;
        }
        scaleAreaReference(picture_, Area{0, 0, screenWidth, screenHeight}, target);
        int wrong = 0;
        for (int y = 0; y < screen->h; ++y) {
            for (int x = 0; x < screen->w; ++x)
                wrong += getpixel(screen, x, y) != getpixel(expected_, x, y);
        }
        return wrong;
    }

    struct : BaseState {
        bool update() override { return true; }
    } still_;
    BITMAP* realScreen_ = nullptr;
    BITMAP* expected_ = nullptr;
    BITMAP* picture_ = nullptr;
    std::mt19937 random_{26};
};

TEST_F(PresentTest, AfterEverySwitchTheWholePictureStandsAtItsNewPlaceAndSize) {
    // Each scaled size larger than the one before it, then smaller, then unscaled.
    const DisplayMode modes[] = {
        modeOf(true, 1, Area{0, 0, 640, 480}),
        modeOf(false, 1, Area{171, 0, 1024, 768}, true),  // a 1366 x 768 laptop
        modeOf(true, 1, Area{0, 0, 1066, 800}, true),
        modeOf(false, 2, Area{320, 60, 1280, 960}),
        modeOf(true, 2, Area{0, 0, 1280, 960}),
        modeOf(false, 1, Area{640, 300, 640, 480}),
        modeOf(true, 1, Area{0, 0, 1066, 800}, true),
        modeOf(true, 1, Area{0, 0, 640, 480}),
    };
    for (const DisplayMode& mode : modes) {
        SCOPED_TRACE(testing::Message() << "picture at " << mode.picture.x << "," << mode.picture.y
                                        << ", " << mode.picture.width << " wide");
        changeDisplayMode(mode);
        // The pass before the first present after the switch drew only a little.
        passDrawing(Area{200, 100, 10, 10});
        EXPECT_EQ(wrongPixels(mode), 0);
        passDrawing(Area{600, 470, 40, 10});
        EXPECT_EQ(wrongPixels(mode), 0);
    }
}

// Copies to the screen cost far more on some systems than a look at the kept picture: an area a
// screen redraws just as it was is not copied again, and a changed pixel in a large reported
// area costs its own rectangle only. The screen is marked between presents to see what lands.
TEST_F(PresentTest, OnlyWhatDiffersFromTheShownPictureReachesTheScreen) {
    const int mark = makecol(1, 2, 3);
    const DisplayMode modes[] = {modeOf(true, 1, Area{0, 0, 640, 480}),
                                 modeOf(false, 2, Area{320, 60, 1280, 960})};
    for (const DisplayMode& mode : modes) {
        SCOPED_TRACE(testing::Message() << "factor " << mode.factor);
        changeDisplayMode(mode);
        passDrawing(Area{0, 0, 1, 1});  // the whole picture, after the switch
        clear_to_color(screen, mark);
        passReporting(Area{100, 100, 200, 150}, nullptr);
        EXPECT_EQ(pixelsOf(mark), screen->w * screen->h);
        const Area pixel{150, 120, 1, 1};
        passReporting(Area{100, 100, 200, 150}, &pixel);
        EXPECT_EQ(pixelsOf(mark), screen->w * screen->h - mode.factor * mode.factor);
    }
}

}  // namespace
}  // namespace vexlorn
