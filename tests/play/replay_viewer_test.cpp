// Watching a recording: the cadence the viewer takes recorded updates at, its own pause, the
// checked sum of recorded ticks, and the text it prints from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "frame/frame_cycle.h"
#include "play/game1_state.h"
#include "play/replay_playback.h"
#include "play/replay_recorder.h"
#include "screens/pause_state.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

namespace fs = std::filesystem;

// How many passes each update of `ticks` waits for, at one tick a cycle of two passes: the
// viewer's passes, as the frame loop gives them.
std::vector<int> passesFor(const std::vector<int>& ticks, int speed = 1) {
    ReplayCadence cadence;
    std::vector<int> passOf;
    size_t next = 0;
    for (int pass = 0; next < ticks.size() && pass < 1000000; ++pass) {
        cadence.beginPass(pass % 2 == 0 ? 1 : 0, speed);
        while (next < ticks.size() && cadence.take(ticks[next])) {
            passOf.push_back(pass);
            ++next;
        }
    }
    return passOf;
}

// The recorded cadence (a ticked update, then one between ticks) plays in real time; a run of
// updates without ticks is never taken all at once, but one a pass; fast takes twice as many.
TEST(ReplayCadence, UpdatesWithoutTicksKeepTheirRecordedCadence) {
    std::vector<int> cycles;
    for (int i = 0; i < 100; ++i) cycles.insert(cycles.end(), {1, 0});
    const std::vector<int> passes = passesFor(cycles);
    ASSERT_EQ(passes.size(), 200u);
    EXPECT_EQ(passes.back(), 198) << "a hundred cycles take a hundred ticks";
    EXPECT_EQ(passesFor(cycles, 2).back(), 98) << "twice as fast";

    const std::vector<int> stillRun(5000, 0);
    const std::vector<int> still = passesFor(stillRun);
    ASSERT_EQ(still.size(), 5000u);
    EXPECT_EQ(still.back(), 4999) << "one update without ticks a pass";
    EXPECT_EQ(passesFor(stillRun, 2).back(), 2499);
}

// A late pass catches up over the next passes, never with unbounded work in one; the longest
// update a recording may hold is still taken once its time has come.
TEST(ReplayCadence, APassesWorkIsBoundedWhateverTheClockOrTheRecordingSays) {
    ReplayCadence cadence;
    cadence.beginPass(1000, 1);
    int taken = 0;
    while (cadence.take(1) && cadence.take(0)) ++taken;
    EXPECT_EQ(taken, ReplayCadence::mostTickedPerPass);
    cadence.beginPass(0, 1);
    EXPECT_TRUE(cadence.take(1)) << "the ticks left over are taken in the next pass";

    ReplayCadence slow;
    slow.beginPass(mostTicksPerUpdate - 1, 1);
    EXPECT_FALSE(slow.take(mostTicksPerUpdate));
    slow.beginPass(1, 1);
    EXPECT_TRUE(slow.take(mostTicksPerUpdate));
    slow.beginPass(INT_MAX, 2);
    int ticked = 0;
    while (slow.take(mostTicksPerUpdate)) ++ticked;
    EXPECT_LE(ticked, 2) << "a stalled clock is no licence to run hours at once";
}

// Text from outside is printed with control characters escaped, whole UTF-8 characters kept.
TEST(ReplayText, ControlCharactersAndBrokenBytesAreEscaped) {
    EXPECT_EQ(printableText("1.2.0"), "1.2.0");
    EXPECT_EQ(printableText("\x1b[2J\x1b]0;owned\x07"), "\\x1b[2J\\x1b]0;owned\\x07");
    EXPECT_EQ(printableText(std::string("a\0b\x7f\r\n", 6)), "a\\x00b\\x7f\\x0d\\x0a");
    EXPECT_EQ(printableText("caf\xc3\xa9 \xe2\x82\xac"), "caf\xc3\xa9 \xe2\x82\xac");
    // C1 controls, raw or as UTF-8 (CSI is 0x9b), and bytes that start no whole character.
    EXPECT_EQ(printableText("\x9b"
                            "2J"),
              "\\x9b2J");
    EXPECT_EQ(printableText("\xc2\x9b"
                            "2J"),
              "\\xc2\\x9b2J");
    EXPECT_EQ(printableText("\xe2\x82"), "\\xe2\\x82");
    EXPECT_EQ(printableText("\xc0\xaf\xed\xa0\x80"), "\\xc0\\xaf\\xed\\xa0\\x80");
}

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> recordingOf(const std::vector<ReplayUpdate>& updates) {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.newGame = true;
    ReplayWriter writer;
    writer.begin(header);
    for (const ReplayUpdate& update : updates) writer.add(update);
    return writer.finish(7);
}

// The recorded ticks are added to the screens' int clock: a recording whose ticks add up past
// what it can count is refused, and one that would still run it over ends there.
TEST(ReplayClock, RecordedTicksCannotRunTheClockOver) {
    const int updates = static_cast<int>(mostReplayTicks / mostTicksPerUpdate) + 1;
    std::string error;
    EXPECT_FALSE(ReplayReader().open(
        recordingOf(std::vector<ReplayUpdate>(updates, ReplayUpdate{mostTicksPerUpdate, {0, 0}})),
        error));
    EXPECT_TRUE(ReplayReader().open(recordingOf(std::vector<ReplayUpdate>(
                                        updates - 1, ReplayUpdate{mostTicksPerUpdate, {0, 0}})),
                                    error))
        << error;
}

class ReplayViewerTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }
    void TearDown() override {
        stateStack.popAll();
        PlayFixture::TearDown();
        cheatMode = false;
    }
    // One pass of the frame loop as the viewer sees it: `ticks` counted, `key` read.
    static bool pass(ReplayPlayer& player, int ticks, int key = 0) {
        countedTicks = countedTicks + ticks;
        tickCount = tickCount + ticks;
        lastKey = key;
        return player.runUpdate();
    }
};

const fs::path goldenFolder = fs::path(VEXLORN_SOURCE_DIR) / "tests" / "data" / "replays";

TEST_F(ReplayViewerTest, TheViewersPauseIsTheGamesAndLeavesTheRoundAsRecorded) {
    ReplayPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(readBytes(goldenFolder / "level3-won-late.vxr"), error)) << error;
    std::mt19937 random(3);
    int pauses = 0;
    for (int i = 0; i < 400000 && !player.over(); ++i) {
        pass(player, i % 2 == 0 ? 1 : 0);
        if (random() % 300 == 0 && stateStack.top()->pauseKey() != 0) {
            pass(player, 0, KeyP);
            ASSERT_TRUE(player.paused());
            EXPECT_EQ(stateStack.top(), &pauseState) << "shown as the game shows its pause";
            for (int held = 0; held < 50; ++held) pass(player, held % 2);
            ASSERT_TRUE(player.paused()) << "only a key ends it";
            pass(player, 0, KEY_A);
            EXPECT_FALSE(player.paused());
            EXPECT_NE(stateStack.top(), &pauseState);
            ++pauses;
        }
    }
    EXPECT_GT(pauses, 3);
    ASSERT_TRUE(player.over());
    EXPECT_TRUE(player.matched());
    EXPECT_EQ(player.exitStatus(), 0);
}

// A recording of nothing but updates without ticks takes one a pass: Esc is answered at once
// and the viewer ends with "stopped before the end".
TEST_F(ReplayViewerTest, EscEndsAnEndlessRecordingAtOnce) {
    ReplayPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(recordingOf(std::vector<ReplayUpdate>(mostReplayUpdates / 2)), error))
        << error;
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(pass(player, i % 2));
    EXPECT_FALSE(player.over());
    EXPECT_FALSE(pass(player, 0, KeyEsc));
    EXPECT_EQ(player.exitStatus(), replayStopped);
    EXPECT_NE(player.verdict().find("stopped before the end"), std::string::npos);
}

TEST_F(ReplayViewerTest, AClockRunOverByTheScreensEndsTheReplayUnplayed) {
    ReplayPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(readBytes(goldenFolder / "level1-won-late.vxr"), error)) << error;
    while (stateStack.top() != &game1State && player.step()) {
    }
    ASSERT_FALSE(player.over());
    // Where a clock left running for months would be.
    tickCount = INT_MAX - 1;
    lastTickCount = INT_MAX - 1;
    while (player.step()) {
    }
    EXPECT_FALSE(player.matched());
    EXPECT_EQ(player.exitStatus(), replayMismatch);
    EXPECT_NE(player.verdict().find("more than the game can count"), std::string::npos);
}

}  // namespace
}  // namespace vexlorn
