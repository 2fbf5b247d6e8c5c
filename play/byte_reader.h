// Little-endian numbers read from bytes that came from outside (a recording, a peer's message),
// never past their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexlorn {

// Reads within the bytes it was given; any read past them only sets `failed`.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool failed = false;
    size_t at() const { return at_; }
    bool atEnd() const { return at_ == size_; }
    uint8_t byte() { return static_cast<uint8_t>(number(1)); }
    uint64_t number(int size) {
        if (size_ - at_ < static_cast<size_t>(size)) {
            failed = true;
            at_ = size_;
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < size; ++i) value |= static_cast<uint64_t>(data_[at_ + i]) << (8 * i);
        at_ += static_cast<size_t>(size);
        return value;
    }
    uint32_t varint() {
        uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const uint8_t part = byte();
            if (failed) return 0;
            if (shift == 28 && part > 0x0f) break;  // more than 32 bits
            value |= static_cast<uint32_t>(part & 0x7f) << shift;
            if ((part & 0x80) == 0) return value;
        }
        failed = true;
        return 0;
    }
    void text(std::string& into, size_t length) {
        if (size_ - at_ < length) {
            failed = true;
            at_ = size_;
            return;
        }
        into.assign(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace vexlorn
