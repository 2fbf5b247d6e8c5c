// The five tunes as chord and melody tables with their instruments and arrangements.
#include "tools/datagen/sound_tunes.h"

#include "tools/datagen/synth_tune.h"

namespace datagen {

using synth::Envelope;
using synth::Play;
using synth::Section;
using synth::Style;
using synth::Tune;
using synth::Voice;
using synth::Wave;

namespace {

Voice instrument(Wave wave, double gain, const Envelope& envelope, double cutoff = 0.0) {
    Voice v;
    v.wave = wave;
    v.gain = gain;
    v.envelope = envelope;
    v.cutoff = cutoff;
    return v;
}

Style style(const char* bass, const char* arp, const char* kick, const char* snare,
            const char* hat) {
    Style s;
    s.bassPattern = bass;
    s.arpPattern = arp;
    s.kickPattern = kick;
    s.snarePattern = snare;
    s.hatPattern = hat;
    return s;
}

// A style that leaves the melody out: intros and interludes.
Style withoutMelody(Style s) {
    s.melody = false;
    return s;
}

// The second lead voice with an echo: the same tune heard in a new colour.
Style answered(Style s) {
    s.altLead = true;
    s.echo = true;
    return s;
}

Style withFill(Style s, const char* fill) {
    s.fillPattern = fill;
    return s;
}

}  // namespace

// Bright and driving in C major, for the intro's attract loop and the win screen. The loop
// runs about a minute and the win screen waits for a key, so the tune lasts over two.
synth::Buffer renderTitleTheme() {
    Tune t;
    t.bpm = 150.0;
    const Section verse = {
        "C G Am F C G F G",
        "E5:4 G5:4 C6:6 B5:2 | D6:4 B5:4 G5:8 | A5:4 C6:4 E6:6 D6:2 | C6:4 A5:4 F5:8 |"
        "E5:2 G5:2 C6:4 E6:4 D6:2 C6:2 | B5:4 D6:4 G5:8 | A5:4 C6:2 A5:2 F5:4 A5:4 | G5:12 -:4"};
    const Section bridge = {
        "Am F C G Am F G G",
        "C6:3 B5:1 A5:4 E5:4 A5:4 | C6:3 A5:1 F5:4 C5:4 F5:4 | G5:4 E5:4 C5:4 E5:4 |"
        "D5:4 G5:4 B5:8 | C6:4 E6:4 D6:4 C6:4 | A5:4 C6:4 F6:8 | D6:4 B5:4 G5:4 B5:4 | D6:16"};
    const Section reprise = {
        "C G Am F C G F G",
        "E5:4 G5:4 C6:6 B5:2 | D6:4 B5:4 G5:8 | A5:4 C6:4 E6:6 D6:2 | C6:4 A5:4 F5:8 |"
        "E5:2 G5:2 C6:4 E6:4 D6:2 C6:2 | B5:4 D6:4 G5:8 | A5:4 C6:2 A5:2 G5:4 B5:4 |"
        "D6:4 B5:4 G5:4 B5:4"};
    const Section climb = {
        "F G Em Am Dm Em F G",
        "A5:4 C6:4 F6:4 C6:4 | B5:4 D6:4 G6:4 D6:4 | E6:6 D6:2 B5:4 G5:4 | C6:6 B5:2 A5:8 |"
        "F5:2 A5:2 D6:4 F6:4 D6:4 | E6:2 D6:2 B5:4 G5:4 B5:4 | C6:4 A5:4 F5:4 A5:4 |"
        "G5:4 B5:4 D6:4 F6:4"};
    t.sections = {verse, bridge, reprise, climb};
    const Style full = style("1.8.1.8.5.8.1.8.", "0124012401240124", "x...x...x...x...",
                             "....x.......x...", "o.x.o.x.o.x.o.x.");
    const Style driving = withFill(style("1.8.1.8.5.8.1.8.", "0124012401240124", "x...x...x...x...",
                                         "....x.......x...", "xoxoxoxoxoxoxoxo"),
                                   "....x.......x.xx");
    const Style lifted = answered(style("1.8.5.8.1.8.5.8.", "0.2.4.2.0.2.4.2.", "x...x...x...x...",
                                        "....x.......x...", "o.x.o.x.o.x.o.x."));
    Style breakdown =
        answered(style("1.......1.......", "0124012401240124", "", "", "o...o...o...o..."));
    t.styles = {full, driving, lifted, breakdown};
    enum { Verse, Bridge, Reprise, Climb };
    enum { Full, Driving, Lifted, Breakdown };
    t.arrangement = {{Verse, Full},      {Bridge, Full},      {Reprise, Driving},
                     {Climb, Lifted},    {Verse, Lifted},     {Bridge, Breakdown},
                     {Climb, Breakdown}, {Verse, Driving, 2}, {Bridge, Driving, 2},
                     {Reprise, Full, 2}};
    t.endChord = "C";
    t.endNote = "C6";
    t.lead = instrument(Wave::Square, 0.3, {0.004, 0.15, 0.55, 0.09}, 5000.0);
    t.lead.duty = 0.25;
    t.lead.vibratoDepth = 0.12;
    t.altLead = instrument(Wave::Saw, 0.24, {0.006, 0.2, 0.6, 0.12}, 2800.0);
    t.altLead.vibratoDepth = 0.15;
    t.bass = instrument(Wave::Saw, 0.4, {0.003, 0.18, 0.4, 0.05}, 900.0);
    t.arp = instrument(Wave::Square, 0.13, {0.002, 0.08, 0.0, 0.03}, 3500.0);
    t.arp.duty = 0.125;
    return renderTune(t);
}

// Light and bouncy in F major, for the main menu and every round from "get ready" on: a round
// can last minutes, so the tune runs over four, through five sections and a key change.
synth::Buffer renderMenuTheme() {
    Tune t;
    t.bpm = 126.0;
    const Section a = {"F Dm Bb C F Dm Gm C",
                       "A5:2 C6:2 -:2 A5:2 F5:4 A5:4 | D6:4 C6:2 A5:2 F5:4 D5:4 |"
                       "F5:2 Bb5:2 -:2 D6:2 C6:4 Bb5:4 | G5:2 E5:2 C5:4 -:8 |"
                       "A5:2 C6:2 -:2 A5:2 F6:4 E6:4 | D6:4 A5:4 F5:4 A5:4 |"
                       "Bb5:4 G5:2 Bb5:2 D6:4 C6:2 Bb5:2 | G5:4 E5:4 C6:8"};
    const Section b = {
        "Bb C Am Dm Gm C",
        "D6:2 F6:2 -:2 D6:2 Bb5:4 D6:4 | C6:2 E6:2 -:2 C6:2 G5:4 C6:4 |"
        "C6:4 A5:2 C6:2 E6:4 C6:4 | D6:4 F6:4 A5:8 | Bb5:4 A5:4 G5:4 Bb5:4 | G5:4 E5:4 C5:4 E5:4"};
    const Section c = {"Dm Bb F C Dm Bb Gm A",
                       "D6:4 A5:4 F5:4 A5:4 | Bb5:6 A5:2 G5:4 F5:4 | A5:4 C6:4 F6:4 E6:2 D6:2 |"
                       "E6:8 C6:4 G5:4 | F5:2 A5:2 D6:4 F6:4 E6:2 D6:2 | D6:4 Bb5:4 F5:4 D6:4 |"
                       "Bb5:4 D6:4 G6:4 F6:2 E6:2 | E6:8 C#6:4 A5:4"};
    const Section d = {"Bb F Gm Dm Eb Bb C C",
                       "F6:2 D6:2 Bb5:4 -:4 D6:2 F6:2 | F6:4 C6:4 A5:8 |"
                       "G5:2 Bb5:2 D6:4 -:4 Bb5:2 D6:2 | F6:4 D6:4 A5:8 |"
                       "G5:2 Bb5:2 Eb6:4 -:4 Bb5:2 Eb6:2 | F6:4 D6:4 Bb5:8 |"
                       "C6:2 D6:2 E6:2 F6:2 G6:4 E6:4 | C6:4 Bb5:4 G5:4 E5:4"};
    const Section intro = {"F Dm Bb C", "-:16 | -:16 | -:16 | -:16"};
    t.sections = {a, b, c, d, intro};
    const Style full = withFill(
        style("1...5.1.1...5.8.", "", "x.....x...x.....", "....x.......x...", "..x...x...x...x."),
        "....x.....x.x.xx");
    const Style opening = withoutMelody(
        style("1...5.1.1...5.8.", "0.1.2.1.0.1.2.1.", "x.....x...x.....", "", "..x...x...x...x."));
    const Style bells = answered(style("1...5.1.1...5.8.", "0.2.1.2.0.2.1.2.", "x.....x...x.....",
                                       "....x.......x...", "..x...x...x...x."));
    Style quiet =
        answered(style("1.......1.......", "0.1.2.3.2.1.0.1.", "", "", "o...o...o...o..."));
    Style bright = withFill(style("1.5.1.5.1.5.8.5.", "0.1.2.1.0.1.2.1.", "x.....x...x.....",
                                  "....x.......x...", "xoxoxoxoxoxoxoxo"),
                            "....x...x.x.xxxx");
    t.styles = {full, opening, bells, quiet, bright};
    enum { A, B, C, D, Intro };
    enum { Full, Opening, Bells, Quiet, Bright };
    t.arrangement = {{Intro, Opening}, {A, Full},      {B, Full},    {A, Full},        {C, Full},
                     {D, Bells},       {A, Bells},     {B, Full},    {C, Quiet},       {D, Quiet},
                     {A, Bright, 2},   {B, Bright, 2}, {C, Full, 2}, {Intro, Opening}, {A, Bells},
                     {B, Bright},      {D, Full},      {A, Bright}};
    t.endChord = "F";
    t.endNote = "F5";
    t.lead = instrument(Wave::Square, 0.32, {0.005, 0.1, 0.7, 0.07}, 2600.0);
    t.lead.vibratoDepth = 0.1;
    t.altLead = instrument(Wave::Fm, 0.3, {0.003, 0.35, 0.3, 0.15});
    t.altLead.fmRatio = 2.0;
    t.altLead.fmIndex = 1.2;
    t.bass = instrument(Wave::Triangle, 0.6, {0.003, 0.2, 0.5, 0.05});
    t.arp = instrument(Wave::Square, 0.1, {0.002, 0.08, 0.0, 0.03}, 3000.0);
    t.arp.duty = 0.125;
    t.pad = instrument(Wave::Saw, 0.1, {0.08, 0.3, 0.7, 0.25}, 1200.0);
    t.hasPad = true;
    t.drumGain = 0.8;
    return renderTune(t);
}

// Stately brass over a slow march in G major, for as long as names are read and typed.
synth::Buffer renderHallOfFameTheme() {
    Tune t;
    t.bpm = 96.0;
    const Section a = {
        "G Bm C D Em C Am D C D",
        "B5:6 A5:2 G5:4 D5:4 | F#5:6 G5:2 A5:4 B5:4 | C6:6 B5:2 A5:4 G5:4 | A5:8 F#5:4 D5:4 |"
        "G5:6 F#5:2 E5:4 G5:4 | E6:6 D6:2 C6:4 G5:4 | A5:4 C6:4 E6:4 D6:2 C6:2 | D6:12 -:4 |"
        "E6:4 D6:4 C6:4 B5:4 | A5:4 B5:2 C6:2 D6:4 F#5:4"};
    const Section b = {"Em C G D Em Am C D",
                       "G5:4 B5:4 E6:8 | E6:4 D6:2 C6:2 G5:8 | B5:4 D6:4 G6:6 F#6:2 |"
                       "F#6:4 E6:4 D6:8 | E6:6 F#6:2 G6:4 E6:4 | C6:6 B5:2 A5:4 E5:4 |"
                       "G5:4 C6:4 E6:4 C6:4 | D6:8 A5:4 F#5:4"};
    const Section intro = {"G D", "-:16 | -:16"};
    t.sections = {a, b, intro};
    const Style march = withFill(style("1.......5...1...", "0.2.3.2.0.2.3.2.", "x.......x.x.....",
                                       "....x.......x...", "o.o.o.o.o.o.o.o."),
                                 "....x.......x.xx");
    const Style calm =
        answered(style("1.......5.......", "0.2.3.2.0.2.3.2.", "", "", "o...o...o...o..."));
    const Style opening = withoutMelody(style("1.......5.......", "0.2.3.2.0.2.3.2.", "", "", ""));
    t.styles = {march, calm, opening};
    enum { A, B, Intro };
    enum { March, Calm, Opening };
    t.arrangement = {{Intro, Opening}, {A, March}, {B, March}, {A, Calm}, {B, March}};
    t.endChord = "G";
    t.endNote = "G5";
    t.lead = instrument(Wave::Fm, 0.32, {0.03, 0.2, 0.75, 0.15});
    t.lead.fmRatio = 1.0;
    t.lead.fmIndex = 1.4;
    t.lead.vibratoDepth = 0.15;
    t.altLead = instrument(Wave::Triangle, 0.42, {0.02, 0.3, 0.6, 0.2});
    t.altLead.vibratoDepth = 0.2;
    t.bass = instrument(Wave::Saw, 0.4, {0.004, 0.25, 0.5, 0.08}, 600.0);
    t.arp = instrument(Wave::Triangle, 0.14, {0.003, 0.15, 0.0, 0.05});
    t.pad = instrument(Wave::Saw, 0.12, {0.15, 0.4, 0.8, 0.4}, 1500.0);
    t.hasPad = true;
    t.drumGain = 0.6;
    return renderTune(t);
}

// A ticking ostinato in D minor under the continue countdown. At 132 beats a minute six bars
// take the countdown's 11 seconds, so the closing chord lands as the count reaches zero.
synth::Buffer renderCountdownTheme() {
    Tune t;
    t.bpm = 132.0;
    const Section a = {"Dm Dm Bb A Gm A",
                       "A5:6 -:2 A5:2 Bb5:2 A5:4 | F5:6 -:2 E5:4 D5:4 | D5:6 -:2 F5:4 Bb5:4 |"
                       "A5:8 C#6:4 E6:4 | G5:4 Bb5:4 D6:4 C6:2 Bb5:2 | A5:4 C#6:4 E6:4 C#6:4"};
    t.sections = {a};
    t.styles = {
        style("1.1.1.1.1.1.1.1.", "0313031303130313", "x..x....x..x....", "", "x...x...x...x...")};
    t.endChord = "Dm";
    t.endNote = "D6";
    t.lead = instrument(Wave::Saw, 0.22, {0.003, 0.12, 0.5, 0.06}, 3000.0);
    t.bass = instrument(Wave::Square, 0.3, {0.003, 0.1, 0.5, 0.04}, 700.0);
    t.arp = instrument(Wave::Square, 0.09, {0.002, 0.06, 0.0, 0.02}, 3000.0);
    t.arp.duty = 0.125;
    t.drumGain = 0.7;
    return renderTune(t);
}

// Calm bells over soft pads in C major, for the instructions and about pages.
synth::Buffer renderInformationTheme() {
    Tune t;
    t.bpm = 88.0;
    const Section a = {"Cmaj7 Am7 Fmaj7 G Cmaj7 Em7 Fmaj7 G Dm7 G",
                       "E5:4 G5:4 B5:8 | C6:4 B5:2 A5:2 E5:8 | F5:4 A5:4 C6:4 E6:4 | D6:8 B5:8 |"
                       "G5:4 E5:4 C6:8 | B5:4 G5:4 E5:8 | A5:4 C6:4 F6:4 E6:4 | D6:12 -:4 |"
                       "F5:4 A5:4 D6:4 C6:4 | B5:8 D6:4 B5:4"};
    const Section b = {"Am7 Fmaj7 Cmaj7 G Am7 Dm7 Fmaj7 G",
                       "C6:4 E6:4 G6:8 | E6:4 C6:4 A5:8 | G5:4 B5:4 E6:4 D6:4 | D6:8 B5:8 |"
                       "A5:4 C6:4 E6:4 G6:4 | F6:6 E6:2 D6:4 A5:4 | C6:4 E6:4 A5:4 C6:4 |"
                       "B5:12 -:4"};
    t.sections = {a, b};
    const Style still = style("1.......5.......", "0.1.2.3.4.3.2.1.", "", "", "");
    const Style echoing = answered(still);
    const Style walking =
        style("1...5...1...5...", "0.1.2.3.4.3.2.1.", "x.......x.......", "", "..o...o...o...o.");
    t.styles = {still, echoing, walking};
    t.arrangement = {{0, 0}, {1, 0}, {0, 1}, {1, 2}};
    t.endChord = "Cmaj7";
    t.endNote = "C6";
    t.lead = instrument(Wave::Fm, 0.35, {0.003, 0.6, 0.0, 0.3});
    t.lead.fmRatio = 3.0;
    t.lead.fmIndex = 1.8;
    t.altLead = instrument(Wave::Sine, 0.4, {0.01, 0.5, 0.3, 0.3});
    t.altLead.vibratoDepth = 0.1;
    t.bass = instrument(Wave::Triangle, 0.5, {0.01, 0.5, 0.5, 0.2});
    t.arp = instrument(Wave::Sine, 0.12, {0.005, 0.3, 0.0, 0.1});
    t.pad = instrument(Wave::Saw, 0.13, {0.4, 0.5, 0.8, 0.6}, 900.0);
    t.hasPad = true;
    t.drumGain = 0.35;
    return renderTune(t);
}

}  // namespace datagen
