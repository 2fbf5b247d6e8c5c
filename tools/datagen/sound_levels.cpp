// Loudness matching for the sound objects: RMS targets and a look-ahead peak limiter.
#include "tools/datagen/sound_levels.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace datagen {
namespace {

// Several effects and the music sound at once in play, often starting on the same tick, so
// every sound leaves the mixer plenty of headroom: peaks are held well under half of full
// scale (-6 dBFS) even after MP3 encoding adds its own overshoot, and the music sits low
// enough for the effects to be heard over it.
constexpr double kTuneRms = 0.09;    // about -21 dBFS
constexpr double kEffectRms = 0.13;  // over the effect's loudest 100 ms, about -18 dBFS

struct Ceiling {
    double level;    // no sample beyond this
    double release;  // seconds for the gain to recover after a peak
};
constexpr Ceiling kTuneCeiling = {0.32, 0.08};
constexpr Ceiling kEffectCeiling = {0.25, 0.03};

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

// A look-ahead peak limiter: the gain falls smoothly in the 1.5 ms before a peak, just far
// enough to hold it at the ceiling, and recovers over the release time. Unlike clipping the
// samples, it leaves the waveform's shape, and so the timbre, alone.
void limitPeaks(synth::Buffer& samples, const Ceiling& ceiling) {
    const size_t n = samples.size();
    const size_t ahead = synth::kSampleRate * 3 / 2000;
    std::vector<float> needed(n);
    for (size_t i = 0; i < n; ++i)
        needed[i] =
            float(std::min(1.0, ceiling.level / std::max(1e-9, double(std::fabs(samples[i])))));
    // The lowest gain needed anywhere within `ahead` samples either side, through a sliding
    // minimum, then a release that lets it rise only slowly.
    std::vector<float> gain(n);
    std::deque<size_t> window;
    const double recover = 1.0 - std::exp(-1.0 / (ceiling.release * synth::kSampleRate));
    double released = 1.0;
    for (size_t i = 0; i < n + ahead; ++i) {
        if (i < n) {
            while (!window.empty() && needed[window.back()] >= needed[i]) window.pop_back();
            window.push_back(i);
        }
        if (i < ahead) continue;
        const size_t at = i - ahead;
        while (window.front() + 2 * ahead < i) window.pop_front();
        released = std::min<double>(needed[window.front()], released + (1.0 - released) * recover);
        gain[at] = float(released);
    }
    // Averaging over half the look-ahead smooths the fall without letting any peak through:
    // every gain averaged is at most the one its neighbourhood's highest sample needs.
    std::vector<double> sum(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + gain[i];
    const size_t half = ahead / 2;
    for (size_t i = 0; i < n; ++i) {
        const size_t first = i >= half ? i - half : 0, last = std::min(n, i + half + 1);
        samples[i] *= float((sum[last] - sum[first]) / double(last - first));
    }
}

// The limiter takes a little of the RMS it is given, so the gain is found in two passes.
void matchLevel(synth::Buffer& samples, double target, double (*measure)(const synth::Buffer&),
                const Ceiling& ceiling) {
    const synth::Buffer original = samples;
    double gain = target / std::max(measure(original), 1e-9);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = float(original[i] * gain);
        limitPeaks(samples, ceiling);
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
    matchLevel(samples, kTuneRms, wholeRms, kTuneCeiling);
    fadeOutEnd(samples);
}

void normaliseEffect(synth::Buffer& samples, double levelDb) {
    const double factor = std::pow(10.0, levelDb / 20.0);
    matchLevel(samples, kEffectRms * factor, loudestWindowRms,
               {kEffectCeiling.level * factor, kEffectCeiling.release});
    fadeOutEnd(samples);
}

}  // namespace datagen
