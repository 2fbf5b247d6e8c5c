// The round of an online match as the session sees it: kept and put back whole, run one update
// at a time with both players' keys, hashed, and recorded update by update as its keys settle.
// Each side's round is a value of its own, put into the game's boards only to run or be shown,
// so two sides can live in one process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "play/online_session.h"
#include "play/replay_record.h"
#include "play/round.h"

namespace vexlorn {

struct OnlineRoundState {
    Board boards[2]{};
    uint32_t random = 0;
    int32_t riseClocks[2] = {0, 0};
    int16_t aiDirections[2] = {0, 0};
    int failedSide = -1;
};

// The round as text, for the dump both sides keep when their rounds differ: the values that
// decide play, then each well's cells row by row (kind, colour, state per cell).
std::string describeRound(const OnlineRoundState& state);

// The recording's key of a side's online key: its seat's pad key, so that every update of
// the recording names the well it moved.
int recordedOnlineKey(int side, uint8_t key);

class OnlineRound : public SessionGame {
public:
    // Generates both wells from the start's seeds at its levels, as a match's round at one
    // computer would, and starts the recording with it.
    void begin(const ReplayHeader& start);
    // The side whose well this computer shows on the left: its chain pop-ups rise over that
    // well and its sounds come from the left, whichever seat it plays.
    void showOnLeft(int side) { leftShown_ = side; }

    void saveRound(uint32_t update) override;
    void loadRound(uint32_t update) override;
    bool advanceRound(const uint8_t keys[2], bool again) override;
    uint64_t hashRound() override;
    void keepUpdate(uint32_t update, const uint8_t keys[2]) override;

    // The round's boards put into the game's own, to be drawn.
    void show() const;
    // The recording, closed with both boards' hash.
    std::vector<uint8_t> finishRecording();
    // LeftSide, RightSide or -1, once the round has ended.
    int winner() const;

    OnlineRoundState& state() { return current_; }

private:
    OnlineRoundState current_;
    OnlineRoundState saved_[sessionHistory];
    ReplayWriter writer_;
    int leftShown_ = LeftSide;
};

}  // namespace vexlorn
