// The end of a round of a match, and of the match.
#include "screens/versus_end_state.h"

#include <allegro.h>

#include <cstdio>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board_draw.h"
#include "board/effects.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "play/versus_state.h"
#include "screens/end1_state.h"
#include "screens/screen_draw.h"

namespace vexlorn {

VersusEndState versusEndState;

namespace {

constexpr int cardXs[2] = {108, 349};
constexpr int cardY = 190;
constexpr int wellXs[2] = {leftBoardX, rightBoardX};
constexpr int drawPictureY = 200;
constexpr int headingY = 88;
constexpr int scoreY = 142;  // centre of the tally, drawn at twice the font's size
constexpr int hintY = 340;   // where the end screen asks for a key

void drawCentred(int x, int y, const char* text) {
    textout_centre_ex(backBuffer, screenFont(), text, x, y, -1, -1);
}

}  // namespace

void formatTally(const int (&wins)[2], char* text, int size) {
    std::snprintf(text, static_cast<size_t>(size), "%d-%d", wins[LeftSide], wins[RightSide]);
}

void VersusEndState::activate() {
    const MatchTally& tally = versusState.tally;
    winner = tally.lastWinner;
    matchOver = tally.over();
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
    lastKey = 0;
    playMusic(MusicTrack::Silence);
    if (winner < 0) {
        playSound(SoundEffect::Lost, panCentre);
    } else {
        const int loser = 1 - winner;
        playSound(SoundEffect::Won, sidePan(winner));
        boardCopy = loser == LeftSide ? *leftBoard : *rightBoard;
        shatterBoard(boardCopy, wellXs[loser]);
    }
    char text[16];
    formatTally(tally.wins, text, sizeof text);
    if (score_ != nullptr) destroy_bitmap(score_);
    score_ = makeLabel(text);
    tickCount = 0;
    lastTickCount = 0;
}

void VersusEndState::leave() {
    if (score_ != nullptr) destroy_bitmap(score_);
    score_ = nullptr;
}

void VersusEndState::drawCards(int bob) const {
    static constexpr int winners[2] = {ObjVersusWinnerLeft, ObjVersusWinnerRight};
    static constexpr int losers[2] = {ObjVersusLoserLeft, ObjVersusLoserRight};
    if (winner < 0) {
        drawPictureCentred(ObjDraw, screenWidth / 2, drawPictureY);
        return;
    }
    const int loser = 1 - winner;
    drawPicture(winners[winner], cardXs[winner], cardY + bob);
    drawPicture(losers[loser], cardXs[loser], cardY);
}

void VersusEndState::drawTally() const {
    if (matchOver) {
        drawPictureCentred(ObjMatchOver, screenWidth / 2, headingY);
    } else {
        char heading[32];
        std::snprintf(heading, sizeof heading, "Round %d", versusState.tally.roundsPlayed);
        drawCentred(screenWidth / 2, headingY, heading);
    }
    if (score_ == nullptr) return;
    const int w = score_->w * 2;
    const int h = score_->h * 2;
    stretch_sprite(backBuffer, score_, screenWidth / 2 - w / 2, scoreY - h / 2, w, h);
}

bool VersusEndState::update() {
    const int elapsed = elapsedTicks();
    if (winner == LeftSide) {
        drawRound(background, *leftBoard, boardCopy, elapsed);
        updateBoard(boardCopy, elapsed, panRight);
    } else if (winner == RightSide) {
        drawRound(background, boardCopy, *rightBoard, elapsed);
        updateBoard(boardCopy, elapsed, panLeft);
    } else {
        drawRound(background, *leftBoard, *rightBoard, elapsed);
    }
    drawSeatTags();
    greyBitmap(backBuffer);
    drawCards(bobOffset(tickCount));
    drawTally();
    drawCentred(screenWidth / 2, hintY, matchOver ? "Enter: rematch" : "Enter: next round");
    drawCentred(screenWidth / 2, hintY + 15, "Esc: menu");

    if (lastKey == KeyEnter || lastKey == KeySpace) {
        lastKey = 0;
        taskList.clear();
        if (matchOver) {
            versusState.rematch();
        } else {
            versusState.nextRound();
        }
        return true;
    }
    if (lastKey == KeyEsc) {
        lastKey = 0;
        taskList.clear();
        // This screen, the round and the set-up: back to the menu.
        stateStack.pop();
        stateStack.pop();
        stateStack.pop();
        return true;
    }
    lastTickCount += elapsed;
    return true;
}

}  // namespace vexlorn
