// Every round recorded as it is played. The play screen says when a round starts and ends; in
// between, the recorder stands between the frame loop and the screens and notes what each update
// is handed. Finished rounds are kept in replays/, beside the hall of fame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame_cycle.h"
#include "play/replay_record.h"

namespace vexlorn {

inline constexpr int keptOrdinaryReplays = 20;
inline constexpr const char* replayFolder = "replays";
// A round shorter than this (an Enter and an Esc) is not worth a file, nor one of the kept places.
inline constexpr int shortestKeptRoundSeconds = 10;

class RoundRecorder : public UpdateDriver {
public:
    // Notes the update, when a round is on, then runs it.
    bool runUpdate() override;
    // What one update of the round was handed, for drivers of their own.
    void noteUpdate(const ReplayUpdate& update);

    void beginRound(const ReplayHeader& header);
    // The round's end: both boards hashed into the recording, which is kept when keepFiles is on.
    // failedSide: the side that lost otherwise than by topping out, -1 for none.
    void endRound(const Board& left, const Board& right, int failedSide = -1);
    bool recording() const { return recording_; }

    // The last finished round: its bytes and its boards' hash.
    const std::vector<uint8_t>& lastRound() const { return lastRound_; }
    uint64_t lastHash() const { return lastHash_; }
    // The file the last round was kept in, "" when none.
    const std::string& lastFile() const { return lastFile_; }

    // The last round's file kept for good: its game has entered the hall of fame.
    void keepLastRoundForHallOfFame();

    // Off in the tests and while a recording is replayed.
    bool keepFiles = false;

private:
    ReplayWriter writer_;
    bool recording_ = false;
    bool tooLong_ = false;
    int64_t ticks_ = 0;         // the round's length so far
    int startMillisecond_ = 0;  // within startTime's second, for the file's name
    std::vector<uint8_t> lastRound_;
    uint64_t lastHash_ = 0;
    std::string lastFile_;
};

extern RoundRecorder roundRecorder;

// The values a round starting now starts from: the flags, the boards' game-long values, the
// rise clock. The seeds are added once the boards are generated.
ReplayHeader roundStartNow();

// How a round on these boards has ended; failedSide (0 left, 1 right, -1 neither) lost
// otherwise than by topping out.
ReplayResult roundResult(const Board& left, const Board& right, int failedSide = -1);

// Writes `bytes` as a new file in replays/, named after the round's start (its second and
// millisecond, and a number when that name is taken), whole or not at all; then removes the
// oldest ordinary recordings past the kept number, never the new one. The name written, "" when
// it could not be.
std::string keepReplayFile(const std::vector<uint8_t>& bytes, int64_t startTime,
                           int startMillisecond);

// The recordings in replays/ as a list of them shows them: only the game's own (the player's
// regular files named as the game names them), newest first.
struct ReplayFile {
    std::string name;          // in replayFolder
    int64_t modified = 0;      // when it was written, in nanoseconds since 1970
    bool keptForGood = false;  // never pruned: kept by the player, or for the hall of fame
    bool hallOfFame = false;   // its game entered the hall of fame
};
std::vector<ReplayFile> listReplays();

// Marks the recording called `name` kept for good, or (forGood off) ordinary again, so that it
// counts among the kept number once more; a hall-of-fame one stays kept. The recording's name
// from now on, "" when it is not one of the game's recordings or could not be renamed.
std::string keepReplay(const std::string& name, bool forGood);

// Removes one of the game's recordings; false for any other name.
bool removeReplay(const std::string& name);

}  // namespace vexlorn
