// The instructions page with its pulsing marker, closed by Enter, Space or a long time-out.
#include "screens/instructions_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "assets/translucent.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "screens/fade.h"
#include "screens/screen_draw.h"

namespace vexlorn {

InstructionsState instructionsState;

namespace {

// Ten times the other pages' time-out: there is a lot to read.
constexpr int instructionsTimeoutTicks = 36000;
constexpr int markerX = 614;
constexpr int markerY = 438;

}  // namespace

void InstructionsState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::Information);
}

// Only the marker pulses: after the first pass the page goes back under it and under the
// pass-rate line alone.
bool InstructionsState::update() {
    BITMAP* marker = dataBitmap(ObjInstructionsMarker);
    if (frame_.kept() && marker != nullptr) {
        trackChanges();
        putBackPicture(ObjInstructionsPage, passRateLine());
        putBackPicture(ObjInstructionsPage, Area{markerX, markerY, marker->w, marker->h});
    } else {
        drawBackdrop(ObjInstructionsPage);
    }
    frame_.drawn();
    translucentDraw(marker, backBuffer, markerX, markerY, pulseOpacity(tickCount));
    if (lastKey == KeyEnter || lastKey == KeySpace) {
        lastKey = 0;
        stateStack.pop();
        return true;
    }
    if (tickCount > instructionsTimeoutTicks) stateStack.pop();
    return true;
}

}  // namespace vexlorn
