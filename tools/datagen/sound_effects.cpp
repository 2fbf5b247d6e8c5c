// The nine sound effects, each synthesised from a few voices.
#include "tools/datagen/sound_effects.h"

#include "tools/datagen/synth_drums.h"

namespace datagen {

using synth::addNote;
using synth::Buffer;
using synth::noteFrequency;
using synth::Voice;
using synth::Wave;

namespace {

Voice voice(Wave wave, double gain, synth::Envelope envelope) {
    Voice v;
    v.wave = wave;
    v.gain = gain;
    v.envelope = envelope;
    return v;
}

// Midi note numbers of the notes the jingles use.
enum Note { E4 = 64, F4, Fs4, G4, C5 = 72, E5 = 76, G5 = 79, C6 = 84, D6 = 86, E6 = 88, G6 = 91 };

}  // namespace

Buffer renderMoveBlip() {
    Buffer out;
    Voice tick = voice(Wave::Square, 0.45, {0.001, 0.028, 0.0, 0.008});
    tick.duty = 0.25;
    tick.glideTo = 1760.0;
    tick.cutoff = 6000.0;
    addNote(out, tick, 0.0, 0.065, 1175.0);
    Voice body = voice(Wave::Sine, 0.4, {0.001, 0.03, 0.0, 0.008});
    body.glideTo = 880.0;
    addNote(out, body, 0.0, 0.065, 587.0);
    return out;
}

Buffer renderGroupChime() {
    Buffer out;
    Voice bell = voice(Wave::Fm, 0.3, {0.002, 0.32, 0.0, 0.06});
    bell.fmRatio = 2.0;
    bell.fmIndex = 2.2;
    const int notes[] = {C6, E6, G6, C6 + 12};
    for (int i = 0; i < 4; ++i) addNote(out, bell, i * 0.045, 0.8, noteFrequency(notes[i]));
    return out;
}

Buffer renderGetReadyJingle() {
    Buffer out;
    Voice lead = voice(Wave::Square, 0.3, {0.003, 0.08, 0.6, 0.1});
    lead.cutoff = 4500.0;
    lead.vibratoDepth = 0.15;
    addNote(out, lead, 0.00, 0.10, noteFrequency(G5));
    addNote(out, lead, 0.14, 0.10, noteFrequency(C6));
    addNote(out, lead, 0.28, 0.38, noteFrequency(E6));
    Voice bass = voice(Wave::Triangle, 0.5, {0.003, 0.2, 0.5, 0.12});
    addNote(out, bass, 0.00, 0.24, noteFrequency(C5 - 24));
    addNote(out, bass, 0.28, 0.38, noteFrequency(G5 - 36));
    return out;
}

Buffer renderGoJingle() {
    Buffer out;
    Voice stab = voice(Wave::Saw, 0.16, {0.003, 0.25, 0.35, 0.15});
    stab.cutoff = 1500.0;
    stab.cutoffEnd = 6000.0;
    for (int note : {C5, E5, G5, C6}) addNote(out, stab, 0.0, 0.35, noteFrequency(note));
    Voice bass = voice(Wave::Saw, 0.35, {0.003, 0.2, 0.4, 0.12});
    bass.cutoff = 800.0;
    addNote(out, bass, 0.0, 0.35, noteFrequency(C5 - 36));
    synth::addKick(out, 0.0, 0.8);
    synth::addCrash(out, 0.0, 0.5);
    out.resize(synth::kSampleRate * 7 / 10);  // the crash's tail is cut short on purpose
    return out;
}

Buffer renderRoundWonFanfare() {
    Buffer out;
    Voice brass = voice(Wave::Saw, 0.2, {0.01, 0.15, 0.7, 0.12});
    brass.cutoff = 2800.0;
    brass.vibratoDepth = 0.2;
    brass.vibratoDelay = 0.25;
    const struct {
        double start, hold;
        int note;
    } melody[] = {{0.00, 0.07, C5}, {0.10, 0.07, E5}, {0.20, 0.07, G5},
                  {0.30, 0.22, C6}, {0.56, 0.10, G5}, {0.70, 0.85, E6}};
    for (const auto& n : melody) addNote(out, brass, n.start, n.hold, noteFrequency(n.note));
    Voice pad = voice(Wave::Saw, 0.09, {0.02, 0.3, 0.6, 0.3});
    pad.cutoff = 1800.0;
    for (int note : {C5, E5, G5}) addNote(out, pad, 0.70, 0.85, noteFrequency(note));
    Voice bass = voice(Wave::Triangle, 0.5, {0.003, 0.2, 0.6, 0.2});
    addNote(out, bass, 0.0, 0.5, noteFrequency(C5 - 24));
    addNote(out, bass, 0.70, 0.85, noteFrequency(C5 - 24));
    synth::addKick(out, 0.70, 0.8);
    synth::addCrash(out, 0.70, 0.5);
    return out;
}

Buffer renderGameLost() {
    Buffer out;
    // Each note opens and closes its filter like a muted horn, falling a semitone at a time.
    Voice horn = voice(Wave::Square, 0.3, {0.01, 0.15, 0.7, 0.12});
    horn.cutoff = 2200.0;
    horn.cutoffEnd = 500.0;
    const int notes[] = {G4, Fs4, F4};
    for (int i = 0; i < 3; ++i) addNote(out, horn, i * 0.36, 0.26, noteFrequency(notes[i]));
    Voice last = horn;
    last.vibratoDepth = 0.35;
    last.vibratoRate = 5.0;
    last.vibratoDelay = 0.2;
    last.glideTo = noteFrequency(E4 - 1);
    addNote(out, last, 3 * 0.36, 1.0, noteFrequency(E4));
    Voice bass = voice(Wave::Triangle, 0.45, {0.005, 0.2, 0.6, 0.15});
    for (int i = 0; i < 3; ++i) addNote(out, bass, i * 0.36, 0.26, noteFrequency(notes[i] - 24));
    addNote(out, bass, 3 * 0.36, 1.0, noteFrequency(E4 - 24));
    return out;
}

Buffer renderBombBlast() {
    Buffer out;
    Voice blast = voice(Wave::Noise, 0.8, {0.002, 0.45, 0.0, 0.1});
    blast.cutoff = 6000.0;
    blast.cutoffEnd = 250.0;
    blast.noiseSeed = 101;
    addNote(out, blast, 0.0, 0.9, 1.0);
    Voice thump = voice(Wave::Sine, 0.9, {0.002, 0.35, 0.0, 0.05});
    thump.glideTo = 30.0;
    addNote(out, thump, 0.0, 0.6, 95.0);
    Voice crackle = voice(Wave::Noise, 0.35, {0.001, 0.07, 0.0, 0.02});
    crackle.highpass = 2500.0;
    crackle.noiseSeed = 202;
    addNote(out, crackle, 0.0, 0.2, 1.0);
    return out;
}

Buffer renderStonesDropped() {
    Buffer out;
    Voice whoosh = voice(Wave::Noise, 0.45, {0.004, 0.18, 0.0, 0.05});
    whoosh.cutoff = 4000.0;
    whoosh.cutoffEnd = 400.0;
    whoosh.noiseSeed = 303;
    addNote(out, whoosh, 0.0, 0.4, 1.0);
    Voice fall = voice(Wave::Triangle, 0.4, {0.002, 0.16, 0.0, 0.04});
    fall.glideTo = 140.0;
    addNote(out, fall, 0.0, 0.35, 620.0);
    // A short rattle of stones settling behind the fall.
    Voice knock = voice(Wave::Sine, 0.5, {0.001, 0.03, 0.0, 0.01});
    knock.glideTo = 90.0;
    const double knocks[] = {0.16, 0.23, 0.29};
    for (double at : knocks) addNote(out, knock, at, 0.08, 190.0, 0.8);
    return out;
}

Buffer renderStoneLanded() {
    Buffer out;
    Voice thud = voice(Wave::Sine, 0.9, {0.001, 0.08, 0.0, 0.02});
    thud.glideTo = 50.0;
    addNote(out, thud, 0.0, 0.2, 140.0);
    Voice grit = voice(Wave::Noise, 0.4, {0.001, 0.02, 0.0, 0.01});
    grit.cutoff = 1400.0;
    grit.noiseSeed = 404;
    addNote(out, grit, 0.0, 0.05, 1.0);
    return out;
}

}  // namespace datagen
