// Pads as keys on the real screens: what each button sends, held directions repeating, initials
// typed by pad, and a pad pulled out mid-round.
#include "frame/pad_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/input/virtual_pad.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/pause_state.h"
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

    // The scancodes of one step, the offered letter published as the frame loop does.
    std::vector<int> step(const PadInput& input, int elapsed = 0) {
        const PadKeyBatch batch = keys.step(input, elapsed, currentPadContext());
        entryPreview = keys.preview();
        return std::vector<int>(batch.keys, batch.keys + batch.count);
    }
    std::vector<int> poll() { return scancodes(step(pollPads())); }
    // Pressed and let go again before the next step.
    std::vector<int> tapControl(PadControl control) {
        PadInput input;
        input.pressed = padBit(control);
        return scancodes(step(input));
    }
    // A virtual pad's button, held across one poll as SDL needs.
    std::vector<int> tap(int pad, const char* button) {
        setVirtualPadButton(pad, button, true);
        std::vector<int> sent = poll();
        setVirtualPadButton(pad, button, false);
        poll();
        return sent;
    }
    // To the screen on top, one pass a key, as the frame loop hands them on.
    void deliver(const std::vector<int>& sent) {
        for (int scancode : sent) press(scancode);
    }
    static std::vector<int> scancodes(std::vector<int> sent) {
        for (int& key : sent) key >>= 8;
        return sent;
    }

    PadKeys keys;
};

TEST_F(PadKeysTest, EachButtonSendsItsKeyAndStartPausesOnlyInPlay) {
    ASSERT_TRUE(startPads(""));
    const int pad = plugVirtualPad();
    poll();
    struct Case {
        const char* button;
        std::vector<int> elsewhere, inPlay;
    };
    const Case cases[] = {
        {"dpup", {KeyUp}, {KeyUp}},
        {"dpdown", {KeyDown}, {KeyDown}},
        {"dpleft", {KeyLeft}, {KeyLeft}},
        {"dpright", {KeyRight}, {KeyRight}},
        {"a", {KeyEnter}, {KeyEnter}},
        {"b", {KeyEsc}, {KeyEsc}},
        {"back", {KeyEsc}, {KeyEsc}},
        {"x", {KeySpace}, {KeySpace}},
        {"y", {KeySpace}, {KeySpace}},
        {"start", {KeyEnter}, {KeyP}},
        {"guide", {}, {}},
        {"leftshoulder", {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(tap(pad, c.button), c.elsewhere) << c.button;
    startRound(quietBoard(0), quietBoard(0));
    for (const Case& c : cases) EXPECT_EQ(tap(pad, c.button), c.inPlay) << c.button;
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

    // Another press ends it, as a second key ends a keyboard's repeat; so does letting go.
    PadInput start = held;
    start.held = padBit(PadDown) | padBit(PadStart);
    start.pressed = padBit(PadStart);
    EXPECT_EQ(scancodes(step(start)), std::vector<int>{KeyEnter});
    for (int tick = 0; tick < 30; ++tick) EXPECT_TRUE(step(held, 1).empty());
    step(first);
    step(PadInput{}, 1);
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
    const auto cell = [](int i) {
        std::set<int> colours;
        for (int y = endNameLayout.lettersY; y < endNameLayout.lettersY + 12; ++y) {
            for (int x = 0; x < 22; ++x)
                colours.insert(getpixel(backBuffer, endNameLayout.lettersX + 22 * i + x, y));
        }
        return colours.size();
    };
    pass(0);
    const size_t emptyCell = cell(0);

    for (PadControl control : {PadUp, PadUp, PadUp, PadDown}) deliver(tapControl(control));
    EXPECT_EQ(entryPreview, 'b');
    EXPECT_EQ(entryName[0], '\0');
    pass(0);
    EXPECT_GT(cell(0), emptyCell);  // shown in place of the first letter

    for (PadControl control : {PadA, PadRight, PadB}) deliver(tapControl(control));
    EXPECT_STREQ(entryName, "b");
    EXPECT_EQ(entryCursor, 1);
    deliver(tapControl(PadUp));
    EXPECT_EQ(entryPreview, 'c');
    deliver(tapControl(PadStart));
    ASSERT_EQ(stateStack.top(), &hiscoreState);
    int row = 0;
    while (row < highScoreRows && highScoreTable[row].score != 5000) ++row;
    ASSERT_LT(row, highScoreRows);
    EXPECT_STREQ(highScoreTable[row].name, "b");
}

TEST_F(PadKeysTest, PadPulledOutMidRoundPausesItAndOnePluggedInPlays) {
    ASSERT_TRUE(startPads(""));
    int pad = plugVirtualPad();
    poll();
    startRound(quietBoard(0), quietBoard(0));
    unplugVirtualPad(pad);
    const std::vector<int> sent = poll();
    EXPECT_EQ(sent, std::vector<int>{KeyP});
    deliver(sent);
    EXPECT_EQ(stateStack.top(), &pauseState);

    pad = plugVirtualPad();
    poll();
    EXPECT_EQ(openPadCount(), 1);
    deliver(tap(pad, "a"));
    EXPECT_EQ(stateStack.top(), &game1State);

    press(KeyEsc);
    ASSERT_EQ(stateStack.top(), &menu);
    unplugVirtualPad(pad);
    EXPECT_TRUE(poll().empty());  // no round to pause
}

}  // namespace
}  // namespace vexlorn
