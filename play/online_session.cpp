// The rollback session: keys per update for both sides, guesses, going back and running forward,
// slowing the side that runs ahead, and the hash exchange.
#include "play/online_session.h"

#include <algorithm>

namespace vexlorn {

namespace {

// The other side's key is guessed as none: keys are single presses, rare among updates.
constexpr uint8_t guessedKey = noOnlineKey;
// Ahead by this many updates or more in the two sides' views together (one and a half
// updates each way): the side slows down.
constexpr int slowingLead = 3;
constexpr int largestLead = 100;

}  // namespace

OnlineSession::OnlineSession(SessionGame& game, int localSide, uint8_t round)
    : game_(game), local_(localSide == 0 ? 0 : 1), remote_(localSide == 0 ? 1 : 0), round_(round) {}

uint32_t OnlineSession::settled() const {
    return std::min(update_, received_);
}

bool OnlineSession::peerHasEverything() const {
    return ended_ && acked_ > endUpdate_;
}

void OnlineSession::run(uint32_t update, bool again) {
    game_.saveRound(update);
    if (!game_.advanceRound(keysOf(update), again)) {
        ended_ = true;
        endUpdate_ = update;
    }
}

// Back to the first update whose guess was wrong, and forward again to where the round was. A
// round that now ends earlier stops there; one that ended on a wrong guess plays on.
void OnlineSession::rollBack() {
    if (!rollbackDue_) return;
    rollbackDue_ = false;
    const uint32_t from = rollbackFrom_;
    const uint32_t to = update_;
    if (from >= to) return;
    longestRollback_ = std::max(longestRollback_, static_cast<int>(to - from));
    game_.loadRound(from);
    ended_ = false;
    for (uint32_t update = from; update < to; ++update) {
        run(update, true);
        if (ended_) {
            update_ = update + 1;
            return;
        }
    }
}

// Updates whose keys are all known are final: kept, and hashed at every check.
void OnlineSession::settle() {
    const uint32_t settled = this->settled();
    while (kept_ < settled) {
        game_.keepUpdate(kept_, keysOf(kept_));
        ++kept_;
    }
    while (nextCheck_ <= settled && !desynced_) {
        uint64_t hash;
        if (nextCheck_ == update_) {
            hash = game_.hashRound();
        } else {
            game_.saveRound(update_);
            game_.loadRound(nextCheck_);
            hash = game_.hashRound();
            game_.loadRound(update_);
        }
        newestCheck_ = (newestCheck_ + 1) % 4;
        checks_[newestCheck_] = {nextCheck_, hash};
        nextCheck_ += checkInterval;
        compareChecks();
    }
}

void OnlineSession::compareChecks() {
    if (peerCheck_.update == 0) return;
    for (const Check& check : checks_) {
        if (check.update != peerCheck_.update) continue;
        if (check.hash != peerCheck_.hash && !desynced_) {
            desynced_ = true;
            desyncUpdate_ = check.update;
        }
        return;
    }
}

bool OnlineSession::ahead() const {
    const int ownLead = static_cast<int>(update_) - static_cast<int>(remoteUpdate_);
    return ownLead - remoteLead_ >= slowingLead;
}

SessionStep OnlineSession::tick(uint8_t localKey) {
    if (desynced_) return SessionStep::Desynced;
    rollBack();
    settle();
    if (desynced_) return SessionStep::Desynced;
    if (ended_) return received_ > endUpdate_ ? SessionStep::Ended : SessionStep::Waiting;
    if (update_ >= received_ + mostGuessedUpdates ||
        update_ >= acked_ + static_cast<uint32_t>(mostKeysPerMessage) ||
        update_ >= largestUpdateNumber) {
        ++waitingTicks_;
        return SessionStep::Waiting;
    }
    waitingTicks_ = 0;
    if (ahead() && ticksSinceSlowing_ >= slowingSpacing) {
        ticksSinceSlowing_ = 0;
        return SessionStep::Slowed;
    }
    ++ticksSinceSlowing_;
    uint8_t* keys = keysOf(update_);
    keys[local_] = localKey <= largestOnlineKey ? localKey : noOnlineKey;
    if (update_ >= received_) keys[remote_] = guessedKey;
    run(update_, false);
    ++update_;
    settle();
    return SessionStep::Advanced;
}

bool OnlineSession::receive(const uint8_t* data, size_t size) {
    KeysMessage message;
    if (!decodeKeysMessage(data, size, message)) return false;
    if (message.round != round_) return true;
    // Nothing from the other side can claim more than this side has sent, or move this side's
    // views back: old and repeated messages change nothing.
    acked_ = std::max(acked_, std::min(message.received, update_));
    const uint32_t reachable = update_ + mostGuessedUpdates + 1;
    if (message.update >= remoteUpdate_ && message.update <= reachable) {
        remoteUpdate_ = message.update;
        remoteLead_ = std::clamp(static_cast<int>(message.lead), -largestLead, largestLead);
    }
    // Keys past a gap or beyond where the other side can be are left for a later message.
    if (message.firstUpdate <= received_) {
        const uint32_t end = std::min(message.firstUpdate + message.count, reachable);
        for (uint32_t update = received_; update < end; ++update) {
            const uint8_t key = message.keys[update - message.firstUpdate];
            uint8_t* keys = keysOf(update);
            if (update < update_ && keys[remote_] != key &&
                (!rollbackDue_ || update < rollbackFrom_)) {
                rollbackDue_ = true;
                rollbackFrom_ = update;
            }
            keys[remote_] = key;
            received_ = update + 1;
        }
    }
    if (message.checkedUpdate > peerCheck_.update && message.checkedUpdate < reachable) {
        peerCheck_ = {message.checkedUpdate, message.checkedHash};
        compareChecks();
    }
    return true;
}

size_t OnlineSession::message(uint8_t* out) const {
    KeysMessage message;
    message.round = round_;
    message.firstUpdate = std::min(acked_, update_);
    const uint32_t waiting = update_ - message.firstUpdate;
    message.count =
        static_cast<uint8_t>(std::min(waiting, static_cast<uint32_t>(mostKeysPerMessage)));
    for (int i = 0; i < message.count; ++i) {
        message.keys[i] =
            keys_[(message.firstUpdate + static_cast<uint32_t>(i)) % sessionHistory][local_];
    }
    message.received = received_;
    message.update = update_;
    const int lead = static_cast<int>(update_) - static_cast<int>(remoteUpdate_);
    message.lead = static_cast<int8_t>(std::clamp(lead, -largestLead, largestLead));
    if (newestCheck_ >= 0) {
        message.checkedUpdate = checks_[newestCheck_].update;
        message.checkedHash = checks_[newestCheck_].hash;
    }
    return encodeKeysMessage(message, out);
}

}  // namespace vexlorn
