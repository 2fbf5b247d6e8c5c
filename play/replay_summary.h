// What a list of the kept recordings shows of each: read through the same checks as a recording
// about to be played, so that a damaged file is named as such and never trusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/replay_record.h"
#include "play/replay_recorder.h"

namespace vexlorn {

struct ReplaySummary {
    bool readable = false;
    std::string problem;           // why not, when not
    bool match = false;            // a two-player (versus) round
    int levels[replaySides] = {};  // as the players count them, from 1
    ReplayResult result = ReplayResult::Unknown;
    int64_t ticks = 0;      // the round's length
    int64_t startTime = 0;  // seconds since 1970
};

ReplaySummary summarizeReplay(const std::vector<uint8_t>& bytes);

// The path of a kept recording, from the game's data home.
std::string replayPath(const std::string& name);

// A kept recording's summary, read from its file.
ReplaySummary readReplaySummary(const std::string& name);

}  // namespace vexlorn
