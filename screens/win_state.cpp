// The win screen after the last level: balloons rise over a picture, initials may be typed.
#include "screens/win_state.h"

#include <allegro.h>

#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/game_random.h"
#include "frame/globals.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "screens/end1_state.h"
#include "screens/high_scores.h"
#include "screens/name_entry.h"
#include "screens/screen_draw.h"

namespace vexlorn {

WinState winState;

namespace {

constexpr int balloonSpacing = 45;  // a new balloon on the first tick past this
const int balloonPictures[] = {ObjBalloonB, ObjBalloonA, ObjBalloonC};
constexpr int balloonPictureCount = static_cast<int>(std::size(balloonPictures));

}  // namespace

void spawnBalloon() {
    // The draws come in this order: picture, x, horizontal speed, vertical speed.
    BalloonTask* balloon = new (std::nothrow) BalloonTask;
    if (balloon == nullptr) return;
    balloon->sprite = dataBitmap(balloonPictures[gameRand() % balloonPictureCount]);
    balloon->posX = static_cast<float>(gameRand() % 320 + 160);
    balloon->posY = 470;
    balloon->velX = static_cast<float>(30 - gameRand() % 60);
    balloon->velY = static_cast<float>(-(gameRand() % 60) - 20);
    taskList.add(balloon);
}

bool BalloonTask::update(int ticks) {
    elapsed += ticks;
    if (elapsed > lifetime) return false;
    const double seconds = ticks / static_cast<double>(ticksPerSecond);
    velX = static_cast<float>(velX + accX * seconds);
    velY = static_cast<float>(velY + accY * seconds);
    posX = static_cast<float>(posX + velX * seconds);
    posY = static_cast<float>(posY + velY * seconds);
    if (sprite != nullptr) {
        draw_sprite(backBuffer, sprite, static_cast<int>(posX), static_cast<int>(posY));
    }
    return true;
}

void WinState::activate() {
    taskList.clear();
    spawnBalloon();
    playMusic(MusicTrack::Title);
    lastKey = 0;
    tickCount = 0;
    lastTickCount = 0;
}

bool WinState::update() {
    const int elapsed = elapsedTicks();
    drawBackdrop(ObjWinPicture);
    taskList.updateAll(elapsed);
    if (tickCount > balloonSpacing) {
        spawnBalloon();
        tickCount = elapsed;
        lastTickCount = 0;
    }
    if (takesLetters() && nameEntryStep(winNameLayout)) {
        lastTickCount += elapsed;
        return true;
    }
    if (isConfirmKey(lastKey)) {
        leaveForHallOfFame();
        return true;
    }
    lastTickCount += elapsed;
    return true;
}

bool WinState::takesLetters() const {
    return playerEntersName();
}

int WinState::lettersLeft() const {
    return entryLettersLeft();
}

void WinState::closing() {
    enterFinishedGame();
}

}  // namespace vexlorn
