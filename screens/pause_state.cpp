// The pause screen: the frozen picture greyed until any key.
#include "screens/pause_state.h"

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "screens/screen_draw.h"

namespace vexlorn {

PauseState pauseState;

void PauseState::activate() {
    pauseMusic();
    greyBitmap(backBuffer);
    drawPictureCentred(ObjPaused, screenWidth / 2, screenHeight / 2);
}

bool PauseState::update() {
    trackChanges();  // the picture stays as activate left it
    if (lastKey != 0) {
        resumeMusic();
        stateStack.pop();
    }
    // The ticks spent paused are never counted; the play state's activate restarts its clock.
    lastTickCount = tickCount;
    lastKey = 0;
    return true;
}

}  // namespace vexlorn
