// The attract loop: title, menu backdrop, about page and hall of fame in turn, under a pulsing
// logo.
#include "screens/intro_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "assets/translucent.h"
#include "frame/globals.h"
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
// the back buffer keeps the previous picture.
struct IntroStep {
    int start;
    int end;
    void (*draw)(int ticksIn);
};

const IntroStep introSteps[] = {
    {0, 60, [](int) { clear_bitmap(backBuffer); }},
    {60, 120, fadeTitleFromBlack},
    // The title's hold is skipped in one leap, so the next step already draws in this update.
    {120, 240, [](int) { tickCount = tickCount + 120; }},
    {240, 300, [](int) { showPicture(ObjTitleSplash); }},
    {300, 360,
     [](int ticksIn) {
         showPicture(ObjTitleSplash);
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {360, 960, [](int) { showPicture(ObjMenuBackdrop); }},
    {960, 1020,
     [](int ticksIn) {
         showPicture(ObjMenuBackdrop);
         fadeInPicture(ObjAboutPage, ticksIn);
     }},
    {1020, 1320, [](int) { showPicture(ObjAboutPage); }},
    {1320, 1380,
     [](int ticksIn) {
         showPicture(ObjAboutPage);
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {1380, 1980, [](int) { showPicture(ObjMenuBackdrop); }},
    {1980, 2040,
     [](int ticksIn) {
         HiscoreState::drawTable();
         fadeOutPicture(ObjMenuBackdrop, ticksIn);
     }},
    {2040, 2340, [](int) { HiscoreState::drawTable(); }},
    {2340, 2400,
     [](int ticksIn) {
         HiscoreState::drawTable();
         fadeInPicture(ObjMenuBackdrop, ticksIn);
     }},
    {2400, 3000, [](int) { showPicture(ObjMenuBackdrop); }},
    {3000, loopEnd,
     [](int ticksIn) {
         clear_bitmap(backBuffer);
         fadeOutPicture(ObjMenuBackdrop, ticksIn);
     }},
};

void drawLogo(int t) {
    BITMAP* logo = dataBitmap(ObjLogo);
    translucentDraw(logo, backBuffer, logoCentreX - logo->w / 2, logoCentreY - logo->h / 2,
                    pulseOpacity(t));
}

}  // namespace

void IntroState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::Title);
}

bool IntroState::update() {
    // Each step reads the clock afresh: the leap over the title's hold changes it mid-update.
    for (const IntroStep& step : introSteps) {
        int t = tickCount;
        if (step.start < t && t < step.end) step.draw(t - step.start);
    }
    if (tickCount > loopEnd) tickCount = 0;
    int t = tickCount;
    if (logoStart < t && t < loopEnd) drawLogo(t);
    if (lastKey == KeyEnter || lastKey == KeySpace) {
        stateStack.push(&menuState);
        lastKey = 0;
    }
    return true;
}

}  // namespace vexlorn
