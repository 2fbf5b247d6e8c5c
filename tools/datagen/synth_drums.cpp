// The drum kit: kick, snare, hats and crash built from swept sines and filtered noise.
#include "tools/datagen/synth_drums.h"

namespace datagen::synth {
namespace {

Voice percussive(Wave wave, double gain, double decay) {
    Voice v;
    v.wave = wave;
    v.gain = gain;
    v.envelope = {0.001, decay, 0.0, 0.01};
    return v;
}

}  // namespace

void addKick(Buffer& out, double start, double velocity) {
    Voice body = percussive(Wave::Sine, 0.9, 0.22);
    body.glideTo = 42.0;
    addNote(out, body, start, 0.4, 140.0, velocity);
    // A few milliseconds of filtered click give the kick its attack on small speakers.
    Voice click = percussive(Wave::Noise, 0.25, 0.006);
    click.cutoff = 3000.0;
    click.noiseSeed = 7;
    addNote(out, click, start, 0.02, 1.0, velocity);
}

void addSnare(Buffer& out, double start, double velocity) {
    Voice tone = percussive(Wave::Triangle, 0.35, 0.06);
    tone.glideTo = 160.0;
    addNote(out, tone, start, 0.12, 220.0, velocity);
    Voice rattle = percussive(Wave::Noise, 0.45, 0.13);
    rattle.highpass = 900.0;
    rattle.cutoff = 7000.0;
    rattle.noiseSeed = 11;
    addNote(out, rattle, start, 0.25, 1.0, velocity);
}

void addHat(Buffer& out, double start, double velocity) {
    Voice hiss = percussive(Wave::Noise, 0.22, 0.035);
    hiss.highpass = 7000.0;
    hiss.noiseSeed = 23;
    addNote(out, hiss, start, 0.08, 1.0, velocity);
}

void addCrash(Buffer& out, double start, double velocity) {
    Voice wash = percussive(Wave::Noise, 0.3, 0.9);
    wash.highpass = 3500.0;
    wash.cutoff = 12000.0;
    wash.cutoffEnd = 5000.0;
    wash.noiseSeed = 31;
    addNote(out, wash, start, 1.6, 1.0, velocity);
}

}  // namespace datagen::synth
