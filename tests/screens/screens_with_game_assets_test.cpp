// The intro, menu and pages on the game's own data file: a whole attract loop and every item.
#include <gtest/gtest.h>

#include "assets/assets.h"
#include "frame/globals.h"
#include "frame/state_stack.h"
#include "screens/about_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "screens/order_state.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

class GameAssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loadTestAssets());
        backBuffer = create_bitmap(screenWidth, screenHeight);
        tickCount = 0;
        lastKey = 0;
    }
    void TearDown() override {
        stateStack.popAll();
        freeTestAssets();
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
    }

    static void press(int key) {
        lastKey = key;
        stateStack.updateTop();
    }
};

TEST_F(GameAssetsTest, AttractLoopRunsThroughEveryStepAndWraps) {
    stateStack.push(&introState);
    // Every step is at least 60 ticks long, so a stride of 7 visits each one several times.
    int passes = 0;
    while (tickCount <= 3060 && passes < 1000) {
        stateStack.updateTop();
        tickCount = tickCount + 7;
        ++passes;
    }
    stateStack.updateTop();
    EXPECT_EQ(tickCount, 0);
    EXPECT_LT(passes, 3061 / 7);
}

TEST_F(GameAssetsTest, EveryMenuItemOpensAndReturnsOnTheRealPictures) {
    for (int i = 0; i < menuItemCount; ++i) ASSERT_NE(menuItems[i].image, nullptr) << i;
    stateStack.push(&introState);
    press(KeyEnter);
    ASSERT_EQ(stateStack.top(), &menuState);
    BaseState* pages[] = {&instructionsState, &orderState, &hiscoreState, &aboutState};
    for (BaseState* page : pages) {
        press(KeyDown);
        press(KeyEnter);
        EXPECT_EQ(stateStack.top(), page);
        for (int pass = 0; pass < 5; ++pass) stateStack.updateTop();
        if (page == &orderState) press(KeyRight);  // back, not the link: no opener is started
        press(KeyEnter);
        ASSERT_EQ(stateStack.top(), &menuState);
    }
    press(KeyDown);
    press(KeyEnter);
    press(KeyEnter);
    EXPECT_EQ(menuItems[musicMenuItem].image, musicOnImage);
    press(KeyDown);
    lastKey = KeyEnter;
    EXPECT_FALSE(stateStack.updateTop());
}

}  // namespace
}  // namespace vexlorn
