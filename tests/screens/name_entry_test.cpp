// Typing initials: letters only, at most three, Backspace back to the first cell.
#include "screens/name_entry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

class NameEntryTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        std::memset(entryName, 0, sizeof entryName);
        entryCursor = 0;
    }
    bool type(int scancode) {
        lastKey = scancode;
        return nameEntryStep(endNameLayout);
    }
};

TEST_F(NameEntryTest, TakesThreeLowerCaseLettersAndNoMore) {
    EXPECT_TRUE(type(KEY_R));
    EXPECT_TRUE(type(KEY_O));
    EXPECT_TRUE(type(KEY_B));
    EXPECT_EQ(lastKey, 0);
    EXPECT_FALSE(type(KEY_Z));
    EXPECT_EQ(lastKey, KEY_Z);
    EXPECT_STREQ(entryName, "rob");
    EXPECT_EQ(entryCursor, 3);
}

TEST_F(NameEntryTest, LeavesDigitsAndConfirmKeysForTheScreen) {
    for (int key : {static_cast<int>(KEY_5), static_cast<int>(KeyEnter), static_cast<int>(KeySpace),
                    static_cast<int>(KeyLeft)}) {
        EXPECT_FALSE(type(key));
        EXPECT_EQ(lastKey, key);
    }
    EXPECT_EQ(entryCursor, 0);
    EXPECT_STREQ(entryName, "");
}

TEST_F(NameEntryTest, BackspaceRemovesTheLastLetterAndNothingAtTheStart) {
    EXPECT_FALSE(type(KeyBackspace));
    EXPECT_EQ(lastKey, KeyBackspace);
    EXPECT_EQ(entryCursor, 0);
    type(KEY_A);
    type(KEY_B);
    type(KEY_C);
    EXPECT_TRUE(type(KeyBackspace));
    EXPECT_STREQ(entryName, "ab");
    EXPECT_EQ(entryCursor, 2);
    EXPECT_EQ(entryName[2], '\0');
}

TEST_F(NameEntryTest, CursorBlinksInTheSecondHalfOfEveryThirtyTicks) {
    auto cursorShown = [] {
        clear_bitmap(backBuffer);
        lastKey = 0;
        nameEntryStep(endNameLayout);
        for (int y = 96; y < 110; ++y) {
            for (int x = 180; x < 196; ++x) {
                if (getpixel(backBuffer, x, y) != 0) return true;
            }
        }
        return false;
    };
    tickCount = 15;
    EXPECT_FALSE(cursorShown());
    tickCount = 16;
    EXPECT_TRUE(cursorShown());
    tickCount = 29;
    EXPECT_TRUE(cursorShown());
    tickCount = 30;
    EXPECT_FALSE(cursorShown());
}

}  // namespace
}  // namespace vexlorn
