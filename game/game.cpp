// The game's composition: which screen starts, what is loaded, what is saved at the end.
#include "game/game.h"

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/desktop_events.h"
#include "frame/globals.h"
#include "frame/options.h"
#include "frame/settings.h"
#include "frame/state_stack.h"
#include "platform/files/data_home.h"
#include "platform/system/stop_requests.h"
#include "screens/high_scores.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "screens/versus_setup_state.h"

namespace vexlorn {

const Program gameProgram{loadGame, unloadGame, &introState};

namespace {

bool prepareScreens(const char* path, char* error, int errorSize) {
    loadHighScores();
    if (makeMenuLabels()) return true;
    freeMenuImages();
    return outOfMemory(path, error, errorSize);
}

}  // namespace

bool loadGame(char* error, int errorSize) {
    return loadAssets(error, errorSize) && prepareScreens(dataFilePath(), error, errorSize);
}

bool loadGameFrom(const char* path, char* error, int errorSize) {
    return loadAssetsFrom(path, error, errorSize) && prepareScreens(path, error, errorSize);
}

void unloadGame() {
    freeMenuImages();
    saveHighScores();
    freeAssets();
}

int runGame(int argc, const char* const* argv) {
    Options options = parseOptions(argc, argv);
    cheatMode = options.cheat;
    // Before anything opens a file by its bare name.
    if (options.dataHome) enterUserDataHome(highScoreFileName);
    const Settings settings = loadSettings(options);
    // Before the first tune starts: a track started while switched off stays silent.
    if (settings.musicMuted) switchMusicOff();
    if (!startUp(settings.windowed, settings.scale, gameProgram)) return startUpFailure;
    if (options.versus) {
        // Over the menu, where its Esc leads back to.
        stateStack.push(&menuState);
        stateStack.push(&versusSetupState);
    }
    while (running) runFrame(options.showFps);
    shutDown(gameProgram);
    stopAnswered();
    return stopExitStatus();
}

}  // namespace vexlorn
