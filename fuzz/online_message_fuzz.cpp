// Fuzz target: any datagram a peer can send: greeting, keys or the match's messages. The decoder
// must refuse or accept it without reading outside it, what it accepts must lie within the
// message's limits and encode back to the same bytes, and a session fed it must stay within its own
// bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "play/online_message.h"
#include "play/online_session.h"

using namespace vexlorn;

namespace {

// A round that only counts what it is asked: the session's bounds are what is checked here.
class CountingGame : public SessionGame {
public:
    void saveRound(uint32_t update) override { (void)update; }
    void loadRound(uint32_t update) override { (void)update; }
    bool advanceRound(const uint8_t keys[2], bool again) override {
        (void)again;
        if (keys[0] > largestOnlineKey || keys[1] > largestOnlineKey) __builtin_trap();
        return true;
    }
    uint64_t hashRound() override { return 0; }
    void keepUpdate(uint32_t update, const uint8_t keys[2]) override {
        if (update != kept) __builtin_trap();
        (void)keys;
        ++kept;
    }
    uint32_t kept = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeysMessage message;
    if (decodeKeysMessage(data, size, message)) {
        if (message.count > mostKeysPerMessage) __builtin_trap();
        uint8_t again[largestKeysMessage];
        const size_t length = encodeKeysMessage(message, again);
        if (length != size || std::memcmp(again, data, size) != 0) __builtin_trap();
    }
    ControlMessage control;
    if (decodeControlMessage(data, size, control)) {
        if (control.level < 1 || control.level > onlineLevelCount) __builtin_trap();
        uint8_t again[largestControlMessage];
        if (encodeControlMessage(control, again) != size || std::memcmp(again, data, size) != 0) {
            __builtin_trap();
        }
    }
    HelloMessage hello;
    if (decodeHelloMessage(data, size, hello)) {
        if (hello.version[longestHelloVersion] != 0) __builtin_trap();
        uint8_t again[helloSize];
        if (encodeHelloMessage(hello, again) != size || std::memcmp(again, data, size) != 0) {
            __builtin_trap();
        }
    }
    // The same bytes as a stream of messages to a playing session, split at every byte of
    // value 0xff (a byte no count or key takes).
    CountingGame game;
    OnlineSession session(game, 0);
    size_t from = 0;
    for (size_t at = 0; at <= size; ++at) {
        if (at < size && data[at] != 0xff) continue;
        session.receive(data + from, at - from);
        session.tick(1);
        from = at + 1;
    }
    if (session.update() > session.settled() + mostGuessedUpdates) __builtin_trap();
    uint8_t out[largestKeysMessage];
    KeysMessage sent;
    if (!decodeKeysMessage(out, session.message(out), sent)) __builtin_trap();
    return 0;
}
