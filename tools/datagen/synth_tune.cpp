// Renders a tune's chord and melody tables: lead, bass, arpeggio, pad and drums.
#include "tools/datagen/synth_tune.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/datagen/synth_drums.h"

namespace datagen::synth {
namespace {

constexpr int kStepsPerBar = 16;

// A fault in a table is a fault in the generator: stop the build rather than write bad music.
[[noreturn]] void tableError(const char* what, const std::string& where) {
    std::fprintf(stderr, "vexlorn-datagen: bad tune table (%s): \"%s\"\n", what, where.c_str());
    std::abort();
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text + separator) {
        if (c != separator) {
            current += c;
            continue;
        }
        const size_t first = current.find_first_not_of(' ');
        if (first != std::string::npos)
            parts.push_back(current.substr(first, current.find_last_not_of(' ') - first + 1));
        current.clear();
    }
    return parts;
}

// Pitch class of a note letter with an optional sharp or flat; advances `pos`.
int pitchClass(const std::string& text, size_t& pos) {
    static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (pos >= text.size() || text[pos] < 'A' || text[pos] > 'G') tableError("note letter", text);
    int pc = kLetters[text[pos++] - 'A'];
    if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b')) {
        pc += text[pos] == '#' ? 1 : 11;
        ++pos;
    }
    return pc % 12;
}

int parsePitch(const std::string& text) {
    size_t pos = 0;
    const int pc = pitchClass(text, pos);
    if (pos + 1 != text.size() || text[pos] < '0' || text[pos] > '8') tableError("octave", text);
    return 12 * (text[pos] - '0' + 1) + pc;
}

struct Chord {
    int root = 0;                // pitch class
    std::vector<int> intervals;  // semitones above the root, rising
};

Chord parseChord(const std::string& text) {
    size_t pos = 0;
    Chord chord;
    chord.root = pitchClass(text, pos);
    const std::string quality = text.substr(pos);
    if (quality == "")
        chord.intervals = {0, 4, 7};
    else if (quality == "m")
        chord.intervals = {0, 3, 7};
    else if (quality == "7")
        chord.intervals = {0, 4, 7, 10};
    else if (quality == "m7")
        chord.intervals = {0, 3, 7, 10};
    else if (quality == "maj7")
        chord.intervals = {0, 4, 7, 11};
    else if (quality == "sus4")
        chord.intervals = {0, 5, 7};
    else if (quality == "dim")
        chord.intervals = {0, 3, 6};
    else
        tableError("chord quality", text);
    return chord;
}

// The chord's root placed at or just above the given MIDI note.
int rootFrom(const Chord& chord, int lowest) {
    return lowest + (chord.root - lowest % 12 + 12) % 12;
}

// Chord tone `index` counted upwards from the root, wrapping into higher octaves.
int chordTone(const Chord& chord, int root, int index) {
    const int n = int(chord.intervals.size());
    return root + chord.intervals[index % n] + 12 * (index / n);
}

int bassDegree(const Chord& chord, char degree) {
    switch (degree) {
        case '1':
            return 0;
        case '3':
            return chord.intervals[1];
        case '5':
            return chord.intervals[2];
        case '7':
            return chord.intervals.size() > 3 ? chord.intervals[3] : 12;
        case '8':
            return 12;
    }
    tableError("bass degree", std::string(1, degree));
}

struct Hit {
    int step;
    int length;  // in steps, until the next hit, a '-' or the bar's end
    char symbol;
};

std::vector<Hit> patternHits(const char* pattern) {
    std::vector<Hit> hits;
    const size_t length = std::strlen(pattern);
    if (length == 0) return hits;
    if (length != kStepsPerBar) tableError("pattern is not 16 steps", pattern);
    for (int step = 0; step < kStepsPerBar; ++step) {
        const char c = pattern[step];
        if (c == '.' || c == '-') continue;
        int end = step + 1;
        while (end < kStepsPerBar && pattern[end] == '.') ++end;
        hits.push_back({step, end - step, c});
    }
    return hits;
}

class Renderer {
public:
    explicit Renderer(const Tune& tune) : tune_(tune), step_(15.0 / tune.bpm) {}

    Buffer render() {
        if (tune_.arrangement.empty()) {
            for (size_t i = 0; i < tune_.sections.size(); ++i) renderPlay({int(i), 0, 0});
        } else {
            for (const Play& play : tune_.arrangement) renderPlay(play);
        }
        renderEnding();
        return std::move(out_);
    }

private:
    double barStart() const { return bar_ * kStepsPerBar * step_; }

    void renderPlay(const Play& play) {
        if (play.section < 0 || play.section >= int(tune_.sections.size()) || play.style < 0 ||
            play.style >= int(tune_.styles.size()))
            tableError("arrangement", std::to_string(play.section));
        const Section& section = tune_.sections[size_t(play.section)];
        style_ = &tune_.styles[size_t(play.style)];
        transpose_ = play.transpose;
        const std::vector<std::string> chords = split(section.chords, ' ');
        const std::vector<std::string> bars = split(section.melody, '|');
        if (chords.size() != bars.size())
            tableError("chords and melody bars differ", section.melody);
        for (size_t i = 0; i < bars.size(); ++i, ++bar_) {
            const Chord chord = parseChord(chords[i]);
            if (style_->melody) renderMelodyBar(bars[i]);
            renderBassBar(chord);
            renderArpBar(chord);
            if (style_->pad) renderPad(chord, kStepsPerBar);
            renderDrumBar(i + 1 == bars.size());
        }
    }

    void renderMelodyBar(const std::string& bar) {
        const Voice& voice = style_->altLead ? tune_.altLead : tune_.lead;
        const int shift = transpose_ + 12 * style_->leadOctave;
        int step = 0;
        for (const std::string& token : split(bar, ' ')) {
            const size_t colon = token.find(':');
            if (colon == std::string::npos) tableError("note without length", token);
            const int length = std::atoi(token.c_str() + colon + 1);
            const std::string pitch = token.substr(0, colon);
            if (length <= 0) tableError("note length", token);
            if (pitch != "-") {
                // Notes on the beat lead; the rest sit a little back.
                const double velocity = step % 4 == 0 ? 1.0 : 0.82;
                const double start = barStart() + step * step_;
                const double hold = (length - 0.35) * step_;
                const double frequency = noteFrequency(parsePitch(pitch) + shift);
                addNote(out_, voice, start, hold, frequency, velocity);
                if (style_->echo)
                    addNote(out_, voice, start + 3 * step_, hold, frequency, 0.3 * velocity);
            }
            step += length;
        }
        if (step != kStepsPerBar) tableError("melody bar is not 16 sixteenths", bar);
    }

    // The chord's root placed at or just above the given MIDI note, in the current key.
    int rootOf(const Chord& chord, int lowest) const {
        Chord moved = chord;
        moved.root = (chord.root + transpose_ % 12 + 12) % 12;
        return rootFrom(moved, lowest);
    }

    void renderBassBar(const Chord& chord) {
        const int root = rootOf(chord, 33);  // A1..G#2
        for (const Hit& hit : patternHits(style_->bassPattern)) {
            const int note = root + bassDegree(chord, hit.symbol);
            addNote(out_, tune_.bass, barStart() + hit.step * step_, (hit.length - 0.3) * step_,
                    noteFrequency(note), hit.step % 4 == 0 ? 1.0 : 0.85);
        }
    }

    void renderArpBar(const Chord& chord) {
        const int root = rootOf(chord, 57);  // A3..G#4
        for (const Hit& hit : patternHits(style_->arpPattern)) {
            if (hit.symbol < '0' || hit.symbol > '5')
                tableError("arpeggio tone", style_->arpPattern);
            const int note = chordTone(chord, root, hit.symbol - '0');
            addNote(out_, tune_.arp, barStart() + hit.step * step_, (hit.length - 0.3) * step_,
                    noteFrequency(note));
        }
    }

    void renderPad(const Chord& chord, int steps) {
        if (!tune_.hasPad) return;
        const int root = rootOf(chord, 52);  // E3..D#4
        for (size_t i = 0; i < chord.intervals.size(); ++i)
            addNote(out_, tune_.pad, barStart(), (steps - 0.2) * step_,
                    noteFrequency(root + chord.intervals[i]), 1.0 / chord.intervals.size());
    }

    void renderDrumBar(bool lastBar) {
        const double gain = tune_.drumGain;
        const auto play = [&](const char* pattern, void (*drum)(Buffer&, double, double)) {
            for (const Hit& hit : patternHits(pattern))
                drum(out_, barStart() + hit.step * step_, gain * (hit.symbol == 'o' ? 0.55 : 1.0));
        };
        const bool fill = lastBar && std::strlen(style_->fillPattern) > 0;
        play(style_->kickPattern, addKick);
        play(fill ? style_->fillPattern : style_->snarePattern, addSnare);
        play(style_->hatPattern, addHat);
    }

    // Every part lands together on the final chord, in the key of the last pass, and rings.
    void renderEnding() {
        const Chord chord = parseChord(tune_.endChord);
        const double hold = (kStepsPerBar - 2) * step_;
        addNote(out_, tune_.lead, barStart(), hold,
                noteFrequency(parsePitch(tune_.endNote) + transpose_));
        addNote(out_, tune_.bass, barStart(), hold, noteFrequency(rootOf(chord, 33)));
        if (std::strlen(style_->arpPattern) > 0) {
            const int root = rootOf(chord, 57);
            for (int tone = 0; tone < 3; ++tone)
                addNote(out_, tune_.arp, barStart() + tone * step_ * 0.5, hold,
                        noteFrequency(chordTone(chord, root, tone)), 0.8);
        }
        renderPad(chord, kStepsPerBar);
        if (tune_.drumGain > 0.0 && std::strlen(style_->kickPattern) > 0) {
            addKick(out_, barStart(), tune_.drumGain);
            addCrash(out_, barStart(), tune_.drumGain);
        }
        ++bar_;
    }

    const Tune& tune_;
    const double step_;
    const Style* style_ = nullptr;
    int transpose_ = 0;
    Buffer out_;
    int bar_ = 0;
};

}  // namespace

Buffer renderTune(const Tune& tune) {
    return Renderer(tune).render();
}

}  // namespace datagen::synth
