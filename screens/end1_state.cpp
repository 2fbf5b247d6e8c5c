// The end of a round that was not continued: round won, or game over with initials.
#include "screens/end1_state.h"

#include <array>
#include <cstring>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board_draw.h"
#include "board/effects.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "play/replay_recorder.h"
#include "screens/high_scores.h"
#include "screens/hiscore_state.h"
#include "screens/name_entry.h"
#include "screens/screen_draw.h"

namespace vexlorn {

End1State end1State;

namespace {

constexpr int leftPictureX = 108;
constexpr int rightPictureX = 349;
constexpr int pictureY = 190;

void drawPressAKey() {
    drawText(245, 340, "Press a key to");
    drawText(245, 355, "   continue   ");
}

}  // namespace

int bobOffset(int ticks) {
    int phase = ticks % 80;
    if (phase > 40) phase = 80 - phase;
    return 20 - phase;
}

void enterFinishedGame() {
    const int32_t score = leftBoard->score;
    if (qualifies(score)) {
        insertEntry(static_cast<uint16_t>(leftBoard->level), entryName, score);
        // The game's last round is the entry's: its recording is kept for good.
        roundRecorder.keepLastRoundForHallOfFame();
    }
}

void leaveForHallOfFame() {
    lastKey = 0;
    newGameFlag = 1;
    enterFinishedGame();
    playMusic(MusicTrack::HallOfFame);
    // The hall of fame runs no effects; the ones left from the finished game would only linger.
    taskList.clear();
    stateStack.pop();
    stateStack.pop();
    stateStack.push(&hiscoreState);
}

void End1State::activate() {
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
    lastKey = 0;
    // Only a right board that topped out wins; a round that ended any other way was lost,
    // including one whose well was used up before the countdown ran out.
    roundWon = isToppedOut(*rightBoard);
    playMusic(MusicTrack::Silence);
    if (roundWon) {
        playSound(SoundEffect::Won, panCentre);
        boardCopy = *rightBoard;
        shatterBoard(boardCopy, rightBoardX);
    } else {
        playSound(SoundEffect::Lost, panCentre);
        boardCopy = *leftBoard;
        shatterBoard(boardCopy, leftBoardX);
    }
    entryCursor = 0;
    std::memset(entryName, 0, sizeof entryName);
    tickCount = 0;
    lastTickCount = 0;
}

bool End1State::update() {
    const int elapsed = elapsedTicks();
    // The loser's board is the copy that falls apart; it moves on after it is drawn.
    const std::array<VeiledPicture, 2> shown = pictures();
    if (roundWon) {
        veiled_.draw(background, *leftBoard, boardCopy, elapsed, {shown[0], shown[1]});
        updateBoard(boardCopy, elapsed, panRight);
    } else {
        veiled_.draw(background, boardCopy, *rightBoard, elapsed, {shown[0], shown[1]});
        updateBoard(boardCopy, elapsed, panLeft);
    }
    {
        ChangeRecorder recorder(veiled_.overlay());
        drawTexts();
    }
    if (takesLetters()) takeNameKey();
    if (isConfirmKey(lastKey)) {
        if (roundWon) {
            lastKey = 0;
            newGameFlag = 0;
            stateStack.pop();
            stateStack.pop();
            // Its enter generates the next level.
            stateStack.push(&game1State);
        } else {
            leaveForHallOfFame();
        }
        // The next screen has reset the tick counters.
        return true;
    }
    lastTickCount += elapsed;
    return true;
}

// The winner's picture bobs; the loser's stands still.
std::array<VeiledPicture, 2> End1State::pictures() const {
    const int bob = bobOffset(tickCount);
    if (roundWon) {
        return {dataPicture(ObjWinnerLeft, leftPictureX, pictureY + bob),
                dataPicture(ObjLoserRight, rightPictureX, pictureY)};
    }
    return {dataPicture(ObjLoserLeft, leftPictureX, pictureY),
            dataPicture(ObjWinnerRight, rightPictureX, pictureY + bob)};
}

void End1State::drawTexts() const {
    if (takesLetters()) drawNameEntry(endNameLayout);
    drawPressAKey();
}

void End1State::drawOverRound() const {
    for (const VeiledPicture& picture : pictures()) drawVeiledPicture(picture);
    drawTexts();
}

void End1State::leave() {
    veiled_.release();
}

// A lost game asks for initials when its score enters the hall of fame; a won round asks for none.
bool End1State::takesLetters() const {
    return !roundWon && playerEntersName();
}

int End1State::lettersLeft() const {
    return entryLettersLeft();
}

// A game over closed from its name entry is as finished as one confirmed with Enter.
void End1State::closing() {
    if (takesLetters()) enterFinishedGame();
}

}  // namespace vexlorn
