// The end of a round: the continue countdown, the draw, or on to the end and win screens.
#include "screens/continue1_state.h"

#include <allegro.h>

#include <cstdio>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board_draw.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/task_list.h"
#include "play/game1_state.h"
#include "screens/end1_state.h"
#include "screens/screen_draw.h"
#include "screens/win_state.h"

namespace vexlorn {

Continue1State continue1State;

namespace {

constexpr int countdownTicks = 550;  // 11 seconds
constexpr int drawPictureY = 200;
constexpr int captionGap = 20;

void replaceWith(BaseState* state) {
    stateStack.pop();
    stateStack.push(state);
}

// The number swells from nothing to twice its size and back once a second.
float promptScale(int countdown) {
    float scale = static_cast<float>((countdown % ticksPerSecond) * 4 / double(ticksPerSecond));
    if (scale > 2) scale = 4 - scale;
    return scale;
}

// The number changes once a second but is drawn on every pass: it is rendered once per value
// and the same pixels stretched from then on.
struct PromptDigits {
    BITMAP* bitmap = nullptr;
    FONT* font = nullptr;
    int number = 0;
};
PromptDigits cachedDigits;

void releasePromptDigits() {
    if (cachedDigits.bitmap != nullptr) destroy_bitmap(cachedDigits.bitmap);
    cachedDigits = PromptDigits{};
}

BITMAP* promptDigits(int number) {
    FONT* textFont = screenFont();
    if (cachedDigits.bitmap != nullptr && cachedDigits.number == number &&
        cachedDigits.font == textFont)
        return cachedDigits.bitmap;
    releasePromptDigits();
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    BITMAP* digits = create_bitmap(text_length(textFont, text), text_height(textFont));
    if (digits == nullptr) return nullptr;
    clear_to_color(digits, bitmap_mask_color(digits));
    textout_ex(digits, textFont, text, 0, 0, -1, -1);
    cachedDigits = PromptDigits{digits, textFont, number};
    return digits;
}

}  // namespace

void Continue1State::activate() {
    const bool leftOut = isToppedOut(*leftBoard);
    const bool rightOut = isToppedOut(*rightBoard);
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
    isDraw = leftOut && rightOut;
    if (isDraw) {
        // A draw costs no continue.
    } else if (leftOut || !rightOut) {
        continueBoard = leftBoard;
        promptX = 200;
        promptY = 140;
        if (leftBoard->continues > 0) {
            leftBoard->continues -= 1;
            playMusic(MusicTrack::Continue);
            countdown = countdownTicks;
        } else {
            replaceWith(&end1State);
        }
    } else if (leftBoard->level >= levelCount - 1) {
        replaceWith(&winState);
    } else {
        replaceWith(&end1State);
    }
    lastTickCount = 0;
    tickCount = 0;
}

bool Continue1State::update() {
    const int elapsed = elapsedTicks();
    if (!isDraw) {
        countdown -= elapsed;
        if (countdown < 0) {
            tickCount = 0;
            continueBoard->continues = 0;
            // This screen is gone now: a key in this same update must not act on the end screen.
            replaceWith(&end1State);
            return true;
        }
    }
    veiled_.draw(background, *leftBoard, *rightBoard, elapsed, {shownPicture(), numberPicture()});
    if (isConfirmKey(lastKey)) {
        lastKey = 0;
        // generateBoard with the flag at 0 moves on a level, so one step back replays this one.
        newGameFlag = 0;
        leftBoard->level -= 1;
        rightBoard->level -= 1;
        stateStack.pop();
        stateStack.pop();
        stateStack.push(&game1State);
        // The new play state has just reset the tick counters; leave them to it.
        return true;
    }
    lastTickCount += elapsed;
    return true;
}

// The caption over the countdown, or the picture of a draw.
VeiledPicture Continue1State::shownPicture() const {
    const int object = isDraw ? ObjDraw : ObjContinueCaption;
    const int centreX = isDraw ? screenWidth / 2 : promptX;
    const int centreY = isDraw ? drawPictureY : promptY - captionGap;
    BITMAP* picture = dataBitmap(object);
    const int w = picture != nullptr ? picture->w : 0;
    const int h = picture != nullptr ? picture->h : 0;
    return dataPicture(object, centreX - w / 2, centreY - h / 2);
}

// The seconds left at their swelling size; none during a draw.
VeiledPicture Continue1State::numberPicture() const {
    const int number = countdown / ticksPerSecond;
    BITMAP* digits = isDraw ? nullptr : promptDigits(number);
    if (digits == nullptr) return VeiledPicture{nullptr, number, promptX, promptY, 0, 0};
    const float scale = promptScale(countdown);
    const int width = static_cast<int>(static_cast<float>(digits->w) * scale);
    const int height = static_cast<int>(static_cast<float>(digits->h) * scale);
    return VeiledPicture{digits, number, promptX - width / 2, promptY - height / 2, width, height};
}

void Continue1State::drawPrompt() const {
    drawVeiledPicture(shownPicture());
    drawVeiledPicture(numberPicture());
}

void Continue1State::leave() {
    releasePromptDigits();
    veiled_.release();
}

}  // namespace vexlorn
