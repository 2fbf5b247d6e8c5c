// The five tunes as chord and melody tables with their instruments.
#include "tools/datagen/sound_tunes.h"

#include "tools/datagen/synth_tune.h"

namespace datagen {

using synth::Envelope;
using synth::Tune;
using synth::Voice;
using synth::Wave;

namespace {

Voice instrument(Wave wave, double gain, Envelope envelope, double cutoff = 0.0) {
    Voice v;
    v.wave = wave;
    v.gain = gain;
    v.envelope = envelope;
    v.cutoff = cutoff;
    return v;
}

}  // namespace

// Bright and driving in C major, for the intro and the win screen.
synth::Buffer renderTitleTheme() {
    Tune t;
    t.bpm = 150.0;
    const synth::Section verse = {
        "C G Am F C G F G",
        "E5:4 G5:4 C6:6 B5:2 | D6:4 B5:4 G5:8 | A5:4 C6:4 E6:6 D6:2 | C6:4 A5:4 F5:8 |"
        "E5:2 G5:2 C6:4 E6:4 D6:2 C6:2 | B5:4 D6:4 G5:8 | A5:4 C6:2 A5:2 F5:4 A5:4 | G5:12 -:4"};
    const synth::Section bridge = {
        "Am F C G Am F G G",
        "C6:3 B5:1 A5:4 E5:4 A5:4 | C6:3 A5:1 F5:4 C5:4 F5:4 | G5:4 E5:4 C5:4 E5:4 |"
        "D5:4 G5:4 B5:8 | C6:4 E6:4 D6:4 C6:4 | A5:4 C6:4 F6:8 | D6:4 B5:4 G5:4 B5:4 | D6:16"};
    const synth::Section reprise = {
        "C G Am F C G F G",
        "E5:4 G5:4 C6:6 B5:2 | D6:4 B5:4 G5:8 | A5:4 C6:4 E6:6 D6:2 | C6:4 A5:4 F5:8 |"
        "E5:2 G5:2 C6:4 E6:4 D6:2 C6:2 | B5:4 D6:4 G5:8 | A5:4 C6:2 A5:2 G5:4 B5:4 |"
        "D6:4 B5:4 G5:4 B5:4"};
    t.sections = {verse, bridge, reprise};
    t.endChord = "C";
    t.endNote = "C6";
    t.lead = instrument(Wave::Square, 0.3, {0.004, 0.15, 0.55, 0.09}, 5000.0);
    t.lead.duty = 0.25;
    t.lead.vibratoDepth = 0.12;
    t.bass = instrument(Wave::Saw, 0.4, {0.003, 0.18, 0.4, 0.05}, 900.0);
    t.bassPattern = "1.8.1.8.5.8.1.8.";
    t.arp = instrument(Wave::Square, 0.1, {0.002, 0.08, 0.0, 0.03}, 3500.0);
    t.arp.duty = 0.125;
    t.arpPattern = "0124012401240124";
    t.kickPattern = "x...x...x...x...";
    t.snarePattern = "....x.......x...";
    t.hatPattern = "o.x.o.x.o.x.o.x.";
    return renderTune(t);
}

// Light and bouncy in F major, for the main menu and the get-ready screen.
synth::Buffer renderMenuTheme() {
    Tune t;
    t.bpm = 126.0;
    const synth::Section a = {"F Dm Bb C F Dm Gm C",
                              "A5:2 C6:2 -:2 A5:2 F5:4 A5:4 | D6:4 C6:2 A5:2 F5:4 D5:4 |"
                              "F5:2 Bb5:2 -:2 D6:2 C6:4 Bb5:4 | G5:2 E5:2 C5:4 -:8 |"
                              "A5:2 C6:2 -:2 A5:2 F6:4 E6:4 | D6:4 A5:4 F5:4 A5:4 |"
                              "Bb5:4 G5:2 Bb5:2 D6:4 C6:2 Bb5:2 | G5:4 E5:4 C6:8"};
    const synth::Section b = {
        "Bb C Am Dm Gm C",
        "D6:2 F6:2 -:2 D6:2 Bb5:4 D6:4 | C6:2 E6:2 -:2 C6:2 G5:4 C6:4 |"
        "C6:4 A5:2 C6:2 E6:4 C6:4 | D6:4 F6:4 A5:8 | Bb5:4 A5:4 G5:4 Bb5:4 | G5:4 E5:4 C5:4 E5:4"};
    t.sections = {a, b};
    t.endChord = "F";
    t.endNote = "F5";
    t.lead = instrument(Wave::Square, 0.32, {0.005, 0.1, 0.7, 0.07}, 2600.0);
    t.lead.vibratoDepth = 0.1;
    t.bass = instrument(Wave::Triangle, 0.6, {0.003, 0.2, 0.5, 0.05});
    t.bassPattern = "1...5.1.1...5.8.";
    t.pad = instrument(Wave::Saw, 0.1, {0.08, 0.3, 0.7, 0.25}, 1200.0);
    t.kickPattern = "x.....x...x.....";
    t.snarePattern = "....x.......x...";
    t.hatPattern = "..x...x...x...x.";
    t.drumGain = 0.8;
    return renderTune(t);
}

// Stately brass over a slow march in G major.
synth::Buffer renderHallOfFameTheme() {
    Tune t;
    t.bpm = 96.0;
    const synth::Section a = {
        "G Bm C D Em C Am D C D",
        "B5:6 A5:2 G5:4 D5:4 | F#5:6 G5:2 A5:4 B5:4 | C6:6 B5:2 A5:4 G5:4 | A5:8 F#5:4 D5:4 |"
        "G5:6 F#5:2 E5:4 G5:4 | E6:6 D6:2 C6:4 G5:4 | A5:4 C6:4 E6:4 D6:2 C6:2 | D6:12 -:4 |"
        "E6:4 D6:4 C6:4 B5:4 | A5:4 B5:2 C6:2 D6:4 F#5:4"};
    t.sections = {a};
    t.endChord = "G";
    t.endNote = "G5";
    t.lead = instrument(Wave::Fm, 0.32, {0.03, 0.2, 0.75, 0.15});
    t.lead.fmRatio = 1.0;
    t.lead.fmIndex = 2.2;
    t.lead.vibratoDepth = 0.15;
    t.bass = instrument(Wave::Saw, 0.4, {0.004, 0.25, 0.5, 0.08}, 600.0);
    t.bassPattern = "1.......5...1...";
    t.arp = instrument(Wave::Triangle, 0.14, {0.003, 0.15, 0.0, 0.05});
    t.arpPattern = "0.2.3.2.0.2.3.2.";
    t.pad = instrument(Wave::Saw, 0.12, {0.15, 0.4, 0.8, 0.4}, 1500.0);
    t.kickPattern = "x.......x.x.....";
    t.snarePattern = "....x.......x...";
    t.hatPattern = "o.o.o.o.o.o.o.o.";
    t.drumGain = 0.6;
    return renderTune(t);
}

// A ticking, driving ostinato in D minor while the continue countdown runs.
synth::Buffer renderCountdownTheme() {
    Tune t;
    t.bpm = 140.0;
    const synth::Section a = {
        "Dm Dm Bb A Dm Dm Bb A Gm A Dm A",
        "A5:6 -:2 A5:2 Bb5:2 A5:4 | F5:6 -:2 E5:4 D5:4 | D5:6 -:2 F5:4 Bb5:4 |"
        "A5:8 C#6:4 E6:4 | D6:6 -:2 D6:2 E6:2 F6:4 | E6:6 -:2 D6:4 A5:4 |"
        "Bb5:6 -:2 A5:4 G5:4 | A5:8 E5:4 C#5:4 | G5:4 Bb5:4 D6:4 C6:2 Bb5:2 |"
        "A5:4 C#6:4 E6:4 D6:2 C#6:2 | D6:4 F6:4 A6:4 F6:4 | E6:4 C#6:4 A5:4 E5:4"};
    t.sections = {a};
    t.endChord = "Dm";
    t.endNote = "D5";
    t.lead = instrument(Wave::Saw, 0.22, {0.003, 0.12, 0.5, 0.06}, 3000.0);
    t.bass = instrument(Wave::Square, 0.3, {0.003, 0.1, 0.5, 0.04}, 700.0);
    t.bassPattern = "1.1.1.1.1.1.1.1.";
    t.arp = instrument(Wave::Square, 0.09, {0.002, 0.06, 0.0, 0.02}, 3000.0);
    t.arp.duty = 0.125;
    t.arpPattern = "0313031303130313";
    t.kickPattern = "x..x....x..x....";
    t.hatPattern = "x...x...x...x...";
    t.drumGain = 0.7;
    return renderTune(t);
}

// Calm bells over soft pads in C major, for the instructions and about pages.
synth::Buffer renderInformationTheme() {
    Tune t;
    t.bpm = 88.0;
    const synth::Section a = {
        "Cmaj7 Am7 Fmaj7 G Cmaj7 Em7 Fmaj7 G Dm7 G",
        "E5:4 G5:4 B5:8 | C6:4 B5:2 A5:2 E5:8 | F5:4 A5:4 C6:4 E6:4 | D6:8 B5:8 |"
        "G5:4 E5:4 C6:8 | B5:4 G5:4 E5:8 | A5:4 C6:4 F6:4 E6:4 | D6:12 -:4 |"
        "F5:4 A5:4 D6:4 C6:4 | B5:8 D6:4 B5:4"};
    t.sections = {a};
    t.endChord = "Cmaj7";
    t.endNote = "C6";
    t.lead = instrument(Wave::Fm, 0.35, {0.003, 0.6, 0.0, 0.3});
    t.lead.fmRatio = 3.0;
    t.lead.fmIndex = 1.8;
    t.bass = instrument(Wave::Triangle, 0.5, {0.01, 0.5, 0.5, 0.2});
    t.bassPattern = "1.......5.......";
    t.arp = instrument(Wave::Sine, 0.12, {0.005, 0.3, 0.0, 0.1});
    t.arpPattern = "0.1.2.3.4.3.2.1.";
    t.pad = instrument(Wave::Saw, 0.13, {0.4, 0.5, 0.8, 0.6}, 900.0);
    t.drumGain = 0.0;
    return renderTune(t);
}

}  // namespace datagen
