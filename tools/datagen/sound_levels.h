// Loudness matching for the sound objects: RMS targets and a look-ahead peak limiter.
#pragma once

#include "tools/datagen/synth_voice.h"

namespace datagen {

// Brings a tune's overall RMS to the level shared by every tune.
void normaliseTune(synth::Buffer& samples);

// Brings an effect's loudest tenth of a second to a level that sits well over the music,
// with its peak ceiling, moved by `levelDb`.
void normaliseEffect(synth::Buffer& samples, double levelDb);

}  // namespace datagen
