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

// Step patterns cover one bar of sixteen sixteenths and repeat every bar.
// Bass: '1' '3' '5' '7' '8' play that degree of the bar's chord, '.' holds, '-' is silent.
// Arpeggio: '0'..'5' play that chord tone counted upwards, '.' holds, '-' is silent.
// Drums: 'x' a hit, 'o' a soft hit, '.' nothing. An empty pattern leaves that part out.
struct Tune {
    double bpm = 120.0;
    std::vector<Section> sections;
    const char* endChord = "C";  // the last bar: every part holds this chord
    const char* endNote = "C5";  // the lead's last note
    const char* bassPattern = "1.......5.......";
    const char* arpPattern = "";
    const char* kickPattern = "";
    const char* snarePattern = "";
    const char* hatPattern = "";
    Voice lead;
    Voice bass;
    Voice arp;
    Voice pad = silent();  // sustained chords under everything, if given a gain
    double drumGain = 1.0;

private:
    static Voice silent() {
        Voice v;
        v.gain = 0.0;
        return v;
    }
};

Buffer renderTune(const Tune& tune);

}  // namespace datagen::synth
