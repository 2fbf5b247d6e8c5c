// Stand-in until the sound layer exists: the game runs silent.
#include "assets/sound.h"

namespace vexlorn {

bool musicMuted = false;

void openAudioDevice() {}
void loadSounds() {}
void updateAudio() {}
void playSound(int, int) {}
void playMusic(int) {}
void switchMusicOff() {
    musicMuted = true;
}
void switchMusicOn() {
    musicMuted = false;
}
void pauseMusic() {}
void resumeMusic() {}
void releaseSounds() {}

}  // namespace vexlorn
