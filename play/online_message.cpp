// Keys messages, little-endian: type (u8), round (u8), first update (u32), count (u8), the keys (u8
// each), received (u32), update (u32), lead (i8), checked update (u32), checked hash (u64).
#include "play/online_message.h"

#include "play/byte_reader.h"

namespace vexlorn {

namespace {

class Writer {
public:
    explicit Writer(uint8_t* out) : out_(out) {}
    void number(uint64_t value, int size) {
        for (int i = 0; i < size; ++i) out_[at_++] = static_cast<uint8_t>(value >> (8 * i));
    }
    size_t size() const { return at_; }

private:
    uint8_t* out_;
    size_t at_ = 0;
};

}  // namespace

size_t encodeKeysMessage(const KeysMessage& message, uint8_t* out) {
    Writer writer(out);
    writer.number(static_cast<uint8_t>(OnlineMessageType::Keys), 1);
    writer.number(message.round, 1);
    writer.number(message.firstUpdate, 4);
    const int count = message.count <= mostKeysPerMessage ? message.count : mostKeysPerMessage;
    writer.number(static_cast<uint64_t>(count), 1);
    for (int i = 0; i < count; ++i) writer.number(message.keys[i], 1);
    writer.number(message.received, 4);
    writer.number(message.update, 4);
    writer.number(static_cast<uint8_t>(message.lead), 1);
    writer.number(message.checkedUpdate, 4);
    writer.number(message.checkedHash, 8);
    return writer.size();
}

bool decodeKeysMessage(const uint8_t* data, size_t size, KeysMessage& message) {
    if (size > largestKeysMessage) return false;
    ByteReader reader(data, size);
    if (reader.number(1) != static_cast<uint8_t>(OnlineMessageType::Keys)) return false;
    message.round = static_cast<uint8_t>(reader.number(1));
    message.firstUpdate = static_cast<uint32_t>(reader.number(4));
    const uint64_t count = reader.number(1);
    if (count > static_cast<uint64_t>(mostKeysPerMessage)) return false;
    message.count = static_cast<uint8_t>(count);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t key = reader.number(1);
        if (key > largestOnlineKey) return false;
        message.keys[i] = static_cast<uint8_t>(key);
    }
    message.received = static_cast<uint32_t>(reader.number(4));
    message.update = static_cast<uint32_t>(reader.number(4));
    message.lead = static_cast<int8_t>(static_cast<uint8_t>(reader.number(1)));
    message.checkedUpdate = static_cast<uint32_t>(reader.number(4));
    message.checkedHash = reader.number(8);
    if (reader.failed || !reader.atEnd()) return false;
    return message.firstUpdate <= largestUpdateNumber &&
           message.firstUpdate + message.count <= largestUpdateNumber &&
           message.received <= largestUpdateNumber && message.update <= largestUpdateNumber &&
           message.checkedUpdate <= largestUpdateNumber;
}

size_t encodeHelloMessage(const HelloMessage& message, uint8_t* out) {
    Writer writer(out);
    writer.number(static_cast<uint8_t>(message.type), 1);
    writer.number(message.protocol, 2);
    size_t length = 0;
    while (length < longestHelloVersion && message.version[length] != 0) ++length;
    writer.number(length, 1);
    for (size_t i = 0; i < longestHelloVersion; ++i) {
        writer.number(i < length ? static_cast<uint8_t>(message.version[i]) : 0, 1);
    }
    writer.number(message.digest, 8);
    writer.number(message.accepted ? 1 : 0, 1);
    return writer.size();
}

bool decodeHelloMessage(const uint8_t* data, size_t size, HelloMessage& message) {
    if (size != helloSize) return false;
    ByteReader reader(data, size);
    const uint64_t type = reader.number(1);
    if (type != static_cast<uint8_t>(OnlineMessageType::Hello) &&
        type != static_cast<uint8_t>(OnlineMessageType::HelloReply))
        return false;
    message.type = static_cast<OnlineMessageType>(type);
    message.protocol = static_cast<uint16_t>(reader.number(2));
    const uint64_t length = reader.number(1);
    if (length > longestHelloVersion) return false;
    for (size_t i = 0; i < longestHelloVersion; ++i) {
        const uint64_t c = reader.number(1);
        // Shown to the player: printable characters only.
        if (i < length && (c < 0x20 || c > 0x7e)) return false;
        if (i >= length && c != 0) return false;
        message.version[i] = static_cast<char>(i < length ? c : 0);
    }
    message.version[longestHelloVersion] = 0;
    message.digest = reader.number(8);
    const uint64_t accepted = reader.number(1);
    if (accepted > 1) return false;
    message.accepted = accepted == 1;
    return !reader.failed && reader.atEnd();
}

size_t encodeControlMessage(const ControlMessage& message, uint8_t* out) {
    Writer writer(out);
    writer.number(static_cast<uint8_t>(message.type), 1);
    switch (message.type) {
        case OnlineMessageType::SetUp:
            writer.number(message.level, 1);
            writer.number(message.ready ? 1 : 0, 1);
            break;
        case OnlineMessageType::RoundStart:
            writer.number(message.round, 1);
            writer.number(message.levels[0], 1);
            writer.number(message.levels[1], 1);
            writer.number(message.seeds[0], 4);
            writer.number(message.seeds[1], 4);
            writer.number(static_cast<uint64_t>(message.startTime), 8);
            break;
        default:
            writer.number(message.paused ? 1 : 0, 1);
            break;
    }
    return writer.size();
}

bool decodeControlMessage(const uint8_t* data, size_t size, ControlMessage& message) {
    if (size > largestControlMessage) return false;
    ByteReader reader(data, size);
    const uint64_t type = reader.number(1);
    uint64_t flag = 0;
    if (type == static_cast<uint8_t>(OnlineMessageType::SetUp)) {
        message.type = OnlineMessageType::SetUp;
        const uint64_t level = reader.number(1);
        if (level < 1 || level > onlineLevelCount) return false;
        message.level = static_cast<uint8_t>(level);
        flag = reader.number(1);
        message.ready = flag == 1;
    } else if (type == static_cast<uint8_t>(OnlineMessageType::RoundStart)) {
        message.type = OnlineMessageType::RoundStart;
        message.round = static_cast<uint8_t>(reader.number(1));
        for (uint8_t& level : message.levels) {
            const uint64_t value = reader.number(1);
            if (value >= onlineLevelCount) return false;
            level = static_cast<uint8_t>(value);
        }
        for (uint32_t& seed : message.seeds) seed = static_cast<uint32_t>(reader.number(4));
        message.startTime = static_cast<int64_t>(reader.number(8));
    } else if (type == static_cast<uint8_t>(OnlineMessageType::Pause)) {
        message.type = OnlineMessageType::Pause;
        flag = reader.number(1);
        message.paused = flag == 1;
    } else {
        return false;
    }
    return flag <= 1 && !reader.failed && reader.atEnd();
}

}  // namespace vexlorn
