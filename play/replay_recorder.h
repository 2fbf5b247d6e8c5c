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

class RoundRecorder : public UpdateDriver {
public:
    // Notes the update, when a round is on, then runs it.
    bool runUpdate() override;
    // What one update of the round was handed, for drivers of their own.
    void noteUpdate(const ReplayUpdate& update);

    void beginRound(const ReplayHeader& header);
    // The round's end: both boards hashed into the recording, which is kept when keepFiles is on.
    void endRound(const Board& left, const Board& right);
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
    std::vector<uint8_t> lastRound_;
    uint64_t lastHash_ = 0;
    std::string lastFile_;
};

extern RoundRecorder roundRecorder;

// The values a round starting now starts from: the flags, the boards' game-long values, the
// rise clock. The seeds are added once the boards are generated.
ReplayHeader roundStartNow();

// Writes `bytes` as replays/<name> through a temporary file, so that a crash leaves either
// the whole file or none; then removes the oldest ordinary recordings past the kept number.
// The name written, "" when it could not be.
std::string keepReplayFile(const std::vector<uint8_t>& bytes, int64_t startTime);

}  // namespace vexlorn
