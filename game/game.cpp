// The game's composition: which screen starts, what is loaded, what is saved at the end.
#include "game/game.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/desktop_events.h"
#include "frame/frame_cycle.h"
#include "frame/globals.h"
#include "frame/options.h"
#include "frame/settings.h"
#include "frame/state_stack.h"
#include "platform/files/data_home.h"
#include "platform/system/stop_requests.h"
#include "play/replay_playback.h"
#include "play/replay_recorder.h"
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

// Watching a recording changes no score: the hall of fame is left as it was.
static void unloadAfterReplay() {
    freeMenuImages();
    freeAssets();
}
static const Program replayProgram{loadGame, unloadAfterReplay, &introState};

// A recording that cannot be played is refused before any window opens.
static int refuseReplay(const char* path, const std::string& reason) {
    std::fprintf(stderr, "vexlorn: cannot play %s: %s\n", path, reason.c_str());
    return replayRefused;
}

int runGame(int argc, const char* const* argv) {
    Options options = parseOptions(argc, argv);
    cheatMode = options.cheat;
    // Before anything opens a file by its bare name.
    if (options.dataHome) enterUserDataHome(highScoreFileName);
    std::vector<uint8_t> recording;
    std::string error;
    if (options.replay != nullptr && (!readReplayFile(options.replay, recording, error) ||
                                      !ReplayReader().open(recording, error))) {
        return refuseReplay(options.replay, error);
    }
    const Settings settings = loadSettings(options);
    // Before the first tune starts: a track started while switched off stays silent.
    if (settings.musicMuted) switchMusicOff();
    const Program& program = options.replay != nullptr ? replayProgram : gameProgram;
    if (!startUp(settings.windowed, settings.scale, program)) return startUpFailure;
    ReplayPlayer player;
    if (options.replay != nullptr) {
        // The recording's round instead of the intro.
        stateStack.popAll();
        player.start(recording, error);
        updateDriver = &player;
    } else {
        roundRecorder.keepFiles = true;
        updateDriver = &roundRecorder;
    }
    if (options.versus && options.replay == nullptr) {
        // Over the menu, where its Esc leads back to.
        stateStack.push(&menuState);
        stateStack.push(&versusSetupState);
    }
    while (running) runFrame(options.showFps);
    shutDown(program);
    stopAnswered();
    updateDriver = nullptr;
    if (options.replay == nullptr) return stopExitStatus();
    std::fputs(player.verdict().c_str(), stderr);
    return player.exitStatus();
}

}  // namespace vexlorn
