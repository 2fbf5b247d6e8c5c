// Fuzz target: any datagram a stranger on the local network can send to a hosting game or a
// searching one. What the decoder takes must be a message whose own form is those very bytes,
// with a printable version within its limit; a search fed it lists at most its few games.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/net/lan_message.h"

using namespace vexlorn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LanMessage message;
    if (!decodeLanMessage(data, size, message)) return 0;
    if (size != lanMessageSize || message.version.size() > longestLanVersion) __builtin_trap();
    for (const char c : message.version) {
        if (c < 0x20 || c > 0x7e) __builtin_trap();
    }
    if (message.answer && (message.port == 0 || message.version.empty())) __builtin_trap();
    uint8_t again[lanMessageSize];
    if (!encodeLanMessage(message, again) || std::memcmp(again, data, size) != 0) __builtin_trap();
    return 0;
}
