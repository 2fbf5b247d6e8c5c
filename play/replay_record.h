// A round as a recording: what it started from, what each of its updates was handed, and a hash
// of both boards at its end, as the bytes kept in memory while it runs and stored as a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"

namespace vexlorn {

inline constexpr int replaySides = 2;
inline constexpr uint16_t replayFormatVersion = 1;
// Larger files are refused unread: an hour of play takes a few hundred kilobytes at most.
inline constexpr size_t largestReplayFile = 4u << 20;
// Four hours of passes at a hundred a second, pauses included: a longer round is not kept.
inline constexpr uint32_t mostReplayUpdates = 4u * 3600u * 100u;
// A pass later than this (ten minutes) is recorded as this late.
inline constexpr int mostTicksPerUpdate = 30000;
// All of a recording's ticks together at most (about 248 days): the screens' clocks count in an
// int, and adding a recording's ticks to them must never overflow.
inline constexpr uint64_t mostReplayTicks = 0x3fffffff;
// Keys and commands per side are one byte: scancodes, or an input source's commands.
inline constexpr int largestReplayKey = 255;

// The game's version, compared with the one a recording was made by.
const char* gameVersion();

// What one update was handed: the ticks since the update before and, per side, the key or
// command waiting (0: none). In the one-player round side 0 is the keyboard's; side 1, the
// computer's, needs none.
struct ReplayUpdate {
    int ticks = 0;
    int keys[replaySides] = {};
};
bool operator==(const ReplayUpdate& a, const ReplayUpdate& b);

// The values a round started from: a board's game-long values before its generation.
struct ReplayBoardStart {
    int16_t level = 0;
    int32_t score = 0;
    int16_t continues = 0;
};

// Who sat at each well of a match's round (0 for neither: a one-player round). The numbers are
// the set-up's seat sources: 1 arrow keys, 2 the second key set, 3 a pad, 4 the computer.
inline constexpr int largestReplaySeat = 4;

// How a round ended, as its recording says: a side won when only the other side's well topped
// out; a round left by Esc, or closed, ended without a winner.
enum class ReplayResult : uint8_t { Unknown, Stopped, LeftWon, RightWon, Draw };

struct ReplayHeader {
    std::string gameVersion;
    bool newGame = false;
    bool cheat = false;
    uint8_t seats[replaySides] = {};  // a match's round when both are set
    // An online match's round: each side's key is in its own column, and play starts at once.
    bool online = false;
    int32_t riseClock = 0;
    ReplayBoardStart boards[replaySides];
    uint32_t seeds[replaySides] = {};
    int64_t startTime = 0;                        // seconds since 1970, for the file's name
    ReplayResult result = ReplayResult::Unknown;  // known once the round has ended
};

// Both boards' whole state, field by field (padding never counts).
uint64_t boardsHash(const Board& left, const Board& right);

// The updates, run-length coded as they come: a run repeats the last one or two updates, so a
// round of quiet cycles (a ticked update, then one between ticks) takes a few bytes however long.
class ReplayWriter {
public:
    void begin(const ReplayHeader& header);
    void add(const ReplayUpdate& update);
    void setResult(ReplayResult result) { header_.result = result; }
    // The round's end: the finished file's bytes.
    std::vector<uint8_t> finish(uint64_t hash);
    uint32_t updates() const { return count_; }
    size_t size() const { return body_.size(); }
    int64_t startTime() const { return header_.startTime; }

private:
    void flushRun();
    void remember(const ReplayUpdate& update);

    ReplayHeader header_;
    std::vector<uint8_t> body_;
    ReplayUpdate last_[2];  // the newest update, then the one before it
    uint32_t count_ = 0;
    int runPeriod_ = 0;  // 1 or 2 while a run is open
    uint32_t runLength_ = 0;
};

// A recording read back: the header and the trailer checked, the updates decoded as they are
// asked for. Nothing in the file is trusted before the checks.
class ReplayReader {
public:
    // False with a reason a player can read, for a file this game must not play.
    bool open(const std::vector<uint8_t>& bytes, std::string& error);
    const ReplayHeader& header() const { return header_; }
    uint64_t hash() const { return hash_; }
    uint32_t updates() const { return count_; }
    // The next update; false once all have been given.
    bool next(ReplayUpdate& update);

private:
    ReplayHeader header_;
    uint64_t hash_ = 0;
    uint32_t count_ = 0;
    std::vector<ReplayUpdate> updates_;
    size_t at_ = 0;
};

}  // namespace vexlorn
