// The drum kit: kick, snare, hats and crash built from swept sines and filtered noise.
#pragma once

#include "tools/datagen/synth_voice.h"

namespace datagen::synth {

void addKick(Buffer& out, double start, double velocity);
void addSnare(Buffer& out, double start, double velocity);
void addHat(Buffer& out, double start, double velocity);
void addCrash(Buffer& out, double start, double velocity);

}  // namespace datagen::synth
