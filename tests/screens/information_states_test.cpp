// The about, instructions and order pages: their keys, time-outs and pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "screens/about_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/order_state.h"
#include "screens/screen_fixture.h"
#include "test_support/loop_present.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

class PageTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        openMenu();
    }
};

TEST_F(PageTest, AboutShowsItsPictureAndClosesOnEnterSpaceOrAfter3600Ticks) {
    stateStack.push(&aboutState);
    EXPECT_EQ(pixel(10, 10), objectColour(ObjAboutPage));
    for (int key : {KeyUp, KeyEsc, KeyP}) {
        press(key);
        EXPECT_EQ(stateStack.top(), &aboutState);
    }
    tickCount = 3600;
    stateStack.updateTop();
    EXPECT_EQ(stateStack.top(), &aboutState);
    tickCount = 3601;
    stateStack.updateTop();
    EXPECT_EQ(stateStack.top(), &menuState);

    for (int key : {KeyEnter, KeySpace}) {
        stateStack.push(&aboutState);
        press(key);
        EXPECT_EQ(stateStack.top(), &menuState);
        EXPECT_EQ(lastKey, 0);
    }
}

TEST_F(PageTest, InstructionsCloseOnEnterSpaceOrAfter36000Ticks) {
    stateStack.push(&instructionsState);
    EXPECT_EQ(tickCount, 0);
    for (int key : {KeyDown, KeyEsc}) {
        press(key);
        EXPECT_EQ(stateStack.top(), &instructionsState);
    }
    EXPECT_EQ(pixel(10, 10), objectColour(ObjInstructionsPage));
    tickCount = 36000;
    stateStack.updateTop();
    EXPECT_EQ(stateStack.top(), &instructionsState);
    tickCount = 36001;
    stateStack.updateTop();
    EXPECT_EQ(stateStack.top(), &menuState);

    for (int key : {KeyEnter, KeySpace}) {
        stateStack.push(&instructionsState);
        press(key);
        EXPECT_EQ(stateStack.top(), &menuState);
        EXPECT_EQ(lastKey, 0);
    }
}

TEST_F(PageTest, InstructionsMarkerPulsesInTheBottomRightCorner) {
    stateStack.push(&instructionsState);
    const int x = 614 + markerSize / 2;
    const int y = 438 + markerSize / 2;
    tickCount = 0;
    stateStack.updateTop();
    EXPECT_EQ(pixel(x, y), objectColour(ObjInstructionsPage));
    tickCount = 90;
    stateStack.updateTop();
    EXPECT_EQ(pixel(x, y), objectColour(ObjInstructionsMarker));
    EXPECT_EQ(pixel(613, y), objectColour(ObjInstructionsPage));
    tickCount = 180 * 5 + 30;
    stateStack.updateTop();
    EXPECT_NE(pixel(x, y), objectColour(ObjInstructionsMarker));
    EXPECT_NE(pixel(x, y), objectColour(ObjInstructionsPage));
}

class OrderTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        // No opener at all on PATH: a test must never open a real browser.
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        setenv("PATH", emptyDir_.path().c_str(), 1);
        stateStack.push(&orderState);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        PageTest::TearDown();
    }

    static int optionPixel(int row) {
        return pixel(orderOptions[row].x + 5, orderOptions[row].y + 5);
    }

    TempDir emptyDir_;
    std::string savedPath_;
};

TEST_F(OrderTest, AnyArrowTogglesAndOtherKeysAreSwallowed) {
    EXPECT_EQ(orderState.selected, 0);
    press(KeyLeft);
    EXPECT_EQ(orderState.selected, 1);
    EXPECT_EQ(lastKey, 0);
    for (int key : {KeyRight, KeyUp, KeyDown}) {
        int before = orderState.selected;
        press(key);
        EXPECT_EQ(orderState.selected, 1 - before) << "key " << key;
    }
    for (int key : {KeyEsc, KeyP, KeyBackspace}) {
        press(key);
        EXPECT_EQ(lastKey, 0);
        EXPECT_EQ(orderState.selected, 0);
        EXPECT_EQ(stateStack.top(), &orderState);
    }
}

TEST_F(OrderTest, SelectedChoiceIsOpaqueAndTheOtherFaint) {
    tickCount = 77;
    stateStack.updateTop();
    EXPECT_EQ(lastTickCount, 77);
    EXPECT_EQ(pixel(10, 10), objectColour(ObjOrderPage));
    EXPECT_EQ(optionPixel(0), objectColour(ObjOrderVisit));
    int faint = optionPixel(1);
    EXPECT_NE(faint, objectColour(ObjOrderBack));
    EXPECT_NE(faint, objectColour(ObjOrderPage));
    press(KeyRight);
    stateStack.updateTop();
    EXPECT_EQ(optionPixel(1), objectColour(ObjOrderBack));
    EXPECT_NE(optionPixel(0), objectColour(ObjOrderVisit));
}

TEST_F(OrderTest, BothChoicesReturnToTheMenuEvenWithoutAnOpener) {
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &menuState);
    stateStack.push(&orderState);
    EXPECT_EQ(orderState.selected, 0) << "reopening does not highlight the first choice";
    press(KeyRight);
    press(KeySpace);
    EXPECT_EQ(stateStack.top(), &menuState);
}

// Visit, through a stand-in for the desktop's opener that records what it is given: the link
// file in the working directory comes before the installed one beside the data file, which is
// the one used when the working directory has none; a working directory's file without an
// address is handed over itself.
TEST_F(OrderTest, VisitOpensTheWorkingDirectorysLinkFileBeforeTheInstalledOne) {
    const std::string record = emptyDir_.path() + "/record";
    const std::string opener = emptyDir_.path() + "/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << record << ".part\"\n"
                          << "/bin/mv \"" << record << ".part\" \"" << record << "\"\n";
    ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
    std::string installedUrl;
    std::ifstream installed(std::string(VEXLORN_BUILD_DIR) + "/vexlorn.url");
    for (std::string line; std::getline(installed, line);) {
        if (line.rfind("URL=", 0) == 0) installedUrl = line.substr(4);
    }
    ASSERT_NE(installedUrl.find("://"), std::string::npos);

    TempDir work;
    work.enter();
    const auto visit = [&record] {
        std::remove(record.c_str());
        EXPECT_EQ(stateStack.top(), &orderState);
        press(KeyEnter);
        EXPECT_EQ(stateStack.top(), &menuState);
        stateStack.push(&orderState);
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(record);
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string("nothing opened");
    };
    std::ofstream("vexlorn.url") << "[InternetShortcut]\nURL=https://work.example.org/order\n";
    EXPECT_EQ(visit(), "https://work.example.org/order\n");
    std::ofstream("vexlorn.url") << "[InternetShortcut]\nIDList=\n";
    EXPECT_EQ(visit(), "vexlorn.url\n");
    std::remove("vexlorn.url");
    EXPECT_EQ(visit(), installedUrl + "\n");
}

// The instructions with their pulsing marker, the order page with its choice changing, the
// hall of fame and the about page, pass by pass over pictures with no two neighbouring pixels
// alike. Where a pass could draw only what changed, its frame must equal the same pass drawn whole
// (after a screen came and went), and presenting only what it reported must leave the shown picture
// equal.
TEST_F(OrderTest, PagesThatDrawOnlyWhatChangedGiveTheFramesOfFullOnes) {
    for (int object :
         {ObjInstructionsPage, ObjInstructionsMarker, ObjOrderPage, ObjHallOfFame, ObjAboutPage}) {
        BITMAP* picture = dataBitmap(object);
        for (int y = 0; y < picture->h; ++y)
            for (int x = 0; x < picture->w; ++x)
                putpixel(picture, x, y, makecol(x * 7 % 256, (y * 13 + object) % 256, x ^ y));
    }
    static struct : BaseState {
        bool update() override { return true; }
    } other;
    LoopPresent loop;
    BITMAP* previous = create_bitmap(screenWidth, screenHeight);
    for (BaseState* page :
         {static_cast<BaseState*>(&instructionsState), static_cast<BaseState*>(&orderState),
          static_cast<BaseState*>(&hiscoreState), static_cast<BaseState*>(&aboutState)}) {
        stateStack.push(page);
        int compared = 0;
        for (int i = 0; i < 120; ++i) {
            lastKey = i % 40 == 25 ? KeyRight : 0;
            const bool pressed = lastKey != 0;
            const int tick = tickCount + i % 5;
            blit(backBuffer, previous, 0, 0, 0, 0, screenWidth, screenHeight);
            const bool continued = loop.pass(i % 5, i);
            EXPECT_TRUE(loop.presented()) << "pass " << i;
            if (!continued || pressed) continue;
            EXPECT_TRUE(loop.equalsFullRedraw([previous, tick] {
                blit(previous, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
                stateStack.push(&other);
                stateStack.pop();
                tickCount = tick;
                stateStack.updateTop();
            })) << "pass "
                << i;
            ++compared;
        }
        EXPECT_GT(compared, 100);
        ASSERT_EQ(stateStack.top(), page);
        stateStack.pop();
    }
    EXPECT_GT(loop.quietPasses(), 300);
    destroy_bitmap(previous);
}

}  // namespace
}  // namespace vexlorn
