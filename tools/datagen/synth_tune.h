// A small tracker: tunes written as chord and melody tables, rendered with synth voices.
#pragma once

#include <vector>

#include "tools/datagen/synth_voice.h"

namespace datagen::synth {

// A run of bars. `chords` names one chord per bar ("C Am F G7 Bb Cmaj7 F#m7").
// `melody` holds the lead's bars separated by '|'; each bar is notes such as "E5:4" or
// rests "-:4", lengths in sixteenths, adding up to 16.
struct Section {
    const char* chords;
    const char* melody;
};

// How a section is played: which parts sound and with which step patterns.
// Step patterns cover one bar of sixteen sixteenths and repeat every bar.
// Bass: '1' '3' '5' '7' '8' play that degree of the bar's chord, '.' holds, '-' is silent.
// Arpeggio: '0'..'5' play that chord tone counted upwards, '.' holds, '-' is silent.
// Drums: 'x' a hit, 'o' a soft hit, '.' nothing. An empty pattern leaves that part out.
struct Style {
    const char* bassPattern = "1.......5.......";
    const char* arpPattern = "";
    const char* kickPattern = "";
    const char* snarePattern = "";
    const char* hatPattern = "";
    const char* fillPattern = "";  // snare in the last bar of the section instead of the snare
    bool melody = true;
    bool pad = true;       // when the tune has a pad
    bool altLead = false;  // the tune's second lead voice carries the melody
    int leadOctave = 0;    // the melody this many octaves up (or down)
    bool echo = false;     // a quiet dotted-eighth echo of the melody
};

// One pass through a section in a style, optionally in another key.
struct Play {
    int section;
    int style;
    int transpose = 0;  // semitones
};

struct Tune {
    double bpm = 120.0;
    std::vector<Section> sections;
    std::vector<Style> styles;
    std::vector<Play> arrangement;  // empty: every section once in the first style
    const char* endChord = "C";     // the last bar: every part holds this chord
    const char* endNote = "C5";     // the lead's last note
    Voice lead;
    Voice altLead;
    Voice bass;
    Voice arp;
    Voice pad;
    bool hasPad = false;  // sustained chords under everything
    double drumGain = 1.0;
};

Buffer renderTune(const Tune& tune);

}  // namespace datagen::synth
