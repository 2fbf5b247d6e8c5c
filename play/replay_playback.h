// A recorded round played again in the real play screen: the frame loop runs as ever, and the
// round's updates are handed the recorded ticks and keys instead of the clock's and keyboard's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame_cycle.h"
#include "play/replay_record.h"
#include "play/well_input.h"

namespace vexlorn {

// Exit statuses of a replay run besides 0 (played, and the boards ended as recorded). A stop
// signal gives its own status instead of replayStopped, as it does in the game.
inline constexpr int replayRefused = 2;
inline constexpr int replayMismatch = 3;
inline constexpr int replayStopped = 4;

// The file's bytes, or false with the reason a player can act on when it cannot be a recording
// (missing, not allowed, a loop of links, not a file, too large).
bool readReplayFile(const char* path, std::vector<uint8_t>& bytes, std::string& error);

// Text from outside the game (a file, the command line) as it may go to a terminal: control
// characters, and bytes that are not UTF-8, written as \xNN.
std::string printableText(const std::string& text);

// Which recorded updates a pass of the viewer may run. A recorded update's ticks come out of the
// ticks the clock has given; one with none follows the cadence it was recorded at: one after
// each ticked update, or else one a pass, so that a run of them takes as many passes as it took
// to record. Every pass's work is bounded, whatever the recording holds.
class ReplayCadence {
public:
    // A new pass, `ticks` after the last; speed 2 takes updates twice as fast.
    void beginPass(int ticks, int speed);
    // Whether the next update, of `ticks`, runs in this pass; when so, it is taken.
    bool take(int ticks);

    // Ticked updates a pass runs at most: a late pass catches up over the next ones.
    static constexpr int mostTickedPerPass = 25;

private:
    int64_t budget_ = 0;
    int tickedThisPass_ = 0;
    int followers_ = 0;  // updates without ticks that may follow a ticked one
    int freeSlots_ = 0;  // updates without ticks the pass may run on its own
};

class ReplayPlayer : public UpdateDriver {
public:
    // Checks the recording, puts the round's start in place and pushes the play screen; false
    // with the reason when the recording cannot be played.
    bool start(const std::vector<uint8_t>& bytes, std::string& error);
    // The same from within the game, above `home`, the screen it is watched from: nothing is
    // kept of the round, and at its end (or on Esc) the screens above `home` go, the game's
    // own values and `previous`, the driver before, come back.
    bool watch(const std::vector<uint8_t>& bytes, std::string& error, BaseState* home,
               UpdateDriver* previous);

    // The next recorded update, run; false once the recording is over.
    bool step();

    // In the frame loop: the recorded updates the cadence allows, twice as fast while Right is
    // held; P (or the focus leaving) brings the game's own pause, which any key ends; Esc stops.
    // A corner says it is a recording, and at what speed. Once over, the last picture stays a
    // moment, then the stack is emptied and the program ends.
    bool runUpdate() override;

    bool over() const { return over_; }
    bool paused() const { return paused_; }
    // At the end: the boards hashed as the recording says.
    bool matched() const { return matched_; }
    // Ended by Esc, or by the program being closed, before its last update.
    bool stoppedEarly() const { return stopped_ || !over_; }
    int exitStatus() const;
    // What the player is told at the end.
    std::string verdict() const;

private:
    void finish();
    void returnHome();
    void pause();
    void drawMark(bool fast) const;

    // An online round's keys, each side's from its own column.
    class SeatKey : public WellInput {
    public:
        explicit SeatKey(int side) : side_(side) {}
        int afterUpdate(const Board& board) override;
        int key = 0;

    private:
        int side_;
    };

    ReplayReader reader_;
    ReplayCadence cadence_;
    SeatKey seatKeys_[replaySides] = {SeatKey(0), SeatKey(1)};
    bool online_ = false;
    bool over_ = false;
    bool matched_ = false;
    bool stopped_ = false;
    bool clockOverflow_ = false;
    bool paused_ = false;
    bool pausePushed_ = false;  // the pause screen is the viewer's, not the recording's
    int seenTicks_ = 0;
    int holdTicks_ = 0;
    ReplayUpdate next_;
    bool haveNext_ = false;

    // Watching from within the game: where it returns to, and what it puts back.
    BaseState* home_ = nullptr;
    UpdateDriver* previous_ = nullptr;
    bool savedCheat_ = false;
    uint8_t savedNewGame_ = 0;
    int32_t savedRiseClock_ = 0;
    bool savedKeepFiles_ = false;
};

}  // namespace vexlorn
