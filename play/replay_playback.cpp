// Playing a recorded round.
#include "play/replay_playback.h"

#include <sys/stat.h>

#include <cstdio>

#include "board/game_random.h"
#include "frame/globals.h"
#include "play/game1_state.h"
#include "play/replay_recorder.h"
#include "play/versus_state.h"

namespace vexlorn {

namespace {

// Two seconds of the last picture after the end, so that it can be seen.
constexpr int endHoldTicks = 2 * ticksPerSecond;

// What the play screen sits on while a recording plays: nothing to show of its own.
class ReplayStage : public BaseState {
public:
    bool update() override { return true; }
};
ReplayStage replayStage;

Board* boardFor(Board* board) {
    return board != nullptr ? board : new Board{};
}

}  // namespace

bool readReplayFile(const char* path, std::vector<uint8_t>& bytes, std::string& error) {
    struct stat about {};
    if (::stat(path, &about) != 0) {
        error = "There is no such file.";
        return false;
    }
    if (!S_ISREG(about.st_mode)) {
        error = "It is not a file.";
        return false;
    }
    if (static_cast<uint64_t>(about.st_size) > largestReplayFile) {
        error = "The file is too large to be a recording.";
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        error = "The file cannot be read.";
        return false;
    }
    bytes.assign(static_cast<size_t>(about.st_size) + 1, 0);
    // One byte more than expected: a file that grew meanwhile is too large or unreadable.
    const size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(read);
    if (read > largestReplayFile) {
        error = "The file is too large to be a recording.";
        return false;
    }
    return true;
}

bool ReplayPlayer::start(const std::vector<uint8_t>& bytes, std::string& error) {
    if (!reader_.open(bytes, error)) return false;
    const ReplayHeader& header = reader_.header();
    cheatMode = header.cheat;
    newGameFlag = header.newGame ? 1 : 0;
    riseClock = header.riseClock;
    leftBoard = boardFor(leftBoard);
    rightBoard = boardFor(rightBoard);
    Board* boards[replaySides] = {leftBoard, rightBoard};
    for (int side = 0; side < replaySides; ++side) {
        boards[side]->level = header.boards[side].level;
        boards[side]->score = header.boards[side].score;
        boards[side]->continues = header.boards[side].continues;
    }
    queueBoardSeeds(header.seeds[0], header.seeds[1]);
    lastKey = 0;
    seenTicks_ = countedTicks;
    stateStack.push(&replayStage);
    if (header.seats[0] != 0) {
        versusState.startReplay(header);
    } else {
        stateStack.push(&game1State);
    }
    haveNext_ = reader_.next(next_);
    if (!haveNext_) finish();
    return true;
}

bool ReplayPlayer::step() {
    if (over_) return false;
    const ReplayUpdate update = next_;
    tickCount = lastTickCount + update.ticks;
    lastKey = update.keys[0];
    roundRecorder.noteUpdate(update);
    stateStack.updateTop();
    haveNext_ = reader_.next(next_);
    if (!roundRecorder.recording() || !haveNext_) finish();
    return !over_;
}

// The round ends with the last recorded update, on the recorded boards. A round can also end
// between updates (the program closed, say): the recording then ends there too.
void ReplayPlayer::finish() {
    over_ = true;
    holdTicks_ = endHoldTicks;
    roundRecorder.endRound(*leftBoard, *rightBoard);
    matched_ = !haveNext_ && roundRecorder.lastHash() == reader_.hash();
}

bool ReplayPlayer::runUpdate() {
    const int counted = countedTicks;
    const int ticks = counted - seenTicks_;
    seenTicks_ = counted;
    // A key here is the viewer's: the recorded ones are taken back after each update.
    const int control = lastKey;
    lastKey = 0;
    if (control == KeyEsc && !over_) {
        stopped_ = true;
        over_ = true;
        holdTicks_ = 0;
    }
    if (over_) {
        holdTicks_ -= ticks;
        if (holdTicks_ > 0) return true;
        stateStack.popAll();
        return false;
    }
    if (control == KeyP) paused_ = !paused_;
    if (!paused_) budget_ += key[KEY_RIGHT] ? 2 * ticks : ticks;
    while (haveNext_ && !over_ && next_.ticks <= budget_) {
        budget_ -= next_.ticks;
        step();
        lastKey = 0;
    }
    return true;
}

int ReplayPlayer::exitStatus() const {
    return stopped_ || matched_ ? 0 : replayMismatch;
}

std::string ReplayPlayer::verdict() const {
    if (stopped_) return "";
    if (matched_) return "The round ended as recorded.\n";
    return "The round did not end as recorded: the game now plays it differently.\n";
}

}  // namespace vexlorn
