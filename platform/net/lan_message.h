// The few bytes with which a game asks the local network who hosts, and a host answers.
// Anyone on the network can send them: a message is taken only in its one exact form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexlorn {

// A question is as long as an answer, so an answer never sends more than it was sent.
inline constexpr size_t lanMessageSize = 32;
inline constexpr size_t longestLanVersion = 16;

struct LanMessage {
    bool answer = false;  // else a question, which carries nothing more
    uint16_t port = 0;    // where the host's game listens
    uint64_t id = 0;      // the same host seen through two networks is one game
    std::string version;  // printable, at most longestLanVersion characters
};

// False for a message that has no exact form (an answer without port or version, or with a
// version too long or not printable).
bool encodeLanMessage(const LanMessage& message, uint8_t (&bytes)[lanMessageSize]);
bool decodeLanMessage(const uint8_t* data, size_t size, LanMessage& message);

}  // namespace vexlorn
