// Oscillators, the ADSR envelope, filters and noise behind every synthesised sound.
#include "tools/datagen/synth_voice.h"

#include <algorithm>
#include <cmath>

namespace datagen::synth {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// Smooths the jump of a naive saw or square so that high notes do not alias into hiss.
double polyBlep(double phase, double step) {
    if (phase < step) {
        const double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        const double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// ADSR stepped one sample at a time: a linear attack, exponential decay towards the sustain
// level and an exponential release that a linear factor brings to exactly zero.
class EnvelopeStepper {
public:
    EnvelopeStepper(const Envelope& env, double hold)
        : env_(env),
          attackStep_(1.0 / std::max(1.0, env.attack * kSampleRate)),
          decayFactor_(std::exp(-5.0 / (env.decay * kSampleRate))),
          releaseFactor_(std::exp(-4.0 / (env.release * kSampleRate))),
          releaseSamples_(env.release * kSampleRate),
          holdSamples_(long(hold * kSampleRate)) {}

    double next() {
        if (sample_ < holdSamples_) {
            if (level_ < 1.0 && !decaying_) {
                level_ = std::min(1.0, level_ + attackStep_);
                decaying_ = level_ >= 1.0;
            } else {
                excess_ *= decayFactor_;
                level_ = env_.sustain + (1.0 - env_.sustain) * excess_;
            }
            releaseLevel_ = level_;
        } else {
            const double since = double(sample_ - holdSamples_);
            releaseLevel_ *= releaseFactor_;
            level_ =
                since >= releaseSamples_ ? 0.0 : releaseLevel_ * (1.0 - since / releaseSamples_);
        }
        ++sample_;
        return level_;
    }

private:
    const Envelope& env_;
    const double attackStep_, decayFactor_, releaseFactor_, releaseSamples_;
    const long holdSamples_;
    long sample_ = 0;
    bool decaying_ = false;
    double level_ = 0.0, excess_ = 1.0, releaseLevel_ = 0.0;
};

// Marsaglia's xorshift: white noise that is the same on every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

class Oscillator {
public:
    explicit Oscillator(const Voice& voice) : voice_(voice), noise_(voice.noiseSeed) {}

    double next(double frequency, double level) {
        const double step = frequency / kSampleRate;
        double value = 0.0;
        switch (voice_.wave) {
            case Wave::Sine:
                value = std::sin(kTwoPi * phase_);
                break;
            case Wave::Square: {
                const double d = voice_.duty;
                const double shifted = phase_ + 1.0 - d;
                value = (phase_ < d ? 1.0 : -1.0) + polyBlep(phase_, step) -
                        polyBlep(shifted >= 1.0 ? shifted - 1.0 : shifted, step);
                break;
            }
            case Wave::Saw:
                value = 2.0 * phase_ - 1.0 - polyBlep(phase_, step);
                break;
            case Wave::Triangle:
                value = 1.0 - 4.0 * std::fabs(phase_ - 0.5);
                break;
            case Wave::Fm:
                value = std::sin(kTwoPi * phase_ +
                                 voice_.fmIndex * level * std::sin(kTwoPi * modPhase_));
                modPhase_ += step * voice_.fmRatio;
                modPhase_ -= std::floor(modPhase_);
                break;
            case Wave::Noise:
                value = noise_.next();
                break;
        }
        phase_ += step;
        if (phase_ >= 1.0) phase_ -= std::floor(phase_);
        return value;
    }

private:
    const Voice& voice_;
    Noise noise_;
    double phase_ = 0.0;
    double modPhase_ = 0.0;
};

// Two cascaded one-pole sections: a gentle 12 dB/octave slope with no resonance to blow up.
class LowPass {
public:
    double next(double in, double cutoff) {
        if (cutoff != lastCutoff_) {
            coefficient_ = 1.0 - std::exp(-kTwoPi * std::min(cutoff, 18000.0) / kSampleRate);
            lastCutoff_ = cutoff;
        }
        a_ += coefficient_ * (in - a_);
        b_ += coefficient_ * (a_ - b_);
        return b_;
    }

private:
    double a_ = 0.0, b_ = 0.0, coefficient_ = 0.0, lastCutoff_ = -1.0;
};

// Per-sample factor of an exponential glide from one value to another over `samples`.
double glideFactor(double from, double to, size_t samples) {
    if (to <= 0.0 || samples == 0) return 1.0;
    return std::pow(to / from, 1.0 / double(samples));
}

// Vibrato and filter sweeps change slowly: working them out every few samples is enough.
constexpr size_t kControlInterval = 32;

}  // namespace

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

double seconds(const Buffer& buffer) {
    return double(buffer.size()) / kSampleRate;
}

double addNote(Buffer& out, const Voice& voice, double start, double hold, double frequency,
               double velocity) {
    const Envelope& env = voice.envelope;
    // A note that decays to nothing is over long before a long hold ends.
    const double heldFor = env.sustain > 0.0 ? hold : std::min(hold, env.attack + 2.0 * env.decay);
    const double length = heldFor + env.release;
    const auto first = static_cast<size_t>(std::lround(start * kSampleRate));
    const auto count = static_cast<size_t>(std::lround(length * kSampleRate));
    if (out.size() < first + count) out.resize(first + count, 0.0f);

    Oscillator oscillator(voice);
    EnvelopeStepper envelope(env, heldFor);
    LowPass lowPass;
    const double hpCoefficient = 1.0 - std::exp(-kTwoPi * voice.highpass / kSampleRate);
    double hpState = 0.0;
    const double pitchStep = glideFactor(frequency, voice.glideTo, count);
    const double cutoffBlockStep =
        std::pow(glideFactor(voice.cutoff, voice.cutoffEnd, count), double(kControlInterval));
    double pitch = frequency;
    double cutoff = voice.cutoff;
    double vibrato = 1.0;
    for (size_t i = 0; i < count; ++i) {
        if (i % kControlInterval == 0 && voice.vibratoDepth > 0.0) {
            const double t = double(i) / kSampleRate;
            const double depth =
                voice.vibratoDepth * std::clamp((t - voice.vibratoDelay) / 0.2, 0.0, 1.0);
            vibrato = std::pow(2.0, depth / 12.0 * std::sin(kTwoPi * voice.vibratoRate * t));
        }
        const double level = envelope.next();
        double sample = oscillator.next(pitch * vibrato, level);
        pitch *= pitchStep;
        if (voice.highpass > 0.0) {
            hpState += hpCoefficient * (sample - hpState);
            sample -= hpState;
        }
        if (voice.cutoff > 0.0) {
            sample = lowPass.next(sample, cutoff);
            if (i % kControlInterval == kControlInterval - 1) cutoff *= cutoffBlockStep;
        }
        out[first + i] += float(sample * level * voice.gain * velocity);
    }
    return start + length;
}

}  // namespace datagen::synth
