// Keys held down for seconds: the auto-repeat flood, one key per frame pass, on the initials
// of the end screen and in play.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/globals.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

// About three seconds of a key's auto-repeat at 30 a second, with a pass or two between keys.
constexpr int floodKeys = 100;

class KeyFloodTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }

    void flood(int scancode, int ticksBetween = 1) {
        for (int i = 0; i < floodKeys; ++i) {
            press(scancode);
            pass(ticksBetween);
            ASSERT_NE(std::memchr(entryName, '\0', sizeof entryName), nullptr);
            ASSERT_LE(std::strlen(entryName), 3u);
            ASSERT_GE(entryCursor, 0);
            ASSERT_LE(entryCursor, 3);
        }
    }
};

TEST_F(KeyFloodTest, HeldLettersAndBackspaceKeepTheInitialsInTheirThreePlaces) {
    Board left = quietBoard(1), right = quietBoard(1);
    left.continues = 0;
    left.score = 5000;
    topOut(left);
    startRound(left, right);
    pass(0);
    ASSERT_EQ(stateStack.top(), &end1State);
    flood(KEY_A);
    EXPECT_STREQ(entryName, "aaa");
    flood(KeyBackspace, 0);
    EXPECT_STREQ(entryName, "");
    flood(KEY_Z, 2);
    flood(KeyBackspace);
    flood(KEY_B, 0);
    EXPECT_STREQ(entryName, "bbb");
    ASSERT_EQ(stateStack.top(), &end1State);
    press(KeyEnter);
    ASSERT_EQ(stateStack.top(), &hiscoreState);
    EXPECT_STREQ(highScoreTable[0].name, "bbb");
    EXPECT_EQ(highScoreTable[0].score, 5000);
}

TEST_F(KeyFloodTest, HeldArrowsInPlayMoveOneSwapAtATimeAndKeepOneAvatar) {
    Board left = quietBoard(0), right = quietBoard(0);
    startRound(left, right);
    for (int scancode : {KeyLeft, KeyUp, KeyRight, KeyDown, KeyLeft}) {
        for (int i = 0; i < floodKeys && stateStack.top() == &game1State; ++i) {
            press(scancode);
            pass(i % 3);
            const Board& board = *leftBoard;
            int avatars = 0;
            for (const auto& column : board.cells) {
                for (const Cell& cell : column) avatars += cell.kind == Avatar;
            }
            ASSERT_EQ(avatars, 1);
            ASSERT_EQ(board.at(board.avatarCol, board.avatarRow).kind, Avatar);
            ASSERT_TRUE(isPlayCell(board, board.avatarCol, board.avatarRow) ||
                        board.avatarRow == board.topRow);
        }
    }
    EXPECT_EQ(stateStack.top(), &game1State);
}

}  // namespace
}  // namespace vexlorn
