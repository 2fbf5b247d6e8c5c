// The about page: one picture, closed by Enter, Space or a time-out.
#include "screens/about_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "screens/screen_draw.h"

namespace vexlorn {

AboutState aboutState;

namespace {

constexpr int aboutTimeoutTicks = 3600;

}  // namespace

void AboutState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::Information);
    // Drawn once: update leaves the picture standing in the back buffer.
    drawBackdrop(ObjAboutPage);
}

// Only the pass-rate line, clear of the page's text, goes back.
bool AboutState::update() {
    trackChanges();
    putBackPicture(ObjAboutPage, passRateLine());
    if (lastKey == KeyEnter || lastKey == KeySpace) {
        lastKey = 0;
        stateStack.pop();
        return true;
    }
    if (tickCount > aboutTimeoutTicks) stateStack.pop();
    return true;
}

}  // namespace vexlorn
