// All sound and music: the effects and tracks by name, the pans, and the operations on them.
#pragma once

namespace vexlorn {

// The effects, numbered as the game has always numbered them.
enum class SoundEffect : int {
    Move = 0,
    Cleared = 1,
    Ready = 2,
    Go = 3,
    Won = 4,
    Lost = 5,
    Bomb = 6,
    Stones = 7,
    StoneLanded = 8,
};
inline constexpr int soundEffectCount = 9;

// Track numbers; any number without a tune stops the music.
enum class MusicTrack : int {
    Silence = 0,
    Title = 1,
    Menu = 2,
    RoundStart = 3,  // the menu tune again
    Continue = 6,
    HallOfFame = 7,
    Information = 8,
};

// Pans of the two boards and the centre (0 = left speaker only, 256 = right only).
inline constexpr int panLeft = 32;
inline constexpr int panCentre = 128;
inline constexpr int panRight = 224;

extern bool musicMuted;
// While set, effects are neither played nor heard by the observer: an online round running
// updates once more after a wrong guess has played their sounds already.
extern bool effectsHeld;

void openAudioDevice();
void loadSounds();
// Once loadSounds has run: frees the data file's own bytes of every sound, which the decoded
// effects and the tunes' copies no longer need, so that the program keeps one copy of each.
void dropSoundData();
void updateAudio();
void playSound(SoundEffect effect, int pan);
void playMusic(MusicTrack track);
void switchMusicOff();
void switchMusicOn();
void pauseMusic();
void resumeMusic();
void releaseSounds();
// The data-file object whose tune the last playMusic started; -1 when it started none.
int startedTuneObject();

// What the game asked for, as tests hear it: every playSound and playMusic call reaches the
// observer first, whether or not a device plays it (null: nobody listens).
struct SoundRequest {
    bool music;  // a playMusic call, else a playSound call
    int number;  // the effect's or the track's number
    int pan;     // playSound only
};
extern void (*soundObserver)(const SoundRequest& request);

}  // namespace vexlorn
