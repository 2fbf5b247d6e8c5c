// Two games finding each other: the host waits for one player, the joiner knocks; both say
// which protocol, game version and data file they run, and play only when all three agree.
// After that the connection hands the game's messages up and watches the other side's silence.
#pragma once

#include <cstdint>
#include <string>

#include "platform/net/net_link.h"

namespace vexlorn {

inline constexpr uint16_t onlineProtocolVersion = 1;
// A peer silent this long is shown as interrupted; this long, lost.
inline constexpr uint32_t interruptedAfterMs = 1000;
inline constexpr uint32_t lostAfterMs = 10000;
// A knock unanswered this long finds no game.
inline constexpr uint32_t joinAnswerMs = 5000;

struct OnlineIdentity {
    uint16_t protocol = onlineProtocolVersion;
    std::string version;
    uint64_t digest = 0;
};

enum class OnlinePhase {
    Closed,
    Hosting,   // waiting for a player
    Joining,   // knocking
    Greeting,  // connected, versions being compared
    Playing,
    Refused,  // the versions differ, or the game has a player already: problem() says
    Lost,     // no answer, or silent too long
    Left,     // the other player left
};

class OnlineConnection {
public:
    OnlineConnection(NetLink& link, OnlineIdentity own) : link_(link), own_(std::move(own)) {}

    bool host(uint16_t port, std::string& error);
    // ADDRESS or ADDRESS:PORT, a name or an address (IPv6 in brackets).
    bool join(const std::string& address, std::string& error);

    // Handles what has come; true with the next message of the game once playing.
    bool poll(uint32_t nowMs, NetEvent& message);
    void send(const uint8_t* data, size_t size, bool reliable);
    // Leaves the match: the other side is told.
    void leave();

    OnlinePhase phase() const { return phase_; }
    // What went wrong and what to try, for the player.
    const std::string& problem() const { return problem_; }
    bool interrupted(uint32_t nowMs) const;
    // Third parties turned away while a player was connected.
    int knocks() const { return knocks_; }

private:
    void greet(const NetEvent& event);
    std::string versionText(uint16_t protocol, const std::string& version) const;

    NetLink& link_;
    OnlineIdentity own_;
    OnlinePhase phase_ = OnlinePhase::Closed;
    bool hosting_ = false;
    std::string target_;
    std::string problem_;
    uint32_t lastHeardMs_ = 0;
    bool knockTimed_ = false;
    int knocks_ = 0;
};

// A digest of the data file's bytes, for the greeting.
uint64_t onlineDigest(const uint8_t* data, size_t size);

}  // namespace vexlorn
