// All sound and music, by number.
#pragma once

namespace vexlorn {

inline constexpr int soundEffectCount = 9;

extern bool musicMuted;

void openAudioDevice();
void loadSounds();
void updateAudio();
void playSound(int index, int pan);
void playMusic(int track);
void switchMusicOff();
void switchMusicOn();
void pauseMusic();
void resumeMusic();
void releaseSounds();

}  // namespace vexlorn
