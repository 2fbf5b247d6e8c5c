// Sound effects and music: nine effects decoded at start-up, one tune streamed at a time.
#include "assets/sound.h"

#include <audiere.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "assets/assets.h"

namespace vexlorn {

bool musicMuted = false;
bool effectsHeld = false;
void (*soundObserver)(const SoundRequest& request) = nullptr;

namespace {

constexpr int musicFileCount = 5;

// Effect number -> data-file object.
constexpr int effectObjects[] = {
    ObjSoundMove, ObjSoundCleared, ObjSoundReady,  ObjSoundGo,          ObjSoundWon,
    ObjSoundLost, ObjSoundBomb,    ObjSoundStones, ObjSoundStoneLanded,
};
static_assert(std::size(effectObjects) == soundEffectCount);

// The tunes kept in memory, in the order they are loaded.
constexpr int musicObjects[] = {
    ObjMusicTitle, ObjMusicInformation, ObjMusicMenu, ObjMusicHallOfFame, ObjMusicContinue,
};
static_assert(std::size(musicObjects) == musicFileCount);

struct Track {
    MusicTrack number;
    int object;
};

// Tracks that play a tune; every other number stops the music.
constexpr Track tracks[] = {
    {MusicTrack::Title, ObjMusicTitle},           {MusicTrack::Menu, ObjMusicMenu},
    {MusicTrack::RoundStart, ObjMusicMenu},       {MusicTrack::Continue, ObjMusicContinue},
    {MusicTrack::HallOfFame, ObjMusicHallOfFame}, {MusicTrack::Information, ObjMusicInformation},
};
static_assert(std::size(tracks) == 6);

audiere::AudioDevicePtr audioDevice;
audiere::SoundEffectPtr soundEffects[soundEffectCount];
audiere::FilePtr musicFiles[musicFileCount];
audiere::OutputStreamPtr currentMusic;
int currentTuneObject = -1;
float musicVolume = 1.0f;

// The data file's object at `index`, or null when the file is missing or ends before it.
const DATAFILE* dataObject(int index) {
    if (!dataFile) return nullptr;
    for (int i = 0; i <= index; ++i) {
        if (dataFile[i].type == DAT_END) return nullptr;
    }
    return &dataFile[index];
}

audiere::File* memoryFileOf(int object) {
    const DATAFILE* found = dataObject(object);
    // Only raw objects are bytes: any other kind points at a structure of another size.
    if (!found || found->type != DAT_DATA || !found->dat) return nullptr;
    return audiere::CreateMemoryFile(found->dat, static_cast<int>(found->size));
}

audiere::SoundEffect* effectOf(int object) {
    audiere::FilePtr file = memoryFileOf(object);
    audiere::SampleSourcePtr source = audiere::OpenSampleSource(file, audiere::FF_MP3);
    return audiere::OpenSoundEffect(audioDevice, source, audiere::MULTIPLE);
}

const audiere::FilePtr* tuneOf(MusicTrack track) {
    for (const Track& entry : tracks) {
        if (entry.number != track) continue;
        for (int i = 0; i < musicFileCount; ++i) {
            if (musicObjects[i] == entry.object) return &musicFiles[i];
        }
    }
    return nullptr;
}

// 32 (left board) -> -0.75, 128 (centre) -> 0, 224 (right board) -> +0.75.
float panOf(int pan) {
    return static_cast<float>(pan - panCentre) / 128.0f;
}

}  // namespace

void openAudioDevice() {
    audioDevice = audiere::OpenDevice();
}

void loadSounds() {
    // Without an output there is nothing to play them on: stay silent and keep no memory.
    if (!audioDevice) return;
    for (int i = 0; i < soundEffectCount; ++i) soundEffects[i] = effectOf(effectObjects[i]);
    for (int i = 0; i < musicFileCount; ++i) musicFiles[i] = memoryFileOf(musicObjects[i]);
}

void dropSoundData() {
    auto drop = [](int object) {
        if (!dataObject(object)) return;
        DATAFILE& found = dataFile[object];
        if (found.type != DAT_DATA) return;
        std::free(found.dat);  // Allegro's own allocation, freed as unload_datafile would
        found.dat = nullptr;
        found.size = 0;
    };
    for (int object : effectObjects) drop(object);
    for (int object : musicObjects) drop(object);
}

void updateAudio() {
    if (audioDevice) audioDevice->update();
}

void playSound(SoundEffect effect, int pan) {
    if (effectsHeld) return;
    const int index = static_cast<int>(effect);
    if (soundObserver) soundObserver({false, index, pan});
    if (index < 0 || index >= soundEffectCount || !soundEffects[index]) return;
    soundEffects[index]->setPan(panOf(pan));
    soundEffects[index]->play();
}

void playMusic(MusicTrack track) {
    if (soundObserver) soundObserver({true, static_cast<int>(track), 0});
    if (currentMusic) {
        currentMusic->stop();
        currentMusic = nullptr;
    }
    const audiere::FilePtr* tune = tuneOf(track);
    currentTuneObject = -1;
    if (tune && *tune) {
        currentMusic = audiere::OpenSound(audioDevice,
                                          audiere::OpenSampleSource(*tune, audiere::FF_MP3), true);
        if (currentMusic) currentTuneObject = musicObjects[tune - musicFiles];
    }
    // The volume goes on every new stream: a track started while switched off stays silent.
    if (currentMusic) {
        currentMusic->setVolume(musicVolume);
        currentMusic->play();
    }
}

void switchMusicOff() {
    musicVolume = 0.0f;
    musicMuted = true;
    if (currentMusic) {
        currentMusic->setVolume(0.0f);
        currentMusic->stop();
    }
}

void switchMusicOn() {
    musicVolume = 1.0f;
    musicMuted = false;
    if (currentMusic) {
        currentMusic->setVolume(1.0f);
        currentMusic->play();
    }
}

void pauseMusic() {
    if (currentMusic) currentMusic->stop();
}

void resumeMusic() {
    if (currentMusic) currentMusic->play();
}

int startedTuneObject() {
    return currentTuneObject;
}

void releaseSounds() {
    currentMusic = nullptr;
    currentTuneObject = -1;
    std::fill(std::begin(musicFiles), std::end(musicFiles), nullptr);
    std::fill(std::begin(soundEffects), std::end(soundEffects), nullptr);
    audioDevice = nullptr;
}

}  // namespace vexlorn
