// Online rounds between two sides in one process, joined by a simulated network: whatever the
// network does, both sides end every round as the same keys played at one computer end it, and
// record it byte for byte alike; a side whose round drifts is caught at the next hash exchange;
// messages from a hostile peer are refused or change nothing.
#include "play/online_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "board/effects.h"
#include "board/game_random.h"
#include "frame/task_list.h"
#include "play/match.h"
#include "play/online_message.h"
#include "play/online_round.h"
#include "play/replay_playback.h"
#include "play/versus_state.h"
#include "test_support/board_positions.h"
#include "test_support/play_fixture.h"
#include "test_support/sim_link.h"

namespace vexlorn {
namespace {

// A player pressing a direction now and then, the same on every run of the same seed.
uint8_t scriptKey(uint32_t seed, int side, uint32_t update) {
    uint32_t x = seed * 2654435761u ^ (update + 1) * 40503u ^ static_cast<uint32_t>(side) * 97u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return x % 6 == 0 ? static_cast<uint8_t>(1 + (x >> 8) % 4) : noOnlineKey;
}

ReplayHeader roundStart(uint32_t seed, int round) {
    ReplayHeader start;
    start.gameVersion = gameVersion();
    start.seats[LeftSide] = start.seats[RightSide] = static_cast<uint8_t>(SlotSource::Pad);
    start.boards[LeftSide].level = static_cast<int16_t>(4 - (seed + round) % 2);
    start.boards[RightSide].level = 4;
    start.seeds[0] = seed * 7919u + static_cast<uint32_t>(round);
    start.seeds[1] = seed * 104729u + static_cast<uint32_t>(round) * 3u;
    start.startTime = 1700000000 + round;  // the host's clock
    return start;
}

struct RoundOutcome {
    std::vector<uint8_t> recording;
    int winner = -2;
    uint32_t updates = 0;
};

constexpr uint32_t longestScriptedRound = 20000;

RoundOutcome playOffline(const ReplayHeader& start, uint32_t seed) {
    auto round = std::make_unique<OnlineRound>();
    round->begin(start);
    RoundOutcome outcome;
    for (uint32_t update = 0; update < longestScriptedRound; ++update) {
        const uint8_t keys[2] = {scriptKey(seed, LeftSide, update),
                                 scriptKey(seed, RightSide, update)};
        round->keepUpdate(update, keys);
        outcome.updates = update + 1;
        if (!round->advanceRound(keys, false)) break;
    }
    outcome.recording = round->finishRecording();
    outcome.winner = round->winner();
    return outcome;
}

// A round whose random state is nudged whenever it runs one chosen update, as a fault that
// makes one side's round drift would.
class NudgedRound : public OnlineRound {
public:
    void saveRound(uint32_t update) override {
        running_ = update;
        OnlineRound::saveRound(update);
    }
    bool advanceRound(const uint8_t keys[2], bool again) override {
        if (running_ == nudgeAt) state().random ^= 0x2545u;
        return OnlineRound::advanceRound(keys, again);
    }
    uint32_t nudgeAt = UINT32_MAX;

private:
    uint32_t running_ = 0;
};

struct OnlineSide {
    explicit OnlineSide(int side) : session(round, side), local(side) {}
    NudgedRound round;
    OnlineSession session;
    int local;
    SessionStep last = SessionStep::Advanced;
    int waited = 0;
    int slowed = 0;
    int bytesSent = 0;
};

struct OnlineRun {
    std::unique_ptr<OnlineSide> sides[2];
    RoundOutcome outcomes[2];
    int64_t endMs = 0;
};

// Both sides' clocks tick 50 times a second, the second side's a little fast and started a
// little late; each sends one message per tick.
OnlineRun playOnline(const ReplayHeader& start, uint32_t seed, const LinkProfile& profile,
                     uint32_t nudgeAt = UINT32_MAX, int nudgedSide = 0) {
    OnlineRun run;
    SimLink links[2] = {SimLink(profile, seed * 2 + 1), SimLink(profile, seed * 2 + 2)};
    for (int side = 0; side < 2; ++side) {
        run.sides[side] = std::make_unique<OnlineSide>(side);
        run.sides[side]->round.begin(start);
    }
    run.sides[nudgedSide]->round.nudgeAt = nudgeAt;
    const int64_t periodUs[2] = {20000, 19950};
    int64_t nextTickUs[2] = {0, 1000 * static_cast<int64_t>(seed % 37)};
    const int64_t lastMs = 20 * int64_t{longestScriptedRound} * 3;
    for (int64_t ms = 0; ms < lastMs; ++ms) {
        for (int side = 0; side < 2; ++side) {
            OnlineSession& receiver = run.sides[1 - side]->session;
            links[side].deliver(ms, [&](const uint8_t* data, size_t size) {
                EXPECT_TRUE(receiver.receive(data, size));
            });
        }
        for (int side = 0; side < 2; ++side) {
            if (ms * 1000 < nextTickUs[side]) continue;
            nextTickUs[side] += periodUs[side];
            OnlineSide& self = *run.sides[side];
            self.last = self.session.tick(scriptKey(seed, side, self.session.update()));
            // Waiting at the end for the other side's keys to settle it is not a stall.
            if (self.session.waitingTicks() > 0) ++self.waited;
            if (self.last == SessionStep::Slowed) ++self.slowed;
            uint8_t message[largestKeysMessage];
            const size_t size = self.session.message(message);
            self.bytesSent += static_cast<int>(size);
            links[side].send(message, size, ms);
        }
        const SessionStep a = run.sides[0]->last;
        const SessionStep b = run.sides[1]->last;
        const bool over = [](SessionStep step) {
            return step == SessionStep::Ended || step == SessionStep::Desynced;
        }(a) && (b == SessionStep::Ended || b == SessionStep::Desynced);
        if (over) {
            run.endMs = ms;
            break;
        }
    }
    for (int side = 0; side < 2; ++side) {
        OnlineSide& self = *run.sides[side];
        run.outcomes[side].recording = self.round.finishRecording();
        run.outcomes[side].winner = self.round.winner();
        run.outcomes[side].updates = self.session.update();
    }
    return run;
}

struct NamedProfile {
    const char* name;
    LinkProfile link;
};

const NamedProfile profiles[] = {
    {"same machine", {0, 0, 0, 0, 0}},
    {"LAN", {2, 3, 0, 1, 1}},
    {"150 ms round trip, 20 ms jitter, 2% loss", {75, 10, 2, 0, 0}},
    {"250 ms round trip, bad line", {125, 25, 10, 5, 10}},
    {"300 ms round trip, worse line", {150, 40, 20, 10, 20}},
};

TEST(OnlineSessionTest, EveryRoundOfAMatchEndsOnBothSidesAsItsOfflineRunAndIsRecordedAlike) {
    for (const NamedProfile& profile : profiles) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(std::string(profile.name) + ", seed " + std::to_string(seed));
            MatchTally tallies[2];
            for (int round = 0; !tallies[0].over() && round < 6; ++round) {
                const ReplayHeader start = roundStart(seed, round);
                const RoundOutcome offline = playOffline(start, seed);
                ASSERT_LT(offline.updates, longestScriptedRound) << "the script ends its rounds";
                const OnlineRun online = playOnline(start, seed, profile.link);
                for (int side = 0; side < 2; ++side) {
                    const OnlineSide& self = *online.sides[side];
                    ASSERT_EQ(self.last, SessionStep::Ended) << "side " << side;
                    EXPECT_EQ(online.outcomes[side].updates, offline.updates);
                    EXPECT_EQ(online.outcomes[side].winner, offline.winner);
                    EXPECT_TRUE(online.outcomes[side].recording == offline.recording)
                        << "side " << side << "'s recording differs";
                    EXPECT_FALSE(self.session.desynced());
                    tallies[side].addRound(online.outcomes[side].winner);
                }
            }
            EXPECT_TRUE(tallies[0].over());
            EXPECT_EQ(tallies[0].matchWinner(), tallies[1].matchWinner());
        }
    }
}

TEST(OnlineSessionTest, UpTo150MsRoundTripPlayNeverWaitsAndTheSideAheadSlowsDown) {
    const ReplayHeader start = roundStart(11, 0);
    const OnlineRun run = playOnline(start, 11, profiles[2].link);
    for (int side = 0; side < 2; ++side) {
        const OnlineSide& self = *run.sides[side];
        ASSERT_EQ(self.last, SessionStep::Ended);
        EXPECT_EQ(self.waited, 0) << "side " << side;
        EXPECT_GT(self.session.longestRollback(), 0) << "keys were guessed and put right";
        EXPECT_LE(self.session.longestRollback(), mostGuessedUpdates);
        // Under four kilobytes a second each way, with room for the transport's own bytes.
        EXPECT_LT(self.bytesSent * 1000 / std::max<int64_t>(run.endMs, 1), 2500);
    }
    // The second side's clock runs fast: it is the one held back, and only now and then.
    const OnlineSide& fast = *run.sides[1];
    EXPECT_GT(fast.slowed, 0);
    EXPECT_LE(fast.slowed * slowingSpacing, static_cast<int>(fast.session.update()));
    EXPECT_LE(run.sides[0]->slowed, fast.slowed);
}

TEST(OnlineSessionTest, ARoundThatDriftsOnOneSideIsCaughtAtTheNextCheckOnBothSides) {
    for (uint32_t nudgeAt : {7u, 50u, 123u}) {
        for (int nudged = 0; nudged < 2; ++nudged) {
            SCOPED_TRACE("nudged at " + std::to_string(nudgeAt) + " on side " +
                         std::to_string(nudged));
            const ReplayHeader start = roundStart(5, 0);
            ASSERT_GT(playOffline(start, 5).updates, 200u);
            const OnlineRun run = playOnline(start, 5, profiles[3].link, nudgeAt, nudged);
            const uint32_t expected = (nudgeAt / checkInterval + 1) * checkInterval;
            // The two sides' dumps show where they part.
            EXPECT_NE(describeRound(run.sides[0]->round.state()),
                      describeRound(run.sides[1]->round.state()));
            for (int side = 0; side < 2; ++side) {
                const OnlineSession& session = run.sides[side]->session;
                ASSERT_EQ(run.sides[side]->last, SessionStep::Desynced) << "side " << side;
                EXPECT_EQ(session.desyncUpdate(), expected);
                EXPECT_LE(session.desyncUpdate() - nudgeAt, checkInterval);
            }
        }
    }
}

// A session facing messages no honest peer sends: it neither trusts their numbers nor lets
// them move the round.
TEST(OnlineSessionTest, HostileMessagesAreRefusedOrChangeNothing) {
    auto round = std::make_unique<OnlineRound>();
    round->begin(roundStart(3, 0));
    OnlineSession session(*round, LeftSide);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(session.tick(noOnlineKey), SessionStep::Advanced);

    uint8_t bytes[largestKeysMessage + 8];
    // A late message of the round before, however plausible, is not this round's.
    KeysMessage late;
    late.round = 1;
    late.count = 3;
    late.keys[0] = 2;
    late.received = 5;
    ASSERT_TRUE(session.receive(bytes, encodeKeysMessage(late, bytes)));
    EXPECT_EQ(session.settled(), 0u);
    KeysMessage lie;
    lie.firstUpdate = 2;  // past a gap: the keys of 0 and 1 are missing
    lie.count = mostKeysPerMessage;
    lie.received = largestUpdateNumber;  // claims every key this side will ever send
    lie.update = largestUpdateNumber;
    lie.checkedUpdate = largestUpdateNumber - 1;
    ASSERT_TRUE(session.receive(bytes, encodeKeysMessage(lie, bytes)));
    EXPECT_EQ(session.settled(), 0u);
    uint8_t reply[largestKeysMessage];
    KeysMessage sent;
    ASSERT_TRUE(decodeKeysMessage(reply, session.message(reply), sent));
    EXPECT_EQ(sent.firstUpdate, 5u) << "no more acknowledged than was sent";
    EXPECT_EQ(sent.count, 0);

    // Keys for updates far ahead are not taken: the side cannot be that far ahead.
    KeysMessage ahead;
    ahead.count = mostKeysPerMessage;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(session.receive(bytes, encodeKeysMessage(ahead, bytes)));
        ahead.firstUpdate += mostKeysPerMessage;
    }
    // Of the first message only the keys up to where the other side can be are taken.
    EXPECT_EQ(session.settled(), 5u);
    const uint32_t reachable = 5 + mostGuessedUpdates + 1;
    // The round waits for the other side rather than run on guesses forever.
    int advanced = 0;
    for (int i = 0; i < 100; ++i) advanced += session.tick(1) == SessionStep::Advanced;
    EXPECT_EQ(session.update(), reachable + mostGuessedUpdates);
    EXPECT_GT(advanced, 0);
    EXPECT_FALSE(session.desynced());

    // Garbage is refused whole.
    uint32_t noise = 99;
    for (int i = 0; i < 2000; ++i) {
        const size_t size = i % (largestKeysMessage + 8);
        for (size_t at = 0; at < size; ++at) {
            noise = noise * 1103515245u + 12345u;
            bytes[at] = static_cast<uint8_t>(noise >> 16);
        }
        if (size > 0 && i % 2 == 0) bytes[0] = static_cast<uint8_t>(OnlineMessageType::Keys);
        session.receive(bytes, size);
    }
    EXPECT_EQ(session.update(), reachable + mostGuessedUpdates);
}

// Either side's recording of an online round, given to -replay, ends on the recorded boards.
class OnlineReplayTest : public PlayFixture {};

TEST_F(OnlineReplayTest, AnOnlineRoundsRecordingPlaysAgainToItsRecordedEnd) {
    for (uint32_t seed : {2u, 9u}) {
        const RoundOutcome offline = playOffline(roundStart(seed, 1), seed);
        ReplayReader reader;
        std::string error;
        ASSERT_TRUE(reader.open(offline.recording, error)) << error;
        EXPECT_TRUE(reader.header().online);
        ReplayPlayer player;
        ASSERT_TRUE(player.start(offline.recording, error)) << error;
        while (player.step()) {
        }
        EXPECT_TRUE(player.matched()) << "seed " << seed;
        EXPECT_TRUE(versusState.getReady) << "a local match after it has its get-ready screen";
        stateStack.popAll();
        stateStack.push(&menu);
    }
}

// A well whose first group clears by itself and whose falling blocks then chain twice, under
// stones that rise into it.
Board chainingWell() {
    Board board = emptyBoard(0);
    for (int row = windowEnd(board); row < boardRows; ++row) {
        for (int column = 0; column < boardColumns; ++column) putCell(board, column, row, Stone);
    }
    setRows(board, 9,
            {".....2",  //
             ".....1",  //
             "...331",  //
             "@.3221"});
    return board;
}

// The x of every chain pop-up of a round where one side's well chains, seen from one side.
std::vector<int> chainPopUpsSeenFrom(int leftShown, int chainingSide) {
    taskList.clear();
    OnlineRound round;
    round.begin(roundStart(9, 1));
    round.showOnLeft(leftShown);
    round.state().boards[chainingSide] = chainingWell();
    round.state().boards[1 - chainingSide] = quietBoard(0);
    std::vector<int> xs;
    const uint8_t keys[2] = {noOnlineKey, noOnlineKey};
    for (int update = 0; update < 400; ++update) {
        const int before = taskList.size();
        if (!round.advanceRound(keys, false)) break;
        if (taskList.size() == before) continue;
        BaseTask* task = taskList.first();
        while (task->next != nullptr) task = task->next;
        if (auto* popUp = dynamic_cast<FloatTask*>(task)) xs.push_back(popUp->x);
    }
    taskList.clear();
    return xs;
}

// The joiner plays the right seat but sees its own well on the left: its chains' pop-ups rise
// over that well, the host's over the other.
TEST_F(OnlineReplayTest, EachSideSeesItsOwnChainsPopUpOverItsOwnWell) {
    const int leftWell = chainPopUpsSeenFrom(LeftSide, LeftSide).at(0);
    const int rightWell = chainPopUpsSeenFrom(LeftSide, RightSide).at(0);
    EXPECT_LT(leftWell, screenWidth / 2);
    EXPECT_GT(rightWell, screenWidth / 2);
    EXPECT_EQ(chainPopUpsSeenFrom(LeftSide, LeftSide), std::vector<int>(2, leftWell));
    EXPECT_EQ(chainPopUpsSeenFrom(RightSide, RightSide), std::vector<int>(2, leftWell));
    EXPECT_EQ(chainPopUpsSeenFrom(RightSide, LeftSide), std::vector<int>(2, rightWell));
}

TEST(OnlineMessageTest, KeysMessagesReadBackAndEveryBoundIsChecked) {
    KeysMessage message;
    message.firstUpdate = largestUpdateNumber - mostKeysPerMessage;
    message.count = mostKeysPerMessage;
    for (int i = 0; i < mostKeysPerMessage; ++i) message.keys[i] = i % (largestOnlineKey + 1);
    message.received = 77;
    message.update = 1234;
    message.lead = -3;
    message.checkedUpdate = 1200;
    message.checkedHash = 0x0123456789abcdefull;
    uint8_t bytes[largestKeysMessage + 1];
    const size_t size = encodeKeysMessage(message, bytes);
    ASSERT_EQ(size, largestKeysMessage);
    KeysMessage back;
    ASSERT_TRUE(decodeKeysMessage(bytes, size, back));
    EXPECT_EQ(back.firstUpdate, message.firstUpdate);
    EXPECT_EQ(back.count, message.count);
    EXPECT_EQ(back.keys[mostKeysPerMessage - 1], message.keys[mostKeysPerMessage - 1]);
    EXPECT_EQ(back.lead, -3);
    EXPECT_EQ(back.checkedHash, message.checkedHash);

    for (size_t cut = 0; cut < size; ++cut) EXPECT_FALSE(decodeKeysMessage(bytes, cut, back));
    bytes[size] = 0;
    EXPECT_FALSE(decodeKeysMessage(bytes, size + 1, back)) << "trailing bytes";

    const auto refused = [&](auto change) {
        KeysMessage bad = message;
        change(bad);
        uint8_t out[largestKeysMessage];
        const size_t length = encodeKeysMessage(bad, out);
        KeysMessage read;
        return !decodeKeysMessage(out, length, read);
    };
    EXPECT_TRUE(refused([](KeysMessage& m) { m.keys[5] = largestOnlineKey + 1; }));
    EXPECT_TRUE(refused([](KeysMessage& m) { m.firstUpdate += 1; }));
    EXPECT_TRUE(refused([](KeysMessage& m) { m.update = largestUpdateNumber + 1; }));
    EXPECT_TRUE(refused([](KeysMessage& m) { m.received = largestUpdateNumber + 1; }));
    EXPECT_TRUE(refused([](KeysMessage& m) { m.checkedUpdate = largestUpdateNumber + 1; }));
    bytes[6] = mostKeysPerMessage + 1;  // the count
    EXPECT_FALSE(decodeKeysMessage(bytes, size, back));
    bytes[6] = mostKeysPerMessage;
    bytes[0] = 0x7f;
    EXPECT_FALSE(decodeKeysMessage(bytes, size, back)) << "an unknown type";
}

TEST(OnlineMessageTest, ControlMessagesReadBackAndLevelsAndFlagsAreBounded) {
    ControlMessage start;
    start.type = OnlineMessageType::RoundStart;
    start.round = 2;
    start.levels[0] = 4;
    start.levels[1] = 0;
    start.seeds[0] = 0xdeadbeefu;
    start.seeds[1] = 7;
    start.startTime = -5;
    uint8_t bytes[largestControlMessage + 1];
    size_t size = encodeControlMessage(start, bytes);
    ControlMessage back;
    ASSERT_TRUE(decodeControlMessage(bytes, size, back));
    EXPECT_EQ(back.type, OnlineMessageType::RoundStart);
    EXPECT_EQ(back.round, 2);
    EXPECT_EQ(back.levels[0], 4);
    EXPECT_EQ(back.seeds[0], 0xdeadbeefu);
    EXPECT_EQ(back.startTime, -5);
    bytes[2] = onlineLevelCount;  // a level past the table
    EXPECT_FALSE(decodeControlMessage(bytes, size, back));
    EXPECT_FALSE(decodeControlMessage(bytes, size - 1, back));

    ControlMessage setUp;
    setUp.level = onlineLevelCount;
    setUp.ready = true;
    size = encodeControlMessage(setUp, bytes);
    ASSERT_TRUE(decodeControlMessage(bytes, size, back));
    EXPECT_EQ(back.level, onlineLevelCount);
    EXPECT_TRUE(back.ready);
    bytes[1] = 0;
    EXPECT_FALSE(decodeControlMessage(bytes, size, back));
    bytes[1] = 1;
    bytes[2] = 2;
    EXPECT_FALSE(decodeControlMessage(bytes, size, back));
    bytes[2] = 0;
    bytes[size] = 0;
    EXPECT_FALSE(decodeControlMessage(bytes, size + 1, back));
}

TEST(OnlineMessageTest, GreetingsReadBackAtOneSizeAndShowOnlyPrintableVersions) {
    HelloMessage hello;
    hello.protocol = 3;
    std::snprintf(hello.version, sizeof hello.version, "%s", "1.4.0-beta");
    hello.digest = 0xfeedull;
    uint8_t bytes[helloSize];
    ASSERT_EQ(encodeHelloMessage(hello, bytes), helloSize);
    HelloMessage back;
    ASSERT_TRUE(decodeHelloMessage(bytes, helloSize, back));
    EXPECT_STREQ(back.version, "1.4.0-beta");
    EXPECT_EQ(back.protocol, 3);
    EXPECT_EQ(back.digest, 0xfeedull);
    EXPECT_FALSE(back.accepted);
    EXPECT_FALSE(decodeHelloMessage(bytes, helloSize - 1, back));

    const auto refusedWith = [&](size_t at, uint8_t value) {
        uint8_t changed[helloSize];
        std::copy(bytes, bytes + helloSize, changed);
        changed[at] = value;
        HelloMessage read;
        return !decodeHelloMessage(changed, helloSize, read);
    };
    EXPECT_TRUE(refusedWith(0, static_cast<uint8_t>(OnlineMessageType::Keys)));
    EXPECT_TRUE(refusedWith(3, longestHelloVersion + 1));  // the version's length
    EXPECT_TRUE(refusedWith(4, '\n'));                     // a control character in it
    EXPECT_TRUE(refusedWith(4 + 20, 'x'));                 // past its length
    EXPECT_TRUE(refusedWith(helloSize - 1, 2));            // the verdict
}

}  // namespace
}  // namespace vexlorn
