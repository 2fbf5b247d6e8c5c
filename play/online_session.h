// One online round between two computers, as the side that knows the keys: both sides run the
// whole round from the same start and both players' keys; the other side's keys are guessed
// until they arrive, and a wrong guess sends the round back to the update where it went wrong
// and runs it forward again. The session knows nothing of boards or screens: it asks the round
// only to be kept, put back, run one update with two keys, and hashed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "play/online_message.h"

namespace vexlorn {

// What the session asks of the round.
class SessionGame {
public:
    virtual ~SessionGame() = default;
    // Keeps the round as it stands before `update`, to be put back by loadRound.
    virtual void saveRound(uint32_t update) = 0;
    virtual void loadRound(uint32_t update) = 0;
    // One update with both sides' keys, left first; false when it ended the round. `again`:
    // the update is run once more after a wrong guess, and plays no sound and shows nothing.
    virtual bool advanceRound(const uint8_t keys[2], bool again) = 0;
    // The whole round as it stands.
    virtual uint64_t hashRound() = 0;
    // The keys of an update that can no longer change, every update once and in order.
    virtual void keepUpdate(uint32_t update, const uint8_t keys[2]) = 0;
};

// Updates the session remembers: keys, kept rounds. Everything it still needs lies within.
inline constexpr int sessionHistory = 128;
// How far a side runs on guessed keys before it waits for the other's (300 ms).
inline constexpr int mostGuessedUpdates = 15;
// Both sides hash the round at every update divisible by this and compare.
inline constexpr uint32_t checkInterval = 50;
// Slowing down drops at most one update in this many: a player does not see it.
inline constexpr int slowingSpacing = 12;

enum class SessionStep {
    Advanced,  // the round ran this tick's update with the local key
    Waiting,   // too far ahead of the other side's keys: nothing ran, the key waits
    Slowed,    // ahead of the other side: one update left out to let it catch up
    Ended,     // the round's end is settled: both sides' keys up to it are known
    Desynced,  // the two sides' rounds differ: desyncUpdate() says where
};

class OnlineSession {
public:
    // `localSide`: the well this computer's player plays, 0 left or 1 right. `round`: the
    // round's number in the match; messages of another round are left alone.
    OnlineSession(SessionGame& game, int localSide, uint8_t round = 0);

    // One tick of the clock with the local player's key of this update (noOnlineKey: none).
    // Only Advanced has taken the key.
    SessionStep tick(uint8_t localKey);
    // A message from the other side; false when it is not one (it is then ignored).
    bool receive(const uint8_t* data, size_t size);
    // The message to send now, into `out` (largestKeysMessage bytes); its size.
    size_t message(uint8_t* out) const;

    // The next update to run.
    uint32_t update() const { return update_; }
    // Updates with both sides' keys known, from 0.
    uint32_t settled() const;
    // True once every local key up to the round's end has reached the other side.
    bool peerHasEverything() const;
    bool desynced() const { return desynced_; }
    uint32_t desyncUpdate() const { return desyncUpdate_; }
    // The most updates run again at once, and the ticks spent waiting in a row so far.
    int longestRollback() const { return longestRollback_; }
    int waitingTicks() const { return waitingTicks_; }

private:
    struct Check {
        uint32_t update = 0;
        uint64_t hash = 0;
    };

    uint8_t* keysOf(uint32_t update) { return keys_[update % sessionHistory]; }
    void run(uint32_t update, bool again);
    void rollBack();
    void settle();
    void compareChecks();
    bool ahead() const;

    SessionGame& game_;
    int local_;
    int remote_;
    uint8_t round_;
    uint8_t keys_[sessionHistory][2] = {};
    uint32_t update_ = 0;
    uint32_t received_ = 0;  // the other side's keys held, in a row from 0
    uint32_t acked_ = 0;     // the local keys the other side holds
    uint32_t rollbackFrom_ = 0;
    bool rollbackDue_ = false;
    bool ended_ = false;
    uint32_t endUpdate_ = 0;
    uint32_t kept_ = 0;
    uint32_t nextCheck_ = checkInterval;
    Check checks_[4];
    int newestCheck_ = -1;
    Check peerCheck_;
    bool desynced_ = false;
    uint32_t desyncUpdate_ = 0;
    uint32_t remoteUpdate_ = 0;
    int remoteLead_ = 0;
    int ticksSinceSlowing_ = 0;
    int longestRollback_ = 0;
    int waitingTicks_ = 0;
};

}  // namespace vexlorn
