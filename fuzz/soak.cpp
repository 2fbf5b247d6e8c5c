// Soak run of the whole game without a display: the real frame pass, screens, boards, tasks, data
// file and sound layer (SDL's dummy driver), fed random keys at random moments for a given number
// of ticks, with the program's invariants checked after every frame pass.
// Usage: vexlorn_soak [ticks, default 20000] [seed]
#include <allegro.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board.h"
#include "frame/app.h"
#include "frame/desktop_events.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/scaler.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "game/game.h"
#include "play/game1_state.h"
#include "play/versus_state.h"
#include "screens/about_state.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/high_scores.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "screens/name_entry.h"
#include "screens/order_state.h"
#include "screens/pause_state.h"
#include "screens/replays_state.h"
#include "screens/start_state.h"
#include "screens/versus_end_state.h"
#include "screens/versus_setup_state.h"
#include "screens/win_state.h"
#include "test_support/headless_allegro.h"

using namespace vexlorn;

namespace {

// More than the deepest real stack (intro, menu, play, a round screen, pause) and far more
// effects than any screen shows at once: anything above these is a leak.
constexpr int stackLimit = 8;
constexpr int taskLimit = 256;
constexpr int riseStepsPerRow = tileSize;  // the well rises a pixel a step

struct Screen {
    BaseState* state;
    const char* name;
};

const Screen screens[] = {
    {&introState, "intro"},
    {&menuState, "menu"},
    {&game1State, "play"},
    {&startState, "start"},
    {&pauseState, "pause"},
    {&continue1State, "continue"},
    {&end1State, "end"},
    {&winState, "win"},
    {&hiscoreState, "hiscore"},
    {&instructionsState, "instructions"},
    {&orderState, "order"},
    {&aboutState, "about"},
    {&versusSetupState, "versus set-up"},
    {&versusState, "versus play"},
    {&versusEndState, "versus end"},
    {&replaysState, "replays"},
};

const char* screenName(const BaseState* state) {
    for (const Screen& screen : screens) {
        if (screen.state == state) return screen.name;
    }
    return nullptr;
}

long passes = 0;

[[noreturn]] void fail(const char* format, const char* detail = "") {
    std::fprintf(stderr, "soak: after %ld passes: ", passes);
    std::fprintf(stderr, format, detail);
    std::fputc('\n', stderr);
    std::abort();
}

void checkBoard(const Board* board) {
    if (board == nullptr) return;
    if (board->topRow < 0 || board->topRow > boardRows - windowRows + 6) fail("top row");
    if (board->riseStep < 1 || board->riseStep > riseStepsPerRow) fail("rise step");
    if (board->score < 0) fail("negative score");
    if (board->avatarCol < 0 || board->avatarCol >= boardColumns || board->avatarRow < 0 ||
        board->avatarRow >= boardRows ||
        board->at(board->avatarCol, board->avatarRow).kind != Avatar) {
        fail("avatar position");
    }
    int avatars = 0;
    for (const auto& column : board->cells) {
        for (const Cell& cell : column) {
            avatars += cell.kind == Avatar;
            if (cell.colour < 0 || cell.colour >= blockColours) fail("cell colour");
            if (cell.state < Idle || cell.state > Landed) fail("cell state");
        }
    }
    if (avatars != 1) fail("avatar count");
}

void checkHallOfFame() {
    for (int row = 0; row < highScoreRows; ++row) {
        const char* name = highScoreTable[row].name;
        if (std::memchr(name, '\0', sizeof highScoreTable[row].name) == nullptr) {
            fail("hall-of-fame name without its end");
        }
        if (std::strlen(name) > 3) fail("hall-of-fame name \"%s\" longer than three", name);
        if (row > 0 && highScoreTable[row].score > highScoreTable[row - 1].score) {
            fail("hall of fame out of order");
        }
    }
    if (std::memchr(entryName, '\0', sizeof entryName) == nullptr) fail("typed name without end");
    if (entryCursor < 0 || entryCursor > 3) fail("name cursor out of range");
}

int stackDepth() {
    int depth = 0;
    for (BaseState* state = stateStack.top(); state != nullptr; state = state->next) {
        if (screenName(state) == nullptr) fail("unknown state on the stack");
        if (++depth > stackLimit) fail("state stack deeper than %s", "8");
    }
    return depth;
}

// A key the player could press: mostly the ones the screens act on, sometimes any at all.
int randomKey(std::mt19937& random) {
    // 2 opens a match's set-up at the menu; there C seats the computer, and the second key set
    // (W, A, S, D) takes a seat and plays. R opens the kept recordings, where K and Delete act.
    static const int gameKeys[] = {
        KeyEnter, KeyEnter, KeyEnter,     KeySpace,   KeyUp,      KeyDown, KeyLeft,
        KeyRight, KeyUp,    KeyDown,      KeyLeft,    KeyRight,   KeyP,    KeyEsc,
        KeyEsc,   Key2,     KeyBackspace, KeyPlusPad, KeyPlusPad, KEY_C,   KEY_W,
        KEY_A,    KEY_S,    KEY_D,        KEY_R,      KEY_K,      KEY_DEL};
    const int roll = static_cast<int>(random() % 100);
    if (roll < 70) return gameKeys[random() % std::size(gameKeys)];
    if (roll < 85) return KEY_A + static_cast<int>(random() % 26);
    return 1 + static_cast<int>(random() % (KEY_MAX - 1));
}

// Runs of quiet and of busy play: some screens only move on after a while without keys.
struct KeyMood {
    int perThousand = 100;
    long until = 0;
};

std::mt19937 soakRandom;
KeyMood mood;

// The player's hands, in place of Allegro's keyboard driver: the frame pass asks whether a key
// is waiting, then reads it, as it would ask the real keyboard.
int soakKeyPressed() {
    return static_cast<int>(soakRandom() % 1000) < mood.perThousand ? 1 : 0;
}

// Never the display toggle: there is no display here to switch, and a failed switch ends the run.
// Nor O at the match's set-up: the online screen searches the network, and a soak opens no socket.
int soakReadKey() {
    int scancode;
    do {
        scancode = randomKey(soakRandom);
    } while (scancode == KEY_F11 || (scancode == KEY_O && stateStack.top() == &versusSetupState));
    return scancode << 8;
}

// A resting block in a well's danger row: its board has topped out.
void topple(Board& board) {
    for (int column = 0; column < boardColumns; ++column) {
        Cell& cell = board.at(column, board.topRow);
        if (cell.kind == Avatar) continue;
        cell = Cell{Block, column % blockColours, Idle, 0, 0};
        return;
    }
}

// The present of a 3x picture placed off the corner, as in full screen, onto a memory screen,
// from what the passes reported changed; the kept picture must then equal the back buffer, and
// a few random pixels of the screen too.
constexpr int soakFactor = 3;
BITMAP* scaledScreen = nullptr;
BITMAP* shownPicture = nullptr;

void presentScaled(std::mt19937& random) {
    const ScaleTarget target{scaledScreen, 2, 1, soakFactor};
    presentReported(backBuffer, shownPicture, pictureChanges(), target, nullptr);
    clearPictureChanges();
    for (int y = 0; y < screenHeight; ++y) {
        if (std::memcmp(shownPicture->line[y], backBuffer->line[y], 4 * screenWidth) != 0)
            fail("a change was drawn but not reported to the present step");
    }
    for (int i = 0; i < 8; ++i) {
        const int x = static_cast<int>(random() % screenWidth);
        const int y = static_cast<int>(random() % screenHeight);
        const int dx = static_cast<int>(random() % soakFactor);
        const int dy = static_cast<int>(random() % soakFactor);
        const int scaled = getpixel(scaledScreen, 2 + x * soakFactor + dx, 1 + y * soakFactor + dy);
        if (scaled != getpixel(backBuffer, x, y))
            fail("scaled picture differs from the back buffer");
    }
}

bool startGame(const char* dataPath) {
    ensureHeadlessAllegro();
    text_mode(-1);
    backBuffer = create_bitmap(screenWidth, screenHeight);
    scaledScreen = create_bitmap(screenWidth * soakFactor + 4, screenHeight * soakFactor + 2);
    shownPicture = create_bitmap(screenWidth, screenHeight);
    clear_bitmap(backBuffer);
    clear_bitmap(shownPicture);
    clear_bitmap(scaledScreen);
    openAudioDevice();
    char error[1024];
    if (!loadGameFrom(dataPath, error, sizeof error)) {
        std::fprintf(stderr, "soak: %s\n", error);
        return false;
    }
    // A loaded file may be in any order; the soak checks the order the game itself keeps.
    resetHighScores();
    loadSounds();
    keyToAscii = headlessKeyToAscii;
    install_keyboard_hooks(soakKeyPressed, soakReadKey);
    cheatMode = true;
    stateStack.push(&introState);
    return true;
}

void endGame() {
    stateStack.popAll();
    taskList.clear();
    shutDown(gameProgram, 0);
    destroy_bitmap(scaledScreen);
    destroy_bitmap(shownPicture);
}

void report(long elapsed, unsigned seed, long restarts, int deepest, int mostTasks,
            std::map<std::string, long>& visits, std::map<std::string, long>& ticksOn) {
    std::printf(
        "soak: %ld ticks in %ld passes, seed %u, %ld restarts, deepest stack %d, most "
        "tasks %d\n",
        elapsed, passes, seed, restarts, deepest, mostTasks);
    for (const Screen& screen : screens) {
        std::printf("  %-13s entered %7ld times, %9ld ticks\n", screen.name, visits[screen.name],
                    ticksOn[screen.name]);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 20000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 20261207u;
    const char* directory = std::getenv("VEXLORN_BUILD_DIR");
    const std::string dataPath =
        std::string(directory != nullptr ? directory : VEXLORN_BUILD_DIR) + "/vexlorn-demo.dat";

    // The hall of fame is written in a directory of our own; the order page's opener is a
    // program that does not exist, so no browser starts; sound goes nowhere.
    char work[] = "/tmp/vexlorn-soak-XXXXXX";
    if (mkdtemp(work) == nullptr || chdir(work) != 0) return 2;
    setenv("PATH", work, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!startGame(dataPath.c_str())) return 2;

    soakRandom.seed(seed);
    std::mt19937& random = soakRandom;
    std::map<std::string, long> visits;
    std::map<std::string, long> ticksOn;
    const BaseState* previous = nullptr;
    long restarts = 0;
    long insertions = 0;
    HighScoreEntry lastTable[highScoreRows];
    std::memcpy(lastTable, highScoreTable, sizeof lastTable);
    int deepest = 0;
    int mostTasks = 0;
    long elapsed = 0;
    while (elapsed < ticks) {
        // Mostly one tick a pass, sometimes none (a fast pass), sometimes a stall of several.
        const int roll = static_cast<int>(random() % 100);
        const int step = roll < 15 ? 0 : roll < 95 ? 1 : 2 + static_cast<int>(random() % 20);
        tickCount = tickCount + step;
        elapsed += step;
        if (elapsed >= mood.until) {
            static const int moods[] = {0, 5, 30, 100, 300, 800};
            mood.perThousand = moods[random() % 6];
            mood.until = elapsed + 200 + static_cast<long>(random() % 3000);
        }

        // Random keys seldom beat the opponent five times over; now and then it loses a round,
        // so that the win screen is reached as often as the others.
        if (stateStack.top() == &game1State && random() % 400 == 0) topple(*rightBoard);
        // Nor does either side of a match end its round soon: now and then one side loses.
        if (stateStack.top() == &versusState && random() % 400 == 0) {
            topple(random() % 2 == 0 ? *leftBoard : *rightBoard);
        }
        // Random keys seldom clear a group either; points now and then let games into the hall
        // of fame, so that names are typed and rows inserted.
        if (stateStack.top() == &game1State && random() % 100 == 0) {
            leftBoard->score += static_cast<int32_t>(random() % 100);
        }
        updateFrame();
        // Now and then the window loses the focus.
        if (random() % 500 == 0) pauseRoundIfPlaying();
        if (step > 0) presentScaled(random);
        loopsThisSecond = loopsThisSecond + 1;
        ++passes;

        if (!running) {
            // The player left through the menu: start again as a new run would.
            ++restarts;
            stateStack.push(&introState);
        }
        const BaseState* top = stateStack.top();
        const char* name = screenName(top);
        if (name == nullptr) fail("unknown state on top");
        if (top != previous) ++visits[name];
        ticksOn[name] += step;
        previous = top;
        const int depth = stackDepth();
        const int tasks = taskList.size();
        if (tasks > taskLimit) fail("task list longer than %s", "256");
        deepest = depth > deepest ? depth : deepest;
        mostTasks = tasks > mostTasks ? tasks : mostTasks;
        checkHallOfFame();
        if (std::memcmp(lastTable, highScoreTable, sizeof lastTable) != 0) {
            ++insertions;
            std::memcpy(lastTable, highScoreTable, sizeof lastTable);
        }
        checkBoard(leftBoard);
        checkBoard(rightBoard);
        // Long runs by hand show how far they got.
        if (passes % 200000 == 0)
            report(elapsed, seed, restarts, deepest, mostTasks, visits, ticksOn);
    }

    report(elapsed, seed, restarts, deepest, mostTasks, visits, ticksOn);
    std::printf("  hall of fame top score %d, bottom %d, %ld rows inserted\n",
                highScoreTable[0].score, highScoreTable[highScoreRows - 1].score, insertions);
    endGame();
    const std::string command = std::string("/bin/rm -rf '") + work + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
