// Allegro's LZSS: the per-object compression of datafile chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace datagen {

// 4096-byte ring starting at 4078, matches of 3..18 bytes, eight items to a flag byte with
// set bits for literals: what Allegro's chunk reader unpacks.
std::vector<uint8_t> lzssPack(const std::vector<uint8_t>& input);
std::vector<uint8_t> lzssUnpack(const std::vector<uint8_t>& packed, size_t unpackedSize);

}  // namespace datagen
