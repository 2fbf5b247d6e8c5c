// The win screen after the last level: balloons rise over a picture, initials may be typed.
#include "screens/win_state.h"

#include <allegro.h>

#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/game_random.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/state_stack.h"
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

bool BalloonTask::update(BITMAP* target, int ticks) {
    elapsed += ticks;
    if (elapsed > lifetime) return false;
    const double seconds = ticks / static_cast<double>(ticksPerSecond);
    velX = static_cast<float>(velX + accX * seconds);
    velY = static_cast<float>(velY + accY * seconds);
    posX = static_cast<float>(posX + velX * seconds);
    posY = static_cast<float>(posY + velY * seconds);
    if (sprite != nullptr) {
        const int x = static_cast<int>(posX);
        const int y = static_cast<int>(posY);
        draw_sprite(target, sprite, x, y);
        markChanged(Area{x, y, sprite->w, sprite->h});
    }
    return true;
}

void WinState::activate() {
    frame_.forget();
    taskList.clear();
    spawnBalloon();
    playMusic(MusicTrack::Title);
    lastKey = 0;
    tickCount = 0;
    lastTickCount = 0;
}

// Copying the whole picture is most of this screen's cost. When nothing has run since its last
// update, the back buffer still holds that frame: the picture goes back only where the balloons
// and the initials were and where the frame loop wrote its pass rate, and they are drawn again.
void WinState::drawBackground() {
    if (!frame_.kept() || dataBitmap(ObjWinPicture) == nullptr) {
        drawBackdrop(ObjWinPicture);
    } else {
        trackChanges();
        drawnAreas_.push_back(passRateLine());
        for (const Area& area : drawnAreas_) putBackPicture(ObjWinPicture, area);
    }
    drawnAreas_.clear();
    frame_.drawn();
}

bool WinState::update() {
    const int elapsed = elapsedTicks();
    drawBackground();
    ChangeRecorder recorder(drawnAreas_);
    taskList.updateAll(backBuffer, elapsed);
    letGo_ = tickCount > balloonSpacing;
    if (letGo_) {
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
