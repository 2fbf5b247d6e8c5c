// The local network's question and answer, byte by byte.
#include "platform/net/lan_message.h"

#include <cstring>

namespace vexlorn {

namespace {

constexpr uint8_t magic[4] = {'V', 'X', 'L', 'N'};
constexpr uint8_t questionKind = 'Q';
constexpr uint8_t answerKind = 'A';
constexpr uint8_t formatVersion = 1;
constexpr size_t portAt = 6;
constexpr size_t idAt = 8;
constexpr size_t versionAt = 16;
static_assert(versionAt + longestLanVersion == lanMessageSize, "the version ends the message");

bool printable(uint8_t c) {
    return c >= 0x20 && c <= 0x7e;
}

bool allZero(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != 0) return false;
    }
    return true;
}

}  // namespace

bool encodeLanMessage(const LanMessage& message, uint8_t (&bytes)[lanMessageSize]) {
    std::memset(bytes, 0, sizeof bytes);
    std::memcpy(bytes, magic, sizeof magic);
    bytes[4] = message.answer ? answerKind : questionKind;
    bytes[5] = formatVersion;
    if (!message.answer) return true;
    if (message.port == 0 || message.version.empty() ||
        message.version.size() > longestLanVersion) {
        return false;
    }
    for (const char c : message.version) {
        if (!printable(static_cast<uint8_t>(c))) return false;
    }
    bytes[portAt] = static_cast<uint8_t>(message.port >> 8);
    bytes[portAt + 1] = static_cast<uint8_t>(message.port);
    for (int i = 0; i < 8; ++i) bytes[idAt + i] = static_cast<uint8_t>(message.id >> (56 - 8 * i));
    std::memcpy(bytes + versionAt, message.version.data(), message.version.size());
    return true;
}

bool decodeLanMessage(const uint8_t* data, size_t size, LanMessage& message) {
    if (data == nullptr || size != lanMessageSize) return false;
    if (std::memcmp(data, magic, sizeof magic) != 0 || data[5] != formatVersion) return false;
    if (data[4] == questionKind) {
        if (!allZero(data + portAt, lanMessageSize - portAt)) return false;
        message = LanMessage{};
        return true;
    }
    if (data[4] != answerKind) return false;
    const uint16_t port = static_cast<uint16_t>(data[portAt] << 8 | data[portAt + 1]);
    size_t length = 0;
    while (length < longestLanVersion && data[versionAt + length] != 0) {
        if (!printable(data[versionAt + length])) return false;
        ++length;
    }
    // Nothing after the version's end, so that one message has one form.
    if (port == 0 || length == 0 ||
        !allZero(data + versionAt + length, longestLanVersion - length)) {
        return false;
    }
    message.answer = true;
    message.port = port;
    message.id = 0;
    for (int i = 0; i < 8; ++i) message.id = message.id << 8 | data[idAt + i];
    message.version.assign(reinterpret_cast<const char*>(data + versionAt), length);
    return true;
}

}  // namespace vexlorn
