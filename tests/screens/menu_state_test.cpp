// The main menu driven through the real state stack: cursor, sizes, items, music and idle return.
#include "screens/menu_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "play/game1_state.h"
#include "screens/about_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/order_state.h"
#include "screens/screen_fixture.h"

namespace vexlorn {
namespace {

constexpr int exitItem = 6;

class MenuTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        openMenu();
    }

    static void moveTo(int item) {
        while (menuState.selected != item) press(KeyDown);
    }

    static int colourOf(int item) { return getpixel(menuItems[item].image, 0, 0); }
};

TEST_F(MenuTest, CursorWrapsBothWays) {
    EXPECT_EQ(menuState.selected, 0);
    press(KeyUp);
    EXPECT_EQ(menuState.selected, exitItem);
    EXPECT_EQ(lastKey, 0);
    press(KeyDown);
    EXPECT_EQ(menuState.selected, 0);
    press(KeyDown);
    EXPECT_EQ(menuState.selected, 1);
}

TEST_F(MenuTest, SelectedItemJumpsToOneAndAHalfAndTheReleasedOneShrinksBack) {
    stateStack.updateTop();
    MenuItem& first = menuItems[0];
    EXPECT_EQ(first.growW, first.image->w / 2);
    EXPECT_EQ(first.growH, first.image->h / 2);
    // 100 x 20 drawn at 150 x 30 around (400, 140).
    EXPECT_EQ(pixel(400 - 75, 140 - 15), colourOf(0));
    EXPECT_EQ(pixel(400 + 74, 140 + 14), colourOf(0));
    EXPECT_EQ(pixel(400 - 76, 140), objectColour(ObjMenuBackdrop));
    EXPECT_EQ(pixel(400, 140 - 16), objectColour(ObjMenuBackdrop));

    press(KeyDown);  // the new selection takes effect at the end of this pass
    int grown = first.growW;
    stateStack.updateTop();
    MenuItem& second = menuItems[1];
    EXPECT_EQ(second.growW, second.image->w / 2);
    EXPECT_LT(first.growW, grown);
    EXPECT_GT(first.growW, grown / 2);
    int passes = 1;
    while (first.growW > 0 || first.growH > 0) {
        stateStack.updateTop();
        ++passes;
    }
    EXPECT_GT(passes, 10);
    EXPECT_LT(passes, 60);
    EXPECT_EQ(pixel(400 - 51, 140), objectColour(ObjMenuBackdrop));
    EXPECT_EQ(pixel(400 - 50, 140), colourOf(0));
}

TEST_F(MenuTest, VersionTextIsWhiteInTheBottomLeftCorner) {
    stateStack.updateTop();
    int white = 0;
    for (int y = 470; y < 478; ++y) {
        for (int x = 5; x < 5 + 8 * 13; ++x) {
            if (pixel(x, y) == makecol(255, 255, 255)) ++white;
        }
    }
    EXPECT_GT(white, 40);
    EXPECT_EQ(pixel(4, 474), objectColour(ObjMenuBackdrop));
}

TEST_F(MenuTest, IdleForMoreThan3600TicksReturnsToTheIntroEvenWithCursorMoves) {
    tickCount = 2000;
    press(KeyDown);
    EXPECT_EQ(tickCount, 2000) << "moving the cursor reset the idle clock";
    tickCount = 3600;
    stateStack.updateTop();
    EXPECT_EQ(stateStack.top(), &menuState);
    tickCount = 3601;
    press(KeyUp);
    EXPECT_EQ(stateStack.top(), &introState);
    EXPECT_EQ(tickCount, 0) << "the intro did not restart";
}

TEST_F(MenuTest, EachItemOpensItsScreenAndResetsTheClock) {
    const struct {
        int item;
        BaseState* screen;
    } items[] = {{1, &instructionsState}, {2, &orderState}, {3, &hiscoreState}, {4, &aboutState}};
    for (const auto& entry : items) {
        moveTo(entry.item);
        tickCount = 3000;
        press(KeyEnter);
        EXPECT_EQ(stateStack.top(), entry.screen) << "item " << entry.item;
        EXPECT_EQ(tickCount, 0);
        EXPECT_EQ(lastKey, 0);
        stateStack.pop();
        ASSERT_EQ(stateStack.top(), &menuState);
    }
}

TEST_F(MenuTest, OnePlayerStartsANewGameOnFreshBoards) {
    newGameFlag = 0;
    press(KeySpace);
    EXPECT_TRUE(onStack(&game1State));
    EXPECT_EQ(newGameFlag, 1);
    EXPECT_NE(leftBoard, nullptr);
    EXPECT_NE(rightBoard, nullptr);
    EXPECT_NE(leftBoard, rightBoard);
}

TEST_F(MenuTest, MusicItemTogglesTwiceBackToTheStartAndSurvivesReEntry) {
    EXPECT_EQ(menuItems[musicMenuItem].image, musicOnImage);
    moveTo(musicMenuItem);
    press(KeyEnter);
    EXPECT_TRUE(musicMuted);
    EXPECT_EQ(menuItems[musicMenuItem].image, musicOffImage);
    EXPECT_EQ(stateStack.top(), &menuState);
    press(KeySpace);
    EXPECT_FALSE(musicMuted);
    EXPECT_EQ(menuItems[musicMenuItem].image, musicOnImage);

    press(KeyEnter);
    tickCount = 3601;
    stateStack.updateTop();
    ASSERT_EQ(stateStack.top(), &introState);
    press(KeyEnter);
    ASSERT_EQ(stateStack.top(), &menuState);
    EXPECT_EQ(menuState.selected, 0);
    EXPECT_EQ(menuItems[musicMenuItem].image, musicOffImage);
}

TEST_F(MenuTest, ExitEmptiesTheStackSoTheProgramEnds) {
    press(KeyUp);
    lastKey = KeyEnter;
    EXPECT_FALSE(stateStack.updateTop());
    EXPECT_TRUE(stateStack.empty());
}

// Frames of a scripted visit to the menu: cursor moves, the music label changing width, a
// visit to the instructions and back, items shrinking. With `everyPassFull` the back buffer is
// scribbled over and the stack changed before each pass, so that each one copies the whole
// backdrop; otherwise the frame loop's pass rate is written over each frame, as it is in play.
std::vector<std::vector<int>> menuFrames(bool everyPassFull) {
    struct Idle : BaseState {
        bool update() override { return true; }
    } idle;
    const int script[] = {0,       0,        KeyDown,  KeyDown, 0,        KeyDown, KeyDown,
                          KeyDown, KeyEnter, 0,        0,       0,        KeyUp,   KeyUp,
                          KeyUp,   KeyUp,    KeyEnter, 0,       KeyEnter, 0,       0,
                          KeyUp,   0,        0,        0,       0,        0};
    std::vector<std::vector<int>> frames;
    int pass = 0;
    for (int key : script) {
        if (everyPassFull) {
            clear_to_color(backBuffer, makecol(pass * 9 % 256, 77, 5));
            stateStack.push(&idle);
            stateStack.pop();
        }
        lastKey = key;
        stateStack.updateTop();
        std::vector<int> frame;
        for (int y = 0; y < screenHeight; ++y)
            for (int x = 0; x < screenWidth; ++x) frame.push_back(getpixel(backBuffer, x, y));
        frames.push_back(std::move(frame));
        textprintf_ex(backBuffer, font, 0, 0, makecol(255, 255, 255), -1, "FPS: %d", 40 + pass++);
    }
    return frames;
}

TEST_F(MenuTest, PassesThatPutBackOnlyWhatChangedGiveTheFramesOfFullOnes) {
    // No two neighbouring pixels alike: a piece put back in the wrong place would show.
    BITMAP* backdrop = dataBitmap(ObjMenuBackdrop);
    for (int y = 0; y < screenHeight; ++y)
        for (int x = 0; x < screenWidth; ++x)
            putpixel(backdrop, x, y, makecol(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
    std::vector<std::vector<int>> partial = menuFrames(false);
    ASSERT_EQ(stateStack.top(), &menuState);
    ASSERT_TRUE(musicMuted);
    stateStack.popAll();
    switchMusicOn();
    openMenu();
    std::vector<std::vector<int>> full = menuFrames(true);
    ASSERT_EQ(partial.size(), full.size());
    for (size_t i = 0; i < full.size(); ++i) EXPECT_TRUE(partial[i] == full[i]) << "pass " << i;
}

}  // namespace
}  // namespace vexlorn
