// Loudness matching for the sound objects: RMS targets and a soft peak ceiling.
#include "tools/datagen/sound_levels.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

constexpr double kTuneRms = 0.14;    // about -17 dBFS
constexpr double kEffectRms = 0.20;  // over the effect's loudest 100 ms
// Peaks above the knee bend smoothly towards the ceiling, which stays clear of full scale
// even after MP3 encoding adds its own overshoot.
constexpr double kKnee = 0.6;
constexpr double kCeiling = 0.85;

double rms(const synth::Buffer& samples, size_t first, size_t count) {
    double sum = 0.0;
    for (size_t i = first; i < first + count; ++i) sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / count) : 0.0;
}

double loudestWindowRms(const synth::Buffer& samples) {
    const size_t window = std::min<size_t>(samples.size(), synth::kSampleRate / 10);
    double loudest = 0.0;
    for (size_t first = 0; first + window <= samples.size(); first += window / 4)
        loudest = std::max(loudest, rms(samples, first, window));
    return loudest;
}

float limit(double x) {
    const double magnitude = std::fabs(x);
    if (magnitude <= kKnee) return float(x);
    const double room = kCeiling - kKnee;
    return float(std::copysign(kKnee + room * std::tanh((magnitude - kKnee) / room), x));
}

// The limiter takes a little of the RMS it is given, so the gain is found in two passes.
void matchLevel(synth::Buffer& samples, double target, double (*measure)(const synth::Buffer&)) {
    const synth::Buffer original = samples;
    double gain = target / std::max(measure(original), 1e-9);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = limit(original[i] * gain);
        gain *= target / std::max(measure(samples), 1e-9);
    }
}

double wholeRms(const synth::Buffer& samples) {
    return rms(samples, 0, samples.size());
}

// A tail cut short (a crash trimmed to the jingle's length) would otherwise end in a click.
void fadeOutEnd(synth::Buffer& samples) {
    const size_t fade = std::min<size_t>(samples.size(), synth::kSampleRate / 200);
    for (size_t i = 0; i < fade; ++i) samples[samples.size() - 1 - i] *= float(i) / fade;
}

}  // namespace

void normaliseTune(synth::Buffer& samples) {
    matchLevel(samples, kTuneRms, wholeRms);
    fadeOutEnd(samples);
}

void normaliseEffect(synth::Buffer& samples) {
    matchLevel(samples, kEffectRms, loudestWindowRms);
    fadeOutEnd(samples);
}

}  // namespace datagen
