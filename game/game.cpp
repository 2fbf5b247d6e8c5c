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
#include "play/online_match_state.h"
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

// Watching a recording changes nothing kept: no score, no recording, no setting.
static void unloadAfterReplay() {
    freeMenuImages();
    freeAssets();
}
static const Program replayProgram{loadGame, unloadAfterReplay, &introState, false};

// A recording that cannot be played is refused before any window opens. Both the path and the
// reason may hold text from outside (the reason quotes the file's version text).
static int refuseReplay(const char* path, const std::string& reason) {
    std::fprintf(stderr, "vexlorn: cannot play %s: %s\n", printableText(path).c_str(),
                 printableText(reason).c_str());
    return replayRefused;
}

static int refuseReplayWithoutFile() {
    std::fputs(
        "vexlorn: -replay needs the recording to play.\n"
        "usage: vexlorn -replay FILE [-window] [-scale N|fill]\n",
        stderr);
    return replayRefused;
}

// The replay's verdict on stderr, and its exit status.
static int replayOutcome(const ReplayPlayer& player) {
    std::fputs(player.verdict().c_str(), stderr);
    // A signal that stopped the replay gives its own status, as it does in the game.
    if (player.stoppedEarly() && stopExitStatus() != 0) return stopExitStatus();
    return player.exitStatus();
}

int runGame(int argc, const char* const* argv) {
    Options options = parseOptions(argc, argv);
    cheatMode = options.cheat;
    if (options.replayWithoutFile) return refuseReplayWithoutFile();
    // Read where the game was started, before the data home may become the working directory.
    std::vector<uint8_t> recording;
    std::string error;
    if (options.replay != nullptr && (!readReplayFile(options.replay, recording, error) ||
                                      !ReplayReader().open(recording, error))) {
        return refuseReplay(options.replay, error);
    }
    // Before anything opens a file by its bare name. Watching a recording needs no data home,
    // and makes none.
    // Staying where it started would put the hall of fame in the program's folder without a word.
    if (options.dataHome && options.replay == nullptr && !enterUserDataHome(highScoreFileName)) {
        reportFatal(
            "The folder for the hall of fame and the settings cannot be made or "
            "entered: the user's data folder is missing or not writable.");
        return startUpFailure;
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
    if ((options.host || options.join != nullptr) && options.replay == nullptr) {
        // Straight to the online set-up, over the menu that its Esc leads back to.
        stateStack.push(&menuState);
        if (options.host) {
            onlineMatchState.host(static_cast<uint16_t>(options.hostPort));
        } else {
            onlineMatchState.join(options.join);
        }
    }
    while (running) runFrame(options.showFps);
    // Known before the shutdown, where on Windows the process ends.
    const int status = options.replay == nullptr ? stopExitStatus() : replayOutcome(player);
    shutDown(program, status);
    updateDriver = nullptr;
    return status;
}

}  // namespace vexlorn
