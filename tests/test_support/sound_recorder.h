// Hears what the game asks of the sound layer: every playSound and playMusic call while it lives.
#pragma once

#include <algorithm>
#include <ostream>
#include <vector>

#include "assets/sound.h"

namespace vexlorn {

struct Heard {
    bool music;
    int number;
    int pan;
    bool operator==(const Heard& other) const {
        return music == other.music && number == other.number && pan == other.pan;
    }
};

inline Heard effect(SoundEffect sound, int pan) {
    return {false, static_cast<int>(sound), pan};
}

inline Heard track(MusicTrack music) {
    return {true, static_cast<int>(music), 0};
}

inline std::ostream& operator<<(std::ostream& out, const Heard& heard) {
    if (heard.music) return out << "track " << heard.number;
    return out << "effect " << heard.number << " at pan " << heard.pan;
}

class SoundRecorder {
public:
    SoundRecorder() {
        recording_ = this;
        soundObserver = [](const SoundRequest& request) {
            recording_->heard.push_back({request.music, request.number, request.pan});
        };
    }
    ~SoundRecorder() {
        soundObserver = nullptr;
        recording_ = nullptr;
    }
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    // What was heard since the last call, and forget it.
    std::vector<Heard> take() {
        std::vector<Heard> taken;
        taken.swap(heard);
        return taken;
    }
    bool any(const Heard& wanted) const {
        return std::find(heard.begin(), heard.end(), wanted) != heard.end();
    }

    std::vector<Heard> heard;

private:
    static inline SoundRecorder* recording_ = nullptr;
};

}  // namespace vexlorn
