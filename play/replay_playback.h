// A recorded round played again in the real play screen: the frame loop runs as ever, and the
// round's updates are handed the recorded ticks and keys instead of the clock's and keyboard's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame_cycle.h"
#include "play/replay_record.h"

namespace vexlorn {

// Exit statuses of a replay run besides 0 (played, and the boards ended as recorded).
inline constexpr int replayRefused = 2;
inline constexpr int replayMismatch = 3;

// The file's bytes, or false with a reason when it cannot be a recording (missing, not a plain
// file, too large).
bool readReplayFile(const char* path, std::vector<uint8_t>& bytes, std::string& error);

class ReplayPlayer : public UpdateDriver {
public:
    // Checks the recording, puts the round's start in place and pushes the play screen; false
    // with the reason when the recording cannot be played.
    bool start(const std::vector<uint8_t>& bytes, std::string& error);

    // The next recorded update, run; false once the recording is over.
    bool step();

    // In the frame loop: as many recorded updates as the clock has ticks for, twice as many
    // while Right is held, none while paused (P); Esc stops. Once over, the last picture stays
    // a moment, then the stack is emptied and the program ends.
    bool runUpdate() override;

    bool over() const { return over_; }
    // At the end: the boards hashed as the recording says.
    bool matched() const { return matched_; }
    int exitStatus() const;
    // What the player is told at the end.
    std::string verdict() const;

private:
    void finish();

    ReplayReader reader_;
    bool over_ = false;
    bool matched_ = false;
    bool stopped_ = false;
    bool paused_ = false;
    int budget_ = 0;
    int seenTicks_ = 0;
    int holdTicks_ = 0;
    ReplayUpdate next_;
    bool haveNext_ = false;
};

}  // namespace vexlorn
