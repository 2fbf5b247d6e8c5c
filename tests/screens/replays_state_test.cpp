// The recordings page: what each row says, newest first, damaged files named and never played,
// the question before a removal, keeping for good, scrolling, and watching and coming back.
#include "screens/replays_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frame/frame_cycle.h"
#include "play/replay_recorder.h"
#include "play/replay_summary.h"
#include "screens/continue1_state.h"
#include "test_support/play_fixture.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> recording(ReplayResult result, int ticks, bool match = false, int level = 2,
                               bool newGame = false) {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.newGame = newGame;
    header.boards[0].level = static_cast<int16_t>(level);
    header.boards[1].level = static_cast<int16_t>(level + 2);
    if (match) {
        header.seats[0] = 1;
        header.seats[1] = 4;
    }
    header.startTime = 1796911200;
    ReplayWriter writer;
    writer.begin(header);
    for (int i = 0; i < ticks; ++i) writer.add(ReplayUpdate{1, {0, 0}});
    writer.setResult(result);
    return writer.finish(1);
}

TEST(ReplayRows, SayTheGameItsLevelsResultLengthAndMark) {
    const ReplayFile plain{"2026-12-10_14-15-52_001.vxr", 0, false, false};
    ReplaySummary won = summarizeReplay(recording(ReplayResult::LeftWon, 65 * ticksPerSecond));
    ASSERT_TRUE(won.readable) << won.problem;
    ReplayRow row = replayRow(plain, won);
    EXPECT_EQ(row.mode, "One player");
    EXPECT_EQ(row.levels, "4") << "the level after the one before";
    EXPECT_EQ(row.result, "Won");
    EXPECT_EQ(row.length, "1:05");
    EXPECT_EQ(row.mark, "");
    EXPECT_EQ(replayRow(plain, summarizeReplay(recording(ReplayResult::RightWon, 1))).result,
              "Lost");
    EXPECT_EQ(
        replayRow(plain, summarizeReplay(recording(ReplayResult::Draw, 1, false, 4, true))).levels,
        "1");
    EXPECT_EQ(replayRow(plain, summarizeReplay(recording(ReplayResult::Stopped, 1))).result,
              "Left early");

    const ReplaySummary match = summarizeReplay(recording(ReplayResult::RightWon, 600, true, 0));
    row = replayRow({"kept-2026-12-10_14-15-52_001.vxr", 0, true, false}, match);
    EXPECT_EQ(row.mode, "Versus");
    EXPECT_EQ(row.levels, "1-3");
    EXPECT_EQ(row.result, "Right won");
    EXPECT_EQ(row.length, "0:12");
    EXPECT_EQ(row.mark, "Kept");
    EXPECT_EQ(replayRow({"fame-x.vxr", 0, true, true}, match).mark, "Fame");

    // A damaged file is named so, with nothing read from it.
    std::vector<uint8_t> bytes = recording(ReplayResult::LeftWon, 100);
    bytes[bytes.size() / 2] ^= 0x55;
    const ReplaySummary damaged = summarizeReplay(bytes);
    EXPECT_FALSE(damaged.readable);
    EXPECT_FALSE(damaged.problem.empty());
    row = replayRow(plain, damaged);
    EXPECT_EQ(row.mode, "Damaged");
    EXPECT_EQ(row.result, "");
    EXPECT_FALSE(summarizeReplay({}).readable);
}

// Whichever well topped out decides; with neither, the side whose well ran out lost, and a round
// left before either is no one's.
TEST(ReplayRows, ARoundsResultIsTheTopsOutsFirst) {
    if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    const Board open = quietBoard(0);
    Board out = quietBoard(0);
    topOut(out);
    EXPECT_EQ(roundResult(open, out, 0), ReplayResult::LeftWon);
    EXPECT_EQ(roundResult(out, open, 1), ReplayResult::RightWon);
    EXPECT_EQ(roundResult(out, out, 0), ReplayResult::Draw);
    EXPECT_EQ(roundResult(open, open, 0), ReplayResult::RightWon);
    EXPECT_EQ(roundResult(open, open, 1), ReplayResult::LeftWon);
    EXPECT_EQ(roundResult(open, open), ReplayResult::Stopped);
}

class ReplaysScreenTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        dir.enter();
    }
    void TearDown() override {
        PlayFixture::TearDown();
        updateDriver = nullptr;
    }
    // Each later file is newer.
    std::string add(const std::vector<uint8_t>& bytes, int second) {
        const std::string name = keepReplayFile(bytes, 1796911200 + second, 0);
        EXPECT_FALSE(name.empty());
        return name;
    }
    std::vector<std::string> shownNames() const {
        std::vector<std::string> names;
        for (const auto& entry : replaysState.entries) names.push_back(entry.file.name);
        return names;
    }
    TempDir dir;
};

TEST_F(ReplaysScreenTest, ListsNewestFirstKeepsAndRemovesOnlyAfterYes) {
    stateStack.push(&replaysState);
    EXPECT_TRUE(replaysState.entries.empty());
    pass();  // the empty page draws

    const std::string oldest = add(recording(ReplayResult::LeftWon, 600), 1);
    std::vector<uint8_t> broken = recording(ReplayResult::LeftWon, 600);
    broken.resize(broken.size() - 3);
    const std::string damaged = add(broken, 2);
    const std::string newest = add(recording(ReplayResult::RightWon, 900, true), 3);
    stateStack.pop();
    stateStack.push(&replaysState);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{newest, damaged, oldest}));
    EXPECT_FALSE(replaysState.entries[1].summary.readable);

    // The damaged one is not played: a reason shows instead.
    press(KeyDown);
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &replaysState);
    EXPECT_FALSE(replaysState.message.empty());

    // K keeps the oldest for good, and K again makes it ordinary.
    press(KeyDown);
    press(KEY_K);
    EXPECT_EQ(replaysState.selected, 2);
    EXPECT_TRUE(replaysState.entries[2].file.keptForGood);
    EXPECT_EQ(replaysState.entries[2].file.name, "kept-" + oldest);
    EXPECT_TRUE(fs::exists(fs::path(replayFolder) / ("kept-" + oldest)));

    // Delete asks; No and Esc keep it; Yes removes it.
    press(KEY_DEL);
    EXPECT_TRUE(replaysState.asking);
    press(KEY_N);
    EXPECT_FALSE(replaysState.asking);
    press(KEY_DEL);
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &replaysState);
    EXPECT_EQ(replaysState.entries.size(), 3u);
    press(KEY_DEL);
    press(KEY_Y);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{newest, damaged}));
    EXPECT_FALSE(fs::exists(fs::path(replayFolder) / ("kept-" + oldest)));
    EXPECT_EQ(replaysState.selected, 1);

    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &menu);
}

TEST_F(ReplaysScreenTest, OpenedAgainAfterANewRoundTheNewestIsChosen) {
    add(recording(ReplayResult::LeftWon, 600), 1);
    stateStack.push(&replaysState);
    press(KeyEsc);
    const std::string newest = add(recording(ReplayResult::RightWon, 600), 2);
    stateStack.push(&replaysState);
    ASSERT_EQ(replaysState.entries.size(), 2u);
    EXPECT_EQ(replaysState.selected, 0);
    EXPECT_EQ(replaysState.entries[0].file.name, newest);
    press(KeyEsc);
}

TEST_F(ReplaysScreenTest, ALongListScrollsWithTheSelection) {
    for (int i = 0; i < ReplaysState::shownRows + 5; ++i)
        add(recording(ReplayResult::Draw, 600), i);
    stateStack.push(&replaysState);
    for (int i = 0; i < ReplaysState::shownRows; ++i) press(KeyDown);
    EXPECT_EQ(replaysState.selected, ReplaysState::shownRows);
    EXPECT_EQ(replaysState.first, 1);
    press(KeyUp);
    press(KeyUp);
    EXPECT_EQ(replaysState.first, 1);
    for (int i = 0; i < ReplaysState::shownRows - 2; ++i) press(KeyUp);
    EXPECT_EQ(replaysState.selected, 0);
    EXPECT_EQ(replaysState.first, 0);
    press(KeyUp);  // round to the last
    EXPECT_EQ(replaysState.selected, ReplaysState::shownRows + 4);
    EXPECT_EQ(replaysState.first, 5);
}

TEST_F(ReplaysScreenTest, WatchingPlaysTheRoundAndEscComesBackToTheList) {
    if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    const fs::path golden =
        fs::path(VEXLORN_SOURCE_DIR) / "tests" / "data" / "replays" / "level1-won-late.vxr";
    std::ifstream in(golden, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    add(bytes, 1);
    roundRecorder.keepFiles = true;
    cheatMode = false;
    stateStack.push(&replaysState);
    press(KeyEnter);
    ASSERT_NE(updateDriver, nullptr) << replaysState.message;
    EXPECT_NE(stateStack.top(), &replaysState);
    EXPECT_FALSE(roundRecorder.keepFiles) << "watching keeps no recording";
    // A few seconds of the round, then Esc.
    for (int i = 0; i < 150; ++i) {
        tickCount = tickCount + 1;
        countedTicks = countedTicks + 1;
        updateDriver->runUpdate();
    }
    EXPECT_NE(stateStack.top(), &replaysState);
    lastKey = KeyEsc;
    updateDriver->runUpdate();
    EXPECT_EQ(stateStack.top(), &replaysState);
    EXPECT_EQ(updateDriver, nullptr);
    EXPECT_TRUE(roundRecorder.keepFiles);
    EXPECT_EQ(listReplays().size(), 1u) << "nothing new kept";
    roundRecorder.keepFiles = false;
}

// To its end: the last picture held over a screen of the viewer's own, whatever the round's end
// brought (a hall-of-fame screen would take the recorded game as the player's on closing), then
// the list again.
TEST_F(ReplaysScreenTest, AWatchedRoundEndsBackOnTheList) {
    if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    const fs::path golden =
        fs::path(VEXLORN_SOURCE_DIR) / "tests" / "data" / "replays" / "level1-lost-paused.vxr";
    std::ifstream in(golden, std::ios::binary);
    add({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}, 1);
    stateStack.push(&replaysState);
    press(KeyEnter);
    ASSERT_NE(updateDriver, nullptr) << replaysState.message;
    UpdateDriver* viewer = updateDriver;
    BaseState* heldOver = nullptr;  // on top while the last picture was held
    for (int i = 0; i < 200000 && updateDriver == viewer; ++i) {
        tickCount = tickCount + 1;
        countedTicks = countedTicks + 1;
        viewer->runUpdate();
        if (updateDriver == viewer) heldOver = stateStack.top();
    }
    ASSERT_NE(heldOver, nullptr);
    EXPECT_NE(heldOver, &continue1State) << "the round's end screen was on top while held";
    EXPECT_NE(heldOver, &game1State);
    EXPECT_EQ(stateStack.top(), &replaysState);
    EXPECT_EQ(updateDriver, nullptr);
}

}  // namespace
}  // namespace vexlorn
