// Get-ready screen shown before every round: two pop-ups over the frozen boards.
#include "screens/start_state.h"

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/effects.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "screens/screen_draw.h"

namespace vexlorn {

StartState startState;

namespace {

constexpr int readyTicks = 90;
constexpr int popUpDuration = 120;
constexpr int popUpX = 320;
constexpr int popUpY = 200;

void addPopUp(int delay, int object) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    taskList.add(new (std::nothrow) FloatTask(delay, popUpDuration, picture, popUpX, popUpY));
}

}  // namespace

void StartState::activate() {
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
    playMusic(MusicTrack::RoundStart);
    playSound(SoundEffect::Ready, panCentre);
    taskList.clear();
    addPopUp(0, ObjGetReady);
    addPopUp(readyTicks, ObjGo);
}

bool StartState::update() {
    const int elapsed = elapsedTicks();
    if (seatTags) {
        // The names go over the wells' own: drawn whole, they need no account of their own.
        drawRound(background, *leftBoard, *rightBoard, elapsed);
        drawSeatTags();
    } else {
        redrawRound(background, *leftBoard, *rightBoard, elapsed);
    }
    if (tickCount > readyTicks) {
        playSound(SoundEffect::Go, panCentre);
        // The play state's activate starts the round's clock; the second pop-up animates on there.
        stateStack.pop();
    }
    riseClock = 0;
    lastTickCount = tickCount;
    return true;
}

}  // namespace vexlorn
