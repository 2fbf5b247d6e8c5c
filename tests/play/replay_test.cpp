// Recorded rounds: the format read back exactly, damaged files refused, the golden recordings
// still ending on their boards, a round resumed at any update, and the kept files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/game_random.h"
#include "board/opponent.h"
#include "play/replay_playback.h"
#include "play/replay_recorder.h"
#include "play/round_snapshot.h"
#include "screens/continue1_state.h"
#include "screens/pause_state.h"
#include "test_support/play_fixture.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

namespace fs = std::filesystem;

const fs::path goldenFolder = fs::path(VEXLORN_SOURCE_DIR) / "tests" / "data" / "replays";

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> goldenReplays() {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(goldenFolder, error)) {
        if (entry.path().extension() == ".vxr") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A finished recording with the checksum made right again after an edit, so that the reader's
// other checks are the ones that must refuse it.
void resum(std::vector<uint8_t>& bytes) {
    uint32_t sum = 2166136261u;
    for (size_t i = 0; i + 4 < bytes.size(); ++i) sum = (sum ^ bytes[i]) * 16777619u;
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<uint8_t>(sum >> (8 * i));
}

ReplayHeader someHeader() {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.newGame = true;
    header.seeds[0] = 1234;
    header.seeds[1] = 99;
    header.boards[0] = {2, 5000, 1};
    return header;
}

std::vector<uint8_t> recordingOf(const std::vector<ReplayUpdate>& updates, uint64_t hash = 7) {
    ReplayWriter writer;
    writer.begin(someHeader());
    for (const ReplayUpdate& update : updates) writer.add(update);
    return writer.finish(hash);
}

TEST(ReplayFormat, UpdatesComeBackAsWrittenAndQuietCyclesCostNothing) {
    std::mt19937 random(5);
    std::vector<ReplayUpdate> updates;
    for (int i = 0; i < 20000; ++i) {
        const int roll = static_cast<int>(random() % 100);
        ReplayUpdate update;
        update.ticks = i % 2 == 0 ? (roll < 90 ? 1 : static_cast<int>(random() % 40)) : 0;
        if (roll > 95) update.keys[0] = static_cast<int>(random() % 256);
        if (roll == 3) update.keys[1] = 1 + static_cast<int>(random() % 255);
        if (roll == 50) update.ticks = mostTicksPerUpdate;
        updates.push_back(update);
    }
    ReplayReader reader;
    std::string error;
    ASSERT_TRUE(reader.open(recordingOf(updates, 0xfeedbeefcafe), error)) << error;
    EXPECT_EQ(reader.hash(), 0xfeedbeefcafeu);
    EXPECT_EQ(reader.header().seeds[0], 1234u);
    EXPECT_EQ(reader.header().boards[0].score, 5000);
    std::vector<ReplayUpdate> read;
    for (ReplayUpdate update; reader.next(update);) read.push_back(update);
    EXPECT_TRUE(read == updates);

    // A minute of play without a key: 3000 ticked updates, each followed by a quiet one.
    std::vector<ReplayUpdate> quiet;
    for (int i = 0; i < 6000; ++i) quiet.push_back(ReplayUpdate{i % 2 == 0 ? 1 : 0, {0, 0}});
    EXPECT_LT(recordingOf(quiet).size(), 80u);
}

// Every cut and every changed byte of a real recording is refused, and so is each way a file
// with a right checksum can still lie; none of them plays.
TEST(ReplayFormat, DamagedOrHostileRecordingsAreRefused) {
    std::vector<ReplayUpdate> updates;
    for (int i = 0; i < 300; ++i) updates.push_back(ReplayUpdate{i % 2, {i % 37 == 0 ? 84 : 0, 0}});
    const std::vector<uint8_t> good = recordingOf(updates);
    std::string error;
    ASSERT_TRUE(ReplayReader().open(good, error));
    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_FALSE(ReplayReader().open(cut, error)) << "cut to " << length;
    }
    for (size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> changed = good;
        changed[at] ^= 0x24;
        error.clear();
        EXPECT_FALSE(ReplayReader().open(changed, error)) << "byte " << at;
        EXPECT_FALSE(error.empty());
    }

    std::vector<uint8_t> otherVersion = good;
    otherVersion[7] = '9';  // the first character of the game's version
    resum(otherVersion);
    EXPECT_FALSE(ReplayReader().open(otherVersion, error));
    EXPECT_NE(error.find("version"), std::string::npos) << error;

    // The updates' tokens start after the fixed header: magic, format, version, flags, rise
    // clock, two boards, two seeds, start time.
    const size_t tokens = 4 + 2 + 1 + std::string(gameVersion()).size() + 1 + 4 + 2 * 8 + 8 + 8;
    const std::vector<std::vector<uint8_t>> hostileTokens = {
        {0x02, 0x05},                                // repeats two updates where there are none
        {0x10, 0x01, 0xff, 0xff, 0xff, 0xff, 0x0f},  // a run of four billion updates
        {0x10, 0x01, 0x00},                          // a run of none
        {0x20, 0x01, 0x80, 0x02, 0x00},              // a key past one byte
        {0x20, 0xff, 0xff, 0x7f, 0x00, 0x00},        // a pass two million ticks late
        {0x20, 0x01, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01},  // a number past 32 bits
        {0x7f},                                            // no such token
    };
    for (const auto& body : hostileTokens) {
        std::vector<uint8_t> hostile(good.begin(), good.begin() + static_cast<long>(tokens));
        hostile.insert(hostile.end(), body.begin(), body.end());
        hostile.push_back(0x00);
        hostile.insert(hostile.end(), good.end() - 16, good.end());
        resum(hostile);
        EXPECT_FALSE(ReplayReader().open(hostile, error)) << "token " << int(body[0]);
    }
    std::vector<uint8_t> miscounted = good;
    miscounted[miscounted.size() - 16] ^= 1;  // the number of updates
    resum(miscounted);
    EXPECT_FALSE(ReplayReader().open(miscounted, error));

    std::vector<uint8_t> huge = good;
    huge.resize(largestReplayFile + 1);
    EXPECT_FALSE(ReplayReader().open(huge, error));
}

class ReplayTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        if (!boardRulesBuilt()) GTEST_SKIP() << "the board rules are not built yet";
    }
    void TearDown() override {
        PlayFixture::TearDown();
        cheatMode = false;
    }
};

// The rounds the golden recordings were made from: every level, won and lost, chains, bombs and
// stones, pauses, passes late by several ticks, the level-skip key and Esc.
struct Script {
    const char* name;
    int level;
    unsigned seeds[2];
    enum { Idle, Random, Smart } player;
    int lateEvery;  // every n-th ticked pass comes late; 0: none
    int pauseAt;    // a pause at this pass, for a few seconds; 0: none
    int stopAt;     // Esc, or with cheat the level-skip key, at this pass; 0: none
    bool cheat;
};

// Seeds spread over the whole range: boards from nearby seeds start alike.
constexpr unsigned spread(unsigned n) {
    return n * 7919u;
}
constexpr unsigned spreadToo(unsigned n) {
    return n * 104729u;
}

const Script scripts[] = {
    {"level1-won-late", 0, {spread(1), spreadToo(1)}, Script::Smart, 4, 400, 0, false},
    {"level1-lost-paused", 0, {spread(5), spreadToo(5)}, Script::Idle, 0, 600, 0, false},
    {"level2-won-paused", 1, {spread(1), spreadToo(1)}, Script::Smart, 0, 400, 0, false},
    {"level2-random-paused", 1, {31, 32}, Script::Random, 0, 900, 0, false},
    {"level3-won-late", 2, {spread(1), spreadToo(1)}, Script::Smart, 4, 400, 0, false},
    {"level3-random-late", 2, {61, 62}, Script::Random, 7, 0, 0, false},
    {"level4-won-paused", 3, {spread(1), spreadToo(1)}, Script::Smart, 0, 400, 0, false},
    {"level4-lost-late", 3, {81, 82}, Script::Idle, 11, 0, 0, false},
    {"level5-won-late", 4, {spread(46), spreadToo(46)}, Script::Smart, 4, 400, 0, false},
    {"level5-random-late", 4, {101, 102}, Script::Random, 2, 150, 0, false},
    {"level5-skip", 4, {111, 112}, Script::Smart, 0, 0, 1200, true},
    {"level2-esc", 1, {121, 122}, Script::Random, 4, 600, 3000, false},
};

const int arrowFor[directionCount] = {KeyUp, KeyRight, KeyDown, KeyLeft};

// Plays a scripted round through the recorder as the frame loop would (a ticked pass, then one
// between ticks; keys read after each update) and returns its recording.
std::vector<uint8_t> playScript(const Script& script) {
    newGameFlag = script.level == 0 ? 1 : 0;
    cheatMode = script.cheat;
    if (leftBoard == nullptr) leftBoard = new Board{};
    if (rightBoard == nullptr) rightBoard = new Board{};
    for (Board* board : {leftBoard, rightBoard}) {
        board->level = static_cast<int16_t>(script.level - 1);
        board->score = script.level * 1000;
        board->continues = 2;
    }
    queueBoardSeeds(script.seeds[0], script.seeds[1]);
    stateStack.push(&game1State);
    std::mt19937 random(script.seeds[0]);
    int lastDirection = 0;
    int pausedSince = 0;
    for (int pass = 1; pass < 40000 && roundRecorder.recording(); ++pass) {
        const bool ticked = pass % 2 == 0;
        const bool late = ticked && script.lateEvery > 0 && (pass / 2) % script.lateEvery == 0;
        tickCount = tickCount + (late ? 2 + static_cast<int>(random() % 3) : ticked ? 1 : 0);
        roundRecorder.runUpdate();
        lastKey = 0;
        if (stateStack.top() == &pauseState) {
            if (pass - pausedSince > 250) lastKey = KeySpace;
            continue;
        }
        if (stateStack.top() != &game1State) continue;
        if (pass == script.pauseAt) {
            lastKey = KeyP;
            pausedSince = pass;
        } else if (pass == script.stopAt) {
            lastKey = script.cheat ? KeyPlusPad : KeyEsc;
        } else if (script.player == Script::Random && random() % 12 == 0) {
            lastKey = arrowFor[random() % directionCount];
        } else if (script.player == Script::Smart && pass % 2 == 1 &&
                   leftBoard->at(leftBoard->avatarCol, leftBoard->avatarRow).state == Idle) {
            // The opponent's own search plays the left well; its draws must not touch the game's.
            const uint32_t drawn = gameRandomState();
            lastDirection = chooseAiDirection(*leftBoard, lastDirection);
            setGameRandomState(drawn);
            lastKey = arrowFor[lastDirection];
        }
    }
    if (roundRecorder.recording()) {
        lastKey = KeyEsc;
        roundRecorder.runUpdate();
    }
    return roundRecorder.lastRound();
}

// Run by hand (--gtest_also_run_disabled_tests) when the rules change on purpose: writes the
// golden recordings anew.
TEST_F(ReplayTest, DISABLED_WriteGoldenReplays) {
    fs::create_directories(goldenFolder);
    for (const Script& script : scripts) {
        const std::vector<uint8_t> bytes = playScript(script);
        std::ofstream(goldenFolder / (std::string(script.name) + ".vxr"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        const bool leftOut = isToppedOut(*leftBoard);
        const bool rightOut = isToppedOut(*rightBoard);
        int stones = 0;
        int bombs = 0;
        for (const Board* board : {leftBoard, rightBoard}) {
            for (const auto& column : board->cells) {
                for (const Cell& cell : column) {
                    stones += cell.kind == Stone;
                    bombs += cell.kind == Bomb;
                }
            }
        }
        std::printf("%-22s %6zu bytes, score %6d/%6d, stones %d, bombs %d, %s\n", script.name,
                    bytes.size(), leftBoard->score, rightBoard->score, stones, bombs,
                    rightOut && !leftOut ? "won"
                    : leftOut            ? "lost"
                                         : "stopped");
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

// Each golden recording, replayed through the real play screen, ends its round with its last
// update and on the boards it recorded. A change to the rules, the generator, the opponent or the
// play screen's order of steps shows here.
TEST_F(ReplayTest, GoldenRecordingsEndOnTheirRecordedBoards) {
    const std::vector<fs::path> paths = goldenReplays();
    ASSERT_GE(paths.size(), 12u);
    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.filename().string());
        ReplayPlayer player;
        std::string error;
        ASSERT_TRUE(player.start(readBytes(path), error)) << error;
        while (player.step()) {
        }
        EXPECT_TRUE(player.matched());
        EXPECT_EQ(player.exitStatus(), 0);
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

// The scripted rounds recorded again give their golden recordings update for update: what the
// recorder keeps has not changed, nor has what the rounds do with the same keys.
TEST_F(ReplayTest, ScriptedRoundsRecordTheirGoldenRecordingsAgain) {
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        ReplayReader golden;
        ReplayReader again;
        std::string error;
        ASSERT_TRUE(
            golden.open(readBytes(goldenFolder / (std::string(script.name) + ".vxr")), error))
            << error;
        ASSERT_TRUE(again.open(playScript(script), error)) << error;
        EXPECT_EQ(again.hash(), golden.hash());
        ASSERT_EQ(again.updates(), golden.updates());
        ReplayUpdate a;
        ReplayUpdate b;
        for (uint32_t i = 0; again.next(a) && golden.next(b); ++i) ASSERT_TRUE(a == b) << i;
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

// The round's state taken before any update and put back gives the same update again: nothing
// the round depends on lies outside the snapshot.
TEST_F(ReplayTest, ARoundRestoredAtAnyUpdateRunsThatUpdateAlike) {
    const std::vector<fs::path> paths = goldenReplays();
    ASSERT_FALSE(paths.empty());
    ASSERT_GE(paths.size(), 12u);
    for (const fs::path& path : {paths[1], paths[4], paths.back()}) {
        SCOPED_TRACE(path.filename().string());
        const std::vector<uint8_t> bytes = readBytes(path);
        ReplayPlayer player;
        ReplayReader reader;
        std::string error;
        ASSERT_TRUE(player.start(bytes, error)) << error;
        ASSERT_TRUE(reader.open(bytes, error));
        int checked = 0;
        for (ReplayUpdate update; roundRecorder.recording() && reader.next(update);) {
            tickCount = lastTickCount + update.ticks;
            lastKey = update.keys[0];
            if (stateStack.top() != &game1State) {
                stateStack.updateTop();
                continue;
            }
            const RoundSnapshot before = takeRoundSnapshot();
            stateStack.updateTop();
            if (stateStack.top() != &game1State) continue;
            const RoundSnapshot once = takeRoundSnapshot();
            restoreRoundSnapshot(before);
            stateStack.updateTop();
            ASSERT_TRUE(sameRound(once, takeRoundSnapshot())) << "update " << checked;
            ++checked;
        }
        EXPECT_GT(checked, 100);
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

TEST_F(ReplayTest, EveryFinishedRoundIsKeptAndOnlyTheNewestOrdinaryOnes) {
    TempDir dir;
    dir.enter();
    roundRecorder.keepFiles = true;
    const Script& script = scripts[10];  // the level-skip round: short
    std::vector<std::string> names;
    for (int round = 0; round < keptOrdinaryReplays + 5; ++round) {
        playScript(script);
        names.push_back(roundRecorder.lastFile());
        if (round == 2) roundRecorder.keepLastRoundForHallOfFame();
        stateStack.popAll();
        stateStack.push(&menu);
    }
    roundRecorder.keepFiles = false;
    ASSERT_EQ(names.size(), static_cast<size_t>(keptOrdinaryReplays + 5));
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(replayFolder)) {
        kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end());
    // Twenty ordinary ones, the newest, and the hall of fame's; nothing half-written.
    EXPECT_EQ(kept.size(), static_cast<size_t>(keptOrdinaryReplays + 1));
    EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), "fame-" + names[2]));
    EXPECT_EQ(kept.front().rfind("20", 0), 0u);
    EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), names.back()));
    EXPECT_FALSE(std::binary_search(kept.begin(), kept.end(), names[0]));
    for (const std::string& name : kept) EXPECT_EQ(name.find(".part"), std::string::npos);
    // And each file is the round as recorded.
    ReplayPlayer player;
    std::string error;
    ASSERT_TRUE(player.start(readBytes(fs::path(replayFolder) / names.back()), error)) << error;
    while (player.step()) {
    }
    EXPECT_TRUE(player.matched());
}

// What a list of recordings is built on: a recording kept for good outlives any number of new
// ones and is ordinary again with one call; files the game did not name are neither listed nor
// removed; a round shorter than the shortest kept one leaves no file.
TEST_F(ReplayTest, KeptRecordingsOutliveNewOnesAndShortRoundsLeaveNone) {
    TempDir dir;
    dir.enter();
    const std::vector<uint8_t> bytes(32, 7);
    const std::string first = keepReplayFile(bytes, 1796911200, 1);
    ASSERT_FALSE(first.empty());
    const std::string kept = keepReplay(first, true);
    EXPECT_EQ(kept, "kept-" + first);
    std::ofstream(fs::path(replayFolder) / "notes.vxr") << "mine";
    for (int round = 0; round < keptOrdinaryReplays + 5; ++round) {
        ASSERT_FALSE(keepReplayFile(bytes, 1796911200 + round, 2).empty());
    }
    std::vector<ReplayFile> list = listReplays();
    ASSERT_EQ(list.size(), static_cast<size_t>(keptOrdinaryReplays + 1));
    for (size_t i = 1; i < list.size(); ++i) EXPECT_GE(list[i - 1].modified, list[i].modified);
    const auto isKept = [&kept](const ReplayFile& file) { return file.name == kept; };
    const auto found = std::find_if(list.begin(), list.end(), isKept);
    ASSERT_NE(found, list.end()) << "the kept recording was pruned";
    EXPECT_TRUE(found->keptForGood);
    EXPECT_FALSE(found->hallOfFame);
    EXPECT_FALSE(removeReplay("notes.vxr"));
    EXPECT_TRUE(fs::exists(fs::path(replayFolder) / "notes.vxr"));

    // Ordinary again, it is the oldest, and the next new one takes its place.
    EXPECT_EQ(keepReplay(kept, false), first);
    ASSERT_FALSE(keepReplayFile(bytes, 1796911300, 3).empty());
    EXPECT_FALSE(fs::exists(fs::path(replayFolder) / first));
    EXPECT_EQ(listReplays().size(), static_cast<size_t>(keptOrdinaryReplays));
    EXPECT_TRUE(removeReplay(listReplays().back().name));

    roundRecorder.keepFiles = true;
    Script quick = scripts[11];  // Esc, 2 s before the shortest kept round
    quick.pauseAt = 0;
    quick.lateEvery = 0;
    quick.stopAt = shortestKeptRoundSeconds * ticksPerSecond * 2 - 200;
    playScript(quick);
    roundRecorder.keepFiles = false;
    EXPECT_EQ(roundRecorder.lastFile(), "");
    EXPECT_EQ(listReplays().size(), static_cast<size_t>(keptOrdinaryReplays - 1));
    stateStack.popAll();
    stateStack.push(&menu);
}

}  // namespace
}  // namespace vexlorn
