// The sound objects of the data file: synthesised in code and MP3-encoded.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen {

// MP3 bytes (44.1 kHz, LAME tag written) for the sound stored at a data-file position
// (22..28 and 30..36). Deterministic: the same bytes on every call and every build.
std::vector<uint8_t> makeSound(int objectIndex);

}  // namespace datagen
