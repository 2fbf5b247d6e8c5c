// Playing a recorded round.
#include "play/replay_playback.h"

#include <cstdio>
#include <limits>

#include "board/game_random.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "platform/files/open_regular.h"
#include "play/game1_state.h"
#include "play/replay_recorder.h"
#include "play/versus_state.h"
#include "screens/pause_state.h"

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
// Over the screens the round's end brought, while its last picture is held when watched from
// within the game: were the program closed then, they must not take the recorded game as the
// player's (a hall-of-fame entry) as they do on closing.
ReplayStage replayHold;

Board* boardFor(Board* board) {
    return board != nullptr ? board : new Board{};
}

const char* refusalText(FileRefusal refusal) {
    switch (refusal) {
        case FileRefusal::Missing:
            return "There is no such file.";
        case FileRefusal::NotAllowed:
            return "Reading it is not allowed.";
        case FileRefusal::LinkLoop:
            return "Its links lead round in a loop.";
        case FileRefusal::NotAFile:
            return "It is not a file.";
        case FileRefusal::TooLarge:
            return "The file is too large to be a recording.";
        default:
            return "The file cannot be read.";
    }
}

// The length of the UTF-8 character at `at`, 0 when the bytes there are not one. C1 controls
// (U+0080..U+009F) count as not one: terminals act on them too.
size_t utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned lowest = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        lowest = 0xa0;  // after U+009F
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    unsigned value = lead & (0x7fu >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
        value = (value << 6) | (byte(at + i) & 0x3fu);
    }
    const bool surrogate = value >= 0xd800 && value <= 0xdfff;
    return value < lowest || value > 0x10ffff || surrogate ? 0 : length;
}

}  // namespace

bool readReplayFile(const char* path, std::vector<uint8_t>& bytes, std::string& error) {
    const FileRefusal refusal = readWholeRegularFile(path, largestReplayFile, bytes);
    if (refusal == FileRefusal::None) return true;
    error = refusalText(refusal);
    return false;
}

std::string printableText(const std::string& text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7f) {
            shown += text[at++];
            continue;
        }
        const size_t length = byte >= 0x80 ? utf8Length(text, at) : 0;
        if (length != 0) {
            shown.append(text, at, length);
            at += length;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        shown += escaped;
        ++at;
    }
    return shown;
}

void ReplayCadence::beginPass(int ticks, int speed) {
    // The longest recorded update needs this many at once; more would only be work put off.
    constexpr int64_t mostBudget = 2 * int64_t{mostTicksPerUpdate};
    budget_ += int64_t{ticks} * speed;
    if (budget_ > mostBudget) budget_ = mostBudget;
    if (budget_ < 0) budget_ = 0;
    tickedThisPass_ = 0;
    followers_ = 0;
    freeSlots_ = speed;
}

bool ReplayCadence::take(int ticks) {
    if (ticks > 0) {
        if (tickedThisPass_ >= mostTickedPerPass || ticks > budget_) return false;
        budget_ -= ticks;
        ++tickedThisPass_;
        followers_ = 1;
        return true;
    }
    if (followers_ > 0) {
        --followers_;
        return true;
    }
    if (freeSlots_ > 0) {
        --freeSlots_;
        return true;
    }
    return false;
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
    online_ = header.online;
    if (online_) {
        versusState.getReady = false;
        for (int side = 0; side < replaySides; ++side) {
            versusState.replaceInput(side, &seatKeys_[side]);
        }
    }
    if (header.seats[0] != 0) {
        versusState.startReplay(header);
    } else {
        stateStack.push(&game1State);
    }
    haveNext_ = reader_.next(next_);
    if (!haveNext_) finish();
    return true;
}

bool ReplayPlayer::watch(const std::vector<uint8_t>& bytes, std::string& error, BaseState* home,
                         UpdateDriver* previous) {
    savedCheat_ = cheatMode;
    savedNewGame_ = newGameFlag;
    savedRiseClock_ = riseClock;
    savedKeepFiles_ = roundRecorder.keepFiles;
    roundRecorder.keepFiles = false;
    home_ = home;
    previous_ = previous;
    if (start(bytes, error)) return true;
    returnHome();
    return false;
}

// The screens the round pushed go, each as it would when left; the game's values come back.
void ReplayPlayer::returnHome() {
    while (!stateStack.empty() && stateStack.top() != home_) stateStack.pop();
    cheatMode = savedCheat_;
    newGameFlag = savedNewGame_;
    riseClock = savedRiseClock_;
    roundRecorder.keepFiles = savedKeepFiles_;
    lastKey = 0;
    updateDriver = previous_;
}

bool ReplayPlayer::step() {
    if (over_) return false;
    const ReplayUpdate update = next_;
    // The reader bounds the recording's whole time; this holds whatever the screens did with
    // their clock meanwhile.
    if (update.ticks > std::numeric_limits<int>::max() - lastTickCount) {
        clockOverflow_ = true;
        finish();
        return false;
    }
    tickCount = lastTickCount + update.ticks;
    lastKey = update.keys[0];
    for (int side = 0; side < replaySides; ++side) seatKeys_[side].key = update.keys[side];
    roundRecorder.noteUpdate(update);
    stateStack.updateTop();
    haveNext_ = reader_.next(next_);
    if (!roundRecorder.recording() || !haveNext_) finish();
    return !over_;
}

// The round ends with the last recorded update, on the recorded boards. A round can also end
// between updates (the program closed, say): the recording then ends there too.
void ReplayPlayer::finish() {
    if (online_) {
        versusState.getReady = true;
        for (int side = 0; side < replaySides; ++side) versusState.replaceInput(side, nullptr);
    }
    over_ = true;
    holdTicks_ = endHoldTicks;
    roundRecorder.endRound(*leftBoard, *rightBoard);
    matched_ = !haveNext_ && !clockOverflow_ && roundRecorder.lastHash() == reader_.hash();
    if (home_ != nullptr) stateStack.push(&replayHold);
}

// The game's own pause, where the game would pause: on the round, not on its get-ready screen.
// A pause the recording holds is shown already; the viewer then only stops taking updates.
void ReplayPlayer::pause() {
    BaseState* top = stateStack.top();
    if (top == &pauseState) {
        paused_ = true;
        pausePushed_ = false;
    } else if (top != nullptr && top->pauseKey() != 0) {
        paused_ = true;
        pausePushed_ = true;
        stateStack.push(&pauseState);
    }
}

// Drawn over whatever the screens drew, on a plate of its own so that a narrower text leaves
// nothing of a wider one.
void ReplayPlayer::drawMark(bool fast) const {
    const char* text = fast ? "REPLAY x2" : "REPLAY x1";
    const int width = text_length(font, text) + 4;
    const int height = text_height(font) + 4;
    const Area plate{screenWidth - width - 4, 4, width, height};
    rectfill(backBuffer, plate.x, plate.y, plate.x + width - 1, plate.y + height - 1,
             makecol(0, 0, 0));
    textout(backBuffer, font, text, plate.x + 2, plate.y + 2, makecol(255, 255, 255));
    markChanged(plate);
}

int ReplayPlayer::SeatKey::afterUpdate(const Board& board) {
    (void)board;
    return keySetDirection(seatPadKeySets[side_], key);
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
        if (home_ != nullptr) {
            returnHome();
            return true;
        }
        stateStack.popAll();
        return false;
    }
    const bool fast = key[KEY_RIGHT] != 0;
    if (paused_) {
        if (pausePushed_) {
            // The pause screen takes the key as it does in the game, and goes.
            lastKey = control;
            stateStack.updateTop();
            lastKey = 0;
            paused_ = stateStack.top() == &pauseState;
        } else {
            paused_ = control == 0;
        }
        drawMark(fast);
        return true;
    }
    if (control == KeyP) {
        pause();
        if (paused_) {
            drawMark(fast);
            return true;
        }
    }
    cadence_.beginPass(ticks, fast ? 2 : 1);
    while (haveNext_ && !over_ && cadence_.take(next_.ticks)) {
        step();
        lastKey = 0;
    }
    drawMark(fast);
    return true;
}

int ReplayPlayer::exitStatus() const {
    if (stoppedEarly()) return replayStopped;
    return matched_ ? 0 : replayMismatch;
}

std::string ReplayPlayer::verdict() const {
    if (stoppedEarly()) return "The replay was stopped before the end.\n";
    if (matched_) return "The round ended as recorded.\n";
    if (clockOverflow_) {
        return "The round did not end as recorded: its times add up to more than the game "
               "can count.\n";
    }
    return "The round did not end as recorded: the game now plays it differently.\n";
}

}  // namespace vexlorn
