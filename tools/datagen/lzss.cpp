// LZSS packing in Allegro's datafile format, with the matching unpacker for self-checks.
#include "tools/datagen/lzss.h"

#include <algorithm>

namespace datagen {

namespace {

constexpr int ringSize = 4096;
constexpr int longest = 18;
constexpr int shortest = 3;
constexpr int ringStart = ringSize - longest;
// Matches stay well inside the ring, so their bytes are never overwritten before use.
constexpr int farthest = ringSize - longest;
constexpr int searchDepth = 48;
constexpr int hashBits = 16;

uint32_t hashAt(const std::vector<uint8_t>& in, size_t p) {
    uint32_t v = uint32_t(in[p]) << 16 | uint32_t(in[p + 1]) << 8 | in[p + 2];
    return (v * 2654435761u) >> (32 - hashBits);
}

}  // namespace

std::vector<uint8_t> lzssPack(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out;
    std::vector<int> head(size_t(1) << hashBits, -1), previous(in.size(), -1);
    size_t flagAt = 0;
    int items = 8;
    auto insert = [&](size_t p) {
        if (p + shortest > in.size()) return;
        uint32_t h = hashAt(in, p);
        previous[p] = head[h];
        head[h] = int(p);
    };
    size_t p = 0;
    while (p < in.size()) {
        if (items == 8) {
            flagAt = out.size();
            out.push_back(0);
            items = 0;
        }
        size_t bestLength = 0, bestFrom = 0;
        if (p + shortest <= in.size()) {
            size_t limit = std::min<size_t>(longest, in.size() - p);
            int q = head[hashAt(in, p)];
            for (int depth = 0; q >= 0 && p - size_t(q) <= farthest && depth < searchDepth;
                 ++depth) {
                size_t length = 0;
                while (length < limit && in[size_t(q) + length] == in[p + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestFrom = size_t(q);
                    if (length == limit) break;
                }
                q = previous[size_t(q)];
            }
        }
        if (bestLength >= shortest) {
            int ring = int((ringStart + bestFrom) & (ringSize - 1));
            out.push_back(uint8_t(ring & 0xFF));
            out.push_back(uint8_t(((ring >> 4) & 0xF0) | int(bestLength - shortest)));
            for (size_t k = 0; k < bestLength; ++k) insert(p + k);
            p += bestLength;
        } else {
            out[flagAt] |= uint8_t(1 << items);
            out.push_back(in[p]);
            insert(p);
            ++p;
        }
        ++items;
    }
    return out;
}

std::vector<uint8_t> lzssUnpack(const std::vector<uint8_t>& packed, size_t unpackedSize) {
    std::vector<uint8_t> ring(ringSize, 0), out;
    int r = ringStart;
    size_t at = 0;
    unsigned flags = 0;
    auto emit = [&](uint8_t c) {
        ring[size_t(r)] = c;
        r = (r + 1) & (ringSize - 1);
        out.push_back(c);
    };
    while (out.size() < unpackedSize && at < packed.size()) {
        if (((flags >>= 1) & 256) == 0) flags = packed[at++] | 0xFF00u;
        if (flags & 1) {
            if (at >= packed.size()) break;
            emit(packed[at++]);
            continue;
        }
        if (at + 1 >= packed.size()) break;
        int i = packed[at] | ((packed[at + 1] & 0xF0) << 4);
        int length = (packed[at + 1] & 0x0F) + shortest;
        at += 2;
        for (int k = 0; k < length && out.size() < unpackedSize; ++k)
            emit(ring[size_t((i + k) & (ringSize - 1))]);
    }
    return out;
}

}  // namespace datagen
