// MP3 encoding of synthesised samples through LAME, with the gapless tag in front.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datagen/synth_voice.h"

namespace datagen {

// Mono MP3 at 44.1 kHz whose first frame is LAME's tag, so that decoders skip the
// encoder delay and padding and return exactly `samples`. Empty if LAME fails.
std::vector<uint8_t> encodeMp3(const synth::Buffer& samples, int bitrateKbps);

}  // namespace datagen
