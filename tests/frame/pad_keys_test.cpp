// Pads as keys on the real screens: what each button sends, held directions repeating, initials
// typed by pad, and a pad pulled out mid-round.
#include "frame/pad_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/input/virtual_pad.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/pause_state.h"
#include "screens/versus_setup_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

class PadKeysTest : public PlayFixture {
protected:
    void TearDown() override {
        stopPads();
        entryPreview = '\0';
        PlayFixture::TearDown();
    }
    // One step's scancodes; the offered letter published as the frame loop does.
    std::vector<int> step(const PadInput& input, int elapsed = 0) {
        const PadKeyBatch batch = keys.step(input, elapsed, currentPadContext());
        entryPreview = keys.preview();
        std::vector<int> sent;
        for (int i = 0; i < batch.count; ++i) sent.push_back(batch.keys[i] >> 8);
        return sent;
    }
    std::vector<int> tap(PadControl control) {
        PadInput input;
        input.pressed = padBit(control);
        return step(input);
    }
    // A virtual pad's button, held across one poll as SDL needs.
    std::vector<int> tap(int pad, const char* button) {
        setVirtualPadButton(pad, button, true);
        std::vector<int> sent = step(pollPads());
        setVirtualPadButton(pad, button, false);
        step(pollPads());
        return sent;
    }
    // To the screen on top, a pass a key, as the frame loop hands them on.
    void deliver(const std::vector<int>& sent) {
        for (int scancode : sent) press(scancode);
    }

    PadKeys keys;
};

TEST_F(PadKeysTest, EachButtonSendsItsKeyAndStartPausesOnlyInPlay) {
    ASSERT_TRUE(startPads(""));
    const int pad = plugVirtualPad();
    pollPads();
    const std::vector<std::pair<const char*, std::vector<int>>> sends = {
        {"dpup", {KeyUp}}, {"dpdown", {KeyDown}}, {"dpleft", {KeyLeft}}, {"dpright", {KeyRight}},
        {"a", {KeyEnter}}, {"b", {KeyEsc}},       {"back", {KeyEsc}},    {"x", {KeySpace}},
        {"y", {KeySpace}}, {"start", {KeyEnter}}, {"guide", {}},         {"leftshoulder", {}},
    };
    for (const auto& [button, sent] : sends) EXPECT_EQ(tap(pad, button), sent) << button;
    startRound(quietBoard(0), quietBoard(0));
    EXPECT_EQ(tap(pad, "start"), std::vector<int>{KeyP});
    EXPECT_EQ(tap(pad, "a"), std::vector<int>{KeyEnter});
}

TEST_F(PadKeysTest, HeldDirectionRepeatsLikeAHeldArrowKey) {
    PadInput held;
    held.held = padBit(PadDown);
    PadInput first = held;
    first.pressed = padBit(PadDown);
    EXPECT_EQ(step(first).size(), 1u);
    std::vector<int> repeatTicks;
    for (int tick = 1; tick <= 61; ++tick) {
        if (!step(held, 1).empty()) repeatTicks.push_back(tick);
    }
    ASSERT_FALSE(repeatTicks.empty());
    EXPECT_EQ(repeatTicks.front(), firstRepeatTicks);
    EXPECT_EQ(repeatTicks.size(), 30u);    // in the second after the first repeat
    EXPECT_EQ(step(held, 25).size(), 1u);  // a slow pass: one repeat, not a burst

    // Another press ends it, as a second key ends a keyboard's repeat.
    PadInput start;
    start.held = padBit(PadDown) | padBit(PadStart);
    start.pressed = padBit(PadStart);
    EXPECT_EQ(step(start), std::vector<int>{KeyEnter});
    for (int tick = 0; tick < 30; ++tick) EXPECT_TRUE(step(held, 1).empty());
}

TEST_F(PadKeysTest, InitialsTypedByPadAndTheOfferedLetterNeverStored) {
    Board left = quietBoard(1);
    topOut(left);
    left.continues = 0;
    left.score = 5000;
    startRound(left, quietBoard(1));
    pass(0);
    ASSERT_EQ(stateStack.top(), &end1State);
    pass(0);
    BITMAP* before = create_bitmap(screenWidth, screenHeight);
    blit(backBuffer, before, 0, 0, 0, 0, screenWidth, screenHeight);

    for (PadControl control : {PadUp, PadUp, PadUp, PadDown}) deliver(tap(control));
    EXPECT_EQ(entryPreview, 'b');
    EXPECT_EQ(entryName[0], '\0');
    pass(0);
    int changed = 0;  // in the first letter's cell
    for (int y = endNameLayout.lettersY; y < endNameLayout.lettersY + 16; ++y) {
        for (int x = endNameLayout.lettersX; x < endNameLayout.lettersX + 22; ++x) {
            changed += getpixel(before, x, y) != getpixel(backBuffer, x, y);
        }
    }
    destroy_bitmap(before);
    EXPECT_GT(changed, 10);

    for (PadControl control : {PadA, PadRight, PadB, PadUp}) deliver(tap(control));
    EXPECT_STREQ(entryName, "b");
    EXPECT_EQ(entryPreview, 'c');
    deliver(tap(PadStart));
    ASSERT_EQ(stateStack.top(), &hiscoreState);
    int row = 0;
    while (row < highScoreRows - 1 && highScoreTable[row].score != 5000) ++row;
    EXPECT_STREQ(highScoreTable[row].name, "b");
}

// The left stick of a virtual pad, pushed and let go a pass later: each way gives its arrow;
// in the name entry it steps through the letters, round past "a" and "z", and types the one
// shown; with every initial typed it is an arrow again.
TEST_F(PadKeysTest, StickGivesArrowsAndStepsThroughTheLettersBothWays) {
    ASSERT_TRUE(startPads(""));
    const int pad = plugVirtualPad();
    step(pollPads());
    auto push = [this, pad](const char* axis, int value) {
        setVirtualPadAxis(pad, axis, value);
        std::vector<int> sent = step(pollPads());
        setVirtualPadAxis(pad, axis, 0);
        step(pollPads());
        deliver(sent);
        return sent;
    };
    EXPECT_EQ(push("leftx", -20000), std::vector<int>{KeyLeft});
    EXPECT_EQ(push("leftx", 20000), std::vector<int>{KeyRight});
    EXPECT_EQ(push("lefty", -20000), std::vector<int>{KeyUp});
    EXPECT_EQ(push("lefty", 20000), std::vector<int>{KeyDown});

    Board left = quietBoard(1);
    topOut(left);
    left.continues = 0;
    left.score = 5000;
    startRound(left, quietBoard(1));
    pass(0);
    ASSERT_EQ(stateStack.top(), &end1State);
    EXPECT_TRUE(push("lefty", 20000).empty());
    EXPECT_EQ(entryPreview, 'a');
    push("lefty", 20000);
    EXPECT_EQ(entryPreview, 'z');
    push("lefty", -20000);
    EXPECT_EQ(entryPreview, 'a');
    push("leftx", 20000);
    push("lefty", 20000);
    push("leftx", 20000);
    push("lefty", -20000);
    EXPECT_EQ(entryPreview, 'a');
    EXPECT_EQ(push("leftx", 20000), std::vector<int>{KEY_A});
    EXPECT_STREQ(entryName, "aza");
    push("lefty", -20000);
    EXPECT_EQ(push("leftx", 20000), std::vector<int>{KeyRight});
    EXPECT_STREQ(entryName, "aza");
}

// The stick pushed, held while it drifts back towards the centre, let go and pushed again, each
// way on each axis: at every poll the direction the pad holds (that one and no other) and the
// arrows sent, its first press at once, repeats while it stays outside a quarter, none once let
// go, and none when it comes back out short of a third.
TEST_F(PadKeysTest, StickHeldUntilBackInsideAQuarterThenPushedAgainPastAThird) {
    ASSERT_TRUE(startPads(""));
    const int pad = plugVirtualPad();
    step(pollPads());
    struct Way {
        const char* axis;
        int sign;
        PadControl control;
        int key;
    };
    const Way ways[] = {{"leftx", -1, PadLeft, KeyLeft},
                        {"leftx", 1, PadRight, KeyRight},
                        {"lefty", -1, PadUp, KeyUp},
                        {"lefty", 1, PadDown, KeyDown}};
    struct Poll {
        int value;
        int ticks;  // since the poll before
        bool held;
        int arrows;
    };
    const Poll polls[] = {
        {stickPushAt, 0, true, 1},         // pushed: the arrow at once
        {32767, 6, true, 0},               // held, short of the first repeat
        {stickPushAt - 1, 6, true, 1},     // twelve ticks on: the first repeat
        {stickReleaseAt + 1, 2, true, 1},  // still outside a quarter: repeating
        {stickReleaseAt, 10, false, 0},    // let go
        {stickPushAt - 1, 20, false, 0},   // out again, short of a third
        {stickPushAt + 1000, 0, true, 1},  // pushed again
        {0, 1, false, 0},
    };
    for (const Way& way : ways) {
        for (const Poll& poll : polls) {
            SCOPED_TRACE(testing::Message() << way.axis << " at " << way.sign * poll.value);
            setVirtualPadAxis(pad, way.axis, way.sign * poll.value);
            const PadInput input = pollPads();
            const unsigned held = poll.held ? padBit(way.control) : 0u;
            EXPECT_EQ(input.held, held);
            ASSERT_EQ(input.padCount, 1);
            EXPECT_EQ(input.each[0].held, held);
            EXPECT_EQ(step(input, poll.ticks), std::vector<int>(poll.arrows, way.key));
        }
    }
}

TEST_F(PadKeysTest, PadPulledOutPausesARoundButNotTheMenu) {
    ASSERT_TRUE(startPads(""));
    const int first = plugVirtualPad();
    const int second = plugVirtualPad();
    step(pollPads());
    startRound(quietBoard(0), quietBoard(0));
    unplugVirtualPad(first);
    const std::vector<int> sent = step(pollPads());
    EXPECT_EQ(sent, std::vector<int>{KeyP});
    deliver(sent);
    EXPECT_EQ(stateStack.top(), &pauseState);

    stateStack.pop();
    press(KeyEsc);
    ASSERT_EQ(stateStack.top(), &menu);
    unplugVirtualPad(second);
    EXPECT_TRUE(step(pollPads()).empty());
}

// A screen that gives Start on a second pad a meaning of its own, as the menu does.
class SecondStartScreen : public MenuStandIn {
public:
    int secondPadStartKey() const override { return Key2; }
};

TEST_F(PadKeysTest, ScreensReadingPadsApartGetNoKeysAndASecondPadsStartMayHaveItsOwn) {
    ASSERT_TRUE(startPads(""));
    const int first = plugVirtualPad();
    const int second = plugVirtualPad();
    step(pollPads());
    SecondStartScreen screen;
    stateStack.push(&screen);
    EXPECT_EQ(tap(second, "start"), std::vector<int>{Key2});
    EXPECT_EQ(tap(first, "start"), std::vector<int>{KeyEnter});
    EXPECT_EQ(tap(second, "a"), std::vector<int>{KeyEnter});
    stateStack.pop();

    // The match's set-up reads each pad itself, from what the polls kept.
    forgetPadPresses();
    stateStack.push(&versusSetupState);
    setVirtualPadButton(second, "a", true);
    const PadInput input = pollPads();
    keepPadPresses(input);
    EXPECT_TRUE(step(input).empty());
    EXPECT_EQ(padInOrder(1), second);
    EXPECT_EQ(takePadPresses(first), 0u);
    EXPECT_EQ(takePadPresses(second), padBit(PadA));
    EXPECT_EQ(takePadPresses(second), 0u);  // taken once
    unplugVirtualPad(second);
    keepPadPresses(pollPads());
    EXPECT_EQ(padInOrder(1), -1);
    EXPECT_EQ(takePadsPulledOut(), 1);
    EXPECT_EQ(takePadsPulledOut(), 0);
}

}  // namespace
}  // namespace vexlorn
