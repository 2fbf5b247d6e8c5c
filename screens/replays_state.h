// The kept recordings, newest first: chosen with the arrows, watched, kept for good or removed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frame/state_stack.h"
#include "play/replay_playback.h"
#include "play/replay_summary.h"

namespace vexlorn {

// One row of the list as the player reads it.
struct ReplayRow {
    std::string when;  // the round's start, local time
    std::string mode;  // one player or versus; "Damaged" for a file that cannot be played
    std::string levels;
    std::string result;
    std::string length;  // minutes and seconds
    std::string mark;    // kept for good, or kept for the hall of fame
};
ReplayRow replayRow(const ReplayFile& file, const ReplaySummary& summary);

class ReplaysState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;

    struct Entry {
        ReplayFile file;
        ReplaySummary summary;
    };
    std::vector<Entry> entries;
    int selected = 0;
    int first = 0;        // the top row shown
    bool asking = false;  // whether to remove the selected one
    std::string message;  // why the last action could not be done

    // Rows the page has room for; a longer list scrolls.
    static constexpr int shownRows = 14;

private:
    void reload();
    void handleKey();
    void answer(int key);
    void watchSelected();
    void keepSelected();
    void choose(int row);
    void draw() const;

    std::optional<ReplayPlayer> viewer_;
};

extern ReplaysState replaysState;

}  // namespace vexlorn
