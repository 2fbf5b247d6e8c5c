// The attract loop: title, menu backdrop, about page and hall of fame in turn, under a pulsing
// logo.
#include "screens/intro_state.h"

#include <allegro.h>

#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "assets/translucent.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "screens/fade.h"
#include "screens/hiscore_state.h"
#include "screens/menu_state.h"
#include "screens/screen_draw.h"

namespace vexlorn {

IntroState introState;

namespace {

constexpr int loopEnd = 3060;
constexpr int logoStart = 360;
constexpr int logoCentreX = 320;
constexpr int logoCentreY = 200;

void showPicture(int object) {
    drawBackdrop(object);
}

void fadeInPicture(int object, int ticksIn) {
    translucentDraw(dataBitmap(object), backBuffer, 0, 0, fadeInOpacity(ticksIn));
}

void fadeOutPicture(int object, int ticksIn) {
    translucentDraw(dataBitmap(object), backBuffer, 0, 0, 255 - fadeInOpacity(ticksIn));
}

void fadeTitleFromBlack(int ticksIn) {
    clear_bitmap(backBuffer);
    set_trans_blender(0, 0, 0, fadeInOpacity(ticksIn));
    draw_trans_sprite(backBuffer, dataBitmap(ObjTitleSplash), 0, 0);
}

// One step of the timeline: it draws only strictly between its bounds, so on a bound itself
// the back buffer keeps the previous picture. A still step draws the same picture all along.
struct IntroStep {
    int start;
    int end;
    void (*draw)(int ticksIn);
    bool still = false;
};

const IntroStep introSteps[] = {
    {0, 60, [](int) { clear_bitmap(backBuffer); }, true},
    {60, 120, fadeTitleFromBlack},
    // The title's hold is skipped in one leap, so the next step already draws in this update.
    {120, 240, [](int) { tickCount = tickCount + 120; }},
    {240, 300, [](int) { showPicture(ObjTitleSplash); }, true},
    {300, 360,
     [](int ticksIn) {
         showPicture(ObjTitleSplash);
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {360, 960, [](int) { showPicture(ObjMenuBackdrop); }, true},
    {960, 1020,
     [](int ticksIn) {
         showPicture(ObjMenuBackdrop);
         fadeInPicture(ObjAboutPage, ticksIn);
     }},
    {1020, 1320, [](int) { showPicture(ObjAboutPage); }, true},
    {1320, 1380,
     [](int ticksIn) {
         showPicture(ObjAboutPage);
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {1380, 1980, [](int) { showPicture(ObjMenuBackdrop); }, true},
    {1980, 2040,
     [](int ticksIn) {
         HiscoreState::drawTable();
         fadeOutPicture(ObjMenuBackdrop, ticksIn);
     }},
    {2040, 2340, [](int) { HiscoreState::drawTable(); }, true},
    {2340, 2400,
     [](int ticksIn) {
         HiscoreState::drawTable();
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {2400, 3000, [](int) { showPicture(ObjMenuBackdrop); }, true},
    {3000, loopEnd,
     [](int ticksIn) {
         clear_bitmap(backBuffer);
         fadeOutPicture(ObjMenuBackdrop, ticksIn);
     }},
};

const IntroStep* stepAt(int t) {
    for (const IntroStep& step : introSteps) {
        if (step.start < t && t < step.end) return &step;
    }
    return nullptr;
}

}  // namespace

void IntroState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::Title);
    keepLogoPart();
    // The title is read from the data file now, so that its fade-in loses no ticks to it.
    dataBitmap(ObjTitleSplash);
}

void IntroState::leave() {
    if (still_ != nullptr) destroy_bitmap(still_);
    still_ = nullptr;
    stillStep_ = -1;
    if (logoPart_ != nullptr) destroy_bitmap(logoPart_);
    logoPart_ = nullptr;
}

// The logo's canvas reaches far below the band it draws: blending, putting back and presenting
// only that band is a fifth of the work of the whole canvas, every tick the logo pulses.
void IntroState::keepLogoPart() {
    if (logoPart_ != nullptr) destroy_bitmap(logoPart_);
    logoPart_ = nullptr;
    logoArea_ = Area{};
    BITMAP* logo = dataBitmap(ObjLogo);
    if (logo == nullptr) return;
    const Area part = drawnPart(logo);
    if (part.width == 0) return;
    logoPart_ = create_sub_bitmap(logo, part.x, part.y, part.width, part.height);
    if (logoPart_ == nullptr) return;
    logoArea_ = Area{logoCentreX - logo->w / 2 + part.x, logoCentreY - logo->h / 2 + part.y,
                     part.width, part.height};
}

void IntroState::drawLogo(int t) {
    translucentDraw(logoPart_, backBuffer, logoArea_.x, logoArea_.y, pulseOpacity(t));
    markChanged(logoArea_);
}

// Each step reads the clock afresh: the leap over the title's hold changes it mid-update. A
// still step drawn alone is kept, without the logo, for the passes that follow.
void IntroState::drawSteps() {
    int drawn = 0;
    int last = -1;
    for (int i = 0; i < static_cast<int>(std::size(introSteps)); ++i) {
        const IntroStep& step = introSteps[i];
        int t = tickCount;
        if (step.start < t && t < step.end) {
            step.draw(t - step.start);
            ++drawn;
            last = i;
        }
    }
    stillStep_ = -1;
    if (drawn != 1 || !introSteps[last].still) return;
    if (still_ == nullptr) still_ = create_bitmap(screenWidth, screenHeight);
    if (still_ == nullptr) return;
    blit(backBuffer, still_, 0, 0, 0, 0, screenWidth, screenHeight);
    stillStep_ = last;
}

void IntroState::putBack(const Area& area) {
    blit(still_, backBuffer, area.x, area.y, area.x, area.y, area.width, area.height);
    markChanged(area);
}

// Blending the logo over a whole new copy of the picture every pass is most of the attract
// loop's cost. While a still step goes on and nothing else has run since the last update, the
// back buffer still holds that frame: the kept picture goes back where the frame loop wrote its
// pass rate, and under the logo when the logo's opacity changes, and the logo is blended there
// again. A third of each pulse holds the logo opaque.
bool IntroState::update() {
    const IntroStep* step = stepAt(tickCount);
    const bool continued = step != nullptr && stillStep_ >= 0 && step == &introSteps[stillStep_] &&
                           stateStack.changeCount() == drawnAtChange_ + 1;
    if (continued) {
        trackChanges();
        putBack(passRateLine());
    } else {
        drawSteps();
    }
    drawnAtChange_ = stateStack.changeCount();
    if (tickCount > loopEnd) tickCount = 0;
    int t = tickCount;
    const int opacity = logoStart < t && t < loopEnd ? pulseOpacity(t) : -1;
    if (!continued || opacity != drawnOpacity_) {
        if (continued) putBack(logoArea_);
        if (opacity >= 0) drawLogo(t);
    }
    drawnOpacity_ = opacity;
    if (lastKey == KeyEnter || lastKey == KeySpace) {
        stateStack.push(&menuState);
        lastKey = 0;
    }
    return true;
}

}  // namespace vexlorn
