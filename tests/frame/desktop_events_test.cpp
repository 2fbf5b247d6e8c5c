// The pause after the window loses the focus, through the frame loop's step for the desktop,
// with the pass times given: its grace period and that it pauses once per loss.
#include "frame/desktop_events.h"

#include <gtest/gtest.h>

#include "screens/pause_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

using std::chrono::milliseconds;

class FocusPauseTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        startRound(quietBoard(0), quietBoard(0));
        lastKey = 0;
    }
    void TearDown() override {
        reportFocus(false);
        answerDesktop(start);
        PlayFixture::TearDown();
    }
    // The key the step hands the screen on top at `at` after the start, taken back.
    int stepAt(milliseconds at) {
        lastKey = 0;
        EXPECT_FALSE(answerDesktop(start + at));
        const int key = lastKey;
        lastKey = 0;
        return key;
    }

    const DesktopClock::time_point start = DesktopClock::now();
};

TEST_F(FocusPauseTest, PausesOnceAfterTheGraceAndAgainOnlyAfterTheFocusCameBack) {
    reportFocus(true);
    EXPECT_EQ(stepAt(milliseconds(0)), 0);
    EXPECT_EQ(stepAt(focusGrace - milliseconds(1)), 0);
    EXPECT_EQ(stepAt(focusGrace), KeyP);
    // Still away: a second pause key would end the pause it began.
    EXPECT_EQ(stepAt(focusGrace + milliseconds(1)), 0);
    EXPECT_EQ(stepAt(milliseconds(5000)), 0);

    // Back, then away again: the grace counts from the new loss.
    reportFocus(false);
    EXPECT_EQ(stepAt(milliseconds(6000)), 0);
    reportFocus(true);
    EXPECT_EQ(stepAt(milliseconds(7000)), 0);
    EXPECT_EQ(stepAt(milliseconds(7000) + focusGrace - milliseconds(1)), 0);
    EXPECT_EQ(stepAt(milliseconds(7000) + focusGrace), KeyP);

    // A loss shorter than the grace never pauses.
    reportFocus(false);
    stepAt(milliseconds(8000));
    reportFocus(true);
    EXPECT_EQ(stepAt(milliseconds(9000)), 0);
    reportFocus(false);
    EXPECT_EQ(stepAt(milliseconds(9000) + focusGrace), 0);
}

TEST_F(FocusPauseTest, TheKeyPausesTheRoundAndNothingElse) {
    reportFocus(true);
    answerDesktop(start);
    EXPECT_FALSE(answerDesktop(start + focusGrace));
    pass(0);
    EXPECT_EQ(stateStack.top(), &pauseState);
    // The pause screen takes no pause key: a loss while it shows hands it nothing.
    reportFocus(false);
    answerDesktop(start + milliseconds(1000));
    reportFocus(true);
    answerDesktop(start + milliseconds(1000));
    EXPECT_FALSE(answerDesktop(start + milliseconds(2000)));
    EXPECT_EQ(lastKey, 0);
}

}  // namespace
}  // namespace vexlorn
