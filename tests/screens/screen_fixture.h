// The real state stack with stand-in pictures: each data-file picture one flat colour of its own.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/globals.h"
#include "frame/state_stack.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {

// Distinct, never magenta, and far enough apart to tell a picture from a blend of two.
inline int objectColour(int object) {
    return makecol(40 + object * 4, 200 - object * 3, (object * 53) % 200 + 20);
}

inline bool isFullPage(int object) {
    return object == ObjAboutPage || object == ObjHallOfFame || object == ObjInstructionsPage ||
           object == ObjOrderPage || object == ObjTitleSplash || object == ObjMenuBackdrop ||
           (object >= ObjLevelBackdrop0 && object < ObjLevelBackdrop0 + 5);
}

// Sizes of the stand-in pictures that are not full pages.
inline constexpr int logoWidth = 120;
inline constexpr int logoHeight = 40;
inline constexpr int optionWidth = 150;
inline constexpr int optionHeight = 60;
inline constexpr int markerSize = 20;

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        savedDataFile_ = dataFile;
        savedFont_ = gameFont;
        savedOn_ = musicOnImage;
        savedOff_ = musicOffImage;
        backBuffer = create_bitmap(screenWidth, screenHeight);
        clear_to_color(backBuffer, sentinel());
        for (int i = 0; i < dataObjectCount; ++i) {
            objects_[i].dat = create_bitmap_ex(32, pictureWidth(i), pictureHeight(i));
            clear_to_color(static_cast<BITMAP*>(objects_[i].dat), objectColour(i));
            objects_[i].type = DAT_BITMAP;
            objects_[i].size = 0;
            objects_[i].prop = nullptr;
        }
        objects_[dataObjectCount] = {nullptr, DAT_END, 0, nullptr};
        dataFile = objects_;
        gameFont = font;
        for (int i = 0; i < menuItemCount; ++i) {
            labels_[i] = makeFlatBitmap(100 + 10 * i, 20, makecol(250, 250, 40 + i));
            menuItems[i].image = labels_[i];
        }
        musicOnImage = makeFlatBitmap(150, 20, makecol(20, 250, 20));
        musicOffImage = makeFlatBitmap(160, 20, makecol(250, 20, 20));
        if (musicMuted) switchMusicOn();
        tickCount = 0;
        lastTickCount = 0;
        lastKey = 0;
    }

    void TearDown() override {
        stateStack.popAll();
        // The menu swaps the music label into its row, so the rows are not ours to free.
        for (int i = 0; i < menuItemCount; ++i) {
            destroy_bitmap(labels_[i]);
            menuItems[i].image = nullptr;
        }
        destroy_bitmap(musicOnImage);
        destroy_bitmap(musicOffImage);
        for (int i = 0; i < dataObjectCount; ++i)
            destroy_bitmap(static_cast<BITMAP*>(objects_[i].dat));
        dataFile = savedDataFile_;
        gameFont = savedFont_;
        musicOnImage = savedOn_;
        musicOffImage = savedOff_;
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
        if (musicMuted) switchMusicOn();
    }

    // A colour no stand-in picture has: it shows where nothing was drawn.
    static int sentinel() { return makecol(1, 2, 3); }

    static int pixel(int x, int y) { return getpixel(backBuffer, x, y); }

    // Runs the top screen for one pass with a key in lastKey, as the frame loop does.
    static void press(int key) {
        lastKey = key;
        stateStack.updateTop();
    }

    static void openMenu() {
        stateStack.push(&introState);
        press(KeyEnter);
        ASSERT_EQ(stateStack.top(), &menuState);
    }

    static bool onStack(const BaseState* state) {
        for (const BaseState* s = stateStack.top(); s != nullptr; s = s->next) {
            if (s == state) return true;
        }
        return false;
    }

private:
    static int pictureWidth(int object) {
        if (isFullPage(object)) return screenWidth;
        if (object == ObjLogo) return logoWidth;
        if (object == ObjOrderVisit || object == ObjOrderBack) return optionWidth;
        return markerSize;
    }
    static int pictureHeight(int object) {
        if (isFullPage(object)) return screenHeight;
        if (object == ObjLogo) return logoHeight;
        if (object == ObjOrderVisit || object == ObjOrderBack) return optionHeight;
        return markerSize;
    }
    static BITMAP* makeFlatBitmap(int w, int h, int colour) {
        BITMAP* label = create_bitmap_ex(32, w, h);
        clear_to_color(label, colour);
        return label;
    }

    DATAFILE objects_[dataObjectCount + 1] = {};
    BITMAP* labels_[menuItemCount] = {};
    DATAFILE* savedDataFile_ = nullptr;
    FONT* savedFont_ = nullptr;
    BITMAP* savedOn_ = nullptr;
    BITMAP* savedOff_ = nullptr;
};

}  // namespace vexlorn
