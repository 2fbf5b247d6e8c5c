// Synth building blocks: oscillators with envelopes, filters and deterministic noise.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen::synth {

constexpr int kSampleRate = 44100;

// Mono samples in -1..1 at kSampleRate.
using Buffer = std::vector<float>;

enum class Wave { Sine, Square, Saw, Triangle, Fm, Noise };

// Times in seconds; sustain is a level 0..1. A zero sustain makes a plucked, self-ending note.
struct Envelope {
    double attack = 0.003;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.08;
};

struct Voice {
    Wave wave = Wave::Square;
    double gain = 0.5;
    Envelope envelope;
    double duty = 0.5;           // square only
    double fmRatio = 2.0;        // modulator / carrier frequency
    double fmIndex = 0.0;        // peak modulation depth in radians, follows the envelope
    double glideTo = 0.0;        // > 0: exponential pitch glide to this frequency over the note
    double cutoff = 0.0;         // > 0: two-pole low-pass in Hz
    double cutoffEnd = 0.0;      // > 0: the cutoff glides to this over the note
    double highpass = 0.0;       // > 0: one-pole high-pass in Hz
    double vibratoDepth = 0.0;   // semitones
    double vibratoRate = 5.5;    // Hz
    double vibratoDelay = 0.15;  // seconds before the vibrato starts
    uint32_t noiseSeed = 1;
};

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteFrequency(int midiNote);

// Mixes one note into `out` (growing it as needed): it starts at `start`, is held for
// `hold` seconds and then releases. Returns the time at which its sound has ended.
double addNote(Buffer& out, const Voice& voice, double start, double hold, double frequency,
               double velocity = 1.0);

// The buffer's length in seconds.
double seconds(const Buffer& buffer);

}  // namespace datagen::synth
