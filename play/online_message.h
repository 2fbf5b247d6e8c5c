// What two online games say to each other during a round, as bytes. Everything read from a
// peer is untrusted: every count and update number is checked against the game's own limits
// before it is used, and nothing is allocated from what a message declares.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexlorn {

// A key of one update, as it travels: none, or a direction of directionTable plus one.
inline constexpr uint8_t noOnlineKey = 0;
inline constexpr uint8_t largestOnlineKey = 4;
// The keys one message repeats at most: every one the other side has not acknowledged yet,
// so one lost message costs nothing. The session never lets more than this wait unacknowledged.
inline constexpr int mostKeysPerMessage = 32;
// An update number past this is refused: far more than any round runs (four hours at 50 a second
// is under a million).
inline constexpr uint32_t largestUpdateNumber = 1u << 24;

enum class OnlineMessageType : uint8_t {
    Keys = 1,
    Hello = 2,
    HelloReply = 3,
    SetUp = 4,
    RoundStart = 5,
    Pause = 6,
};

// What a game says of itself when two connect, and the host's answer in the same form: the
// protocol of these messages, the game's version, and a digest of its data file.
inline constexpr size_t longestHelloVersion = 32;
struct HelloMessage {
    OnlineMessageType type = OnlineMessageType::Hello;
    uint16_t protocol = 0;
    char version[longestHelloVersion + 1] = {};
    uint64_t digest = 0;
    bool accepted = false;  // the reply's verdict
};
// Both ways the same size, so that before the greeting no answer is larger than its question.
inline constexpr size_t helloSize = 1 + 2 + 1 + longestHelloVersion + 8 + 1;
size_t encodeHelloMessage(const HelloMessage& message, uint8_t* out);
bool decodeHelloMessage(const uint8_t* data, size_t size, HelloMessage& message);

// The sender's keys from `firstUpdate` on, and what it knows of the receiver.
struct KeysMessage {
    // Which round of the match, so that a late message of the round before changes nothing.
    uint8_t round = 0;
    uint32_t firstUpdate = 0;
    uint8_t count = 0;
    uint8_t keys[mostKeysPerMessage] = {};
    // How many of the receiver's keys the sender holds in a row from update 0.
    uint32_t received = 0;
    // The update the sender is about to run, and how far it runs ahead of the receiver as it
    // sees it (negative: behind): the two sides' views settle who slows down.
    uint32_t update = 0;
    int8_t lead = 0;
    // The sender's newest checked update (0: none yet) and the round's hash there.
    uint32_t checkedUpdate = 0;
    uint64_t checkedHash = 0;
};

inline constexpr size_t largestKeysMessage = 1 + 1 + 4 + 1 + mostKeysPerMessage + 4 + 4 + 1 + 4 + 8;

// The message's bytes in `out` (at least largestKeysMessage long); their count.
size_t encodeKeysMessage(const KeysMessage& message, uint8_t* out);
// False, leaving `message` in any state, when the bytes are not a well-formed keys message
// within the limits above.
bool decodeKeysMessage(const uint8_t* data, size_t size, KeysMessage& message);

// The match around the rounds, sent reliably: a side's level and whether it is ready; the host's
// start of a round (levels 0-based, the boards' seeds, its clock for the recording's name);
// a pause or its end.
inline constexpr uint8_t onlineLevelCount = 5;
struct ControlMessage {
    OnlineMessageType type = OnlineMessageType::SetUp;
    uint8_t level = 1;  // 1..onlineLevelCount
    bool ready = false;
    uint8_t round = 0;
    uint8_t levels[2] = {0, 0};
    uint32_t seeds[2] = {0, 0};
    int64_t startTime = 0;
    bool paused = false;
};
inline constexpr size_t largestControlMessage = 1 + 1 + 2 + 8 + 8;
size_t encodeControlMessage(const ControlMessage& message, uint8_t* out);
bool decodeControlMessage(const uint8_t* data, size_t size, ControlMessage& message);

}  // namespace vexlorn
