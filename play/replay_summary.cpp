// Summaries of kept recordings.
#include "play/replay_summary.h"

#include "play/replay_playback.h"

namespace vexlorn {

ReplaySummary summarizeReplay(const std::vector<uint8_t>& bytes) {
    ReplaySummary summary;
    ReplayReader reader;
    if (!reader.open(bytes, summary.problem)) return summary;
    const ReplayHeader& header = reader.header();
    summary.readable = true;
    summary.match = header.seats[0] != 0;
    // A match's round names the levels it is played at; a one-player round generates its boards
    // from the level before, or from the first for a new game.
    for (int side = 0; side < replaySides; ++side) {
        const int before = header.boards[side].level;
        int played = before;
        if (!summary.match) played = header.newGame ? 0 : before < levelCount ? before + 1 : before;
        summary.levels[side] = played + 1;
    }
    summary.result = header.result;
    summary.startTime = header.startTime;
    ReplayUpdate update;
    while (reader.next(update)) summary.ticks += update.ticks;
    return summary;
}

std::string replayPath(const std::string& name) {
    return std::string(replayFolder) + "/" + name;
}

ReplaySummary readReplaySummary(const std::string& name) {
    std::vector<uint8_t> bytes;
    ReplaySummary summary;
    if (!readReplayFile(replayPath(name).c_str(), bytes, summary.problem)) return summary;
    return summarizeReplay(bytes);
}

}  // namespace vexlorn
