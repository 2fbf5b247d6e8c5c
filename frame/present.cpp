// The present step: what the passes since the last present changed (frame/picture_changes),
// onto the screen. At factor 1 the part of those areas that differs from the picture as last
// shown is copied, or the whole picture blitted when a pass kept no track. Scaled, they are scaled
// straight into the pixels of Allegro's X11 screen bitmap (a linear bitmap whose lines are the
// shared-memory image the X server shows), and the X server is told which rectangles to show; after
// an untracked pass, only the rows that differ from a kept copy of the picture are scaled. A pass
// that changed nothing costs nothing here.
#include "frame/present.h"

#include <cstdint>
#include <cstring>

#include "frame/display.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/scaler.h"
#include "platform/desktop/window_system.h"

namespace vexlorn {

static BITMAP* shownPicture = nullptr;  // the picture as last presented
static BITMAP* stage = nullptr;         // scaled picture, where the screen cannot be written
static bool wholePictureDue = true;
static int stageX = 0;
static int stageY = 0;
static bool screenHeld = false;

// Where the screen is the system's own surface, it is locked once for a whole present, and only
// when something is copied: each blit would otherwise lock it, and send what it wrote to the
// window, apart, and a lock alone can cost as much as a copy.
static void holdScreen() {
    if (screenHeld || screenIsWindowImage() || !is_video_bitmap(screen)) return;
    acquire_screen();
    screenHeld = true;
}

void forgetShownPicture() {
    wholePictureDue = true;
    if (stage != nullptr) {
        destroy_bitmap(stage);
        stage = nullptr;
    }
}

void releasePresent() {
    forgetShownPicture();
    if (shownPicture != nullptr) {
        destroy_bitmap(shownPicture);
        shownPicture = nullptr;
    }
}

static void showFromStage(int x, int y, int width, int height) {
    holdScreen();
    blit(stage, screen, x, y, stageX + x, stageY + y, width, height);
}

// An area at factor 1, its top-left corner at (x, y) on the screen. Into the window's own image
// it is copied row by row and the X server told once which rectangle to show; a blit would
// select the image's every row apart.
static void copyArea(BITMAP* picture, const Area& area, int x, int y) {
    if (!screenIsWindowImage()) {
        holdScreen();
        blit(picture, screen, area.x, area.y, x + area.x, y + area.y, area.width, area.height);
        return;
    }
    for (int row = area.y; row < area.y + area.height; ++row) {
        std::memcpy(reinterpret_cast<uint32_t*>(screen->line[y + row]) + x + area.x,
                    reinterpret_cast<const uint32_t*>(picture->line[row]) + area.x,
                    sizeof(uint32_t) * area.width);
    }
    showScreenArea(x + area.x, y + area.y, area.width, area.height);
}

static ScaleTarget scaleTarget(const DisplayMode& mode, ShownFn& shown) {
    ScaleTarget target{screen, mode.picture.x, mode.picture.y, mode.factor, 0, 0};
    if (mode.fill) {
        target.width = mode.picture.width;
        target.height = mode.picture.height;
    }
    shown = showScreenArea;
    if (screenIsWindowImage()) return target;
    if (stage == nullptr) stage = create_bitmap(mode.picture.width, mode.picture.height);
    stageX = mode.picture.x;
    stageY = mode.picture.y;
    shown = showFromStage;
    target.bitmap = stage;
    target.x = 0;
    target.y = 0;
    return target;
}

static void present(BITMAP* picture, const PictureChanges& changes) {
    if (screen == nullptr) return;  // no mode left after a failed switch; the program is ending
    const DisplayMode& mode = displayMode();
    if (shownPicture == nullptr) shownPicture = create_bitmap(screenWidth, screenHeight);
    if (mode.factor == 1 && !mode.fill) {
        if (changes.whole || wholePictureDue) {
            wholePictureDue = false;
            holdScreen();
            blit(picture, screen, 0, 0, mode.picture.x, mode.picture.y, screenWidth, screenHeight);
            blit(picture, shownPicture, 0, 0, 0, 0, screenWidth, screenHeight);
            return;
        }
        for (const Area& reported : changes.areas) {
            const Area area = changedPart(picture, shownPicture, reported);
            if (area.width > 0) copyArea(picture, area, mode.picture.x, mode.picture.y);
        }
        return;
    }
    ShownFn shown = nullptr;
    const ScaleTarget target = scaleTarget(mode, shown);
    if (wholePictureDue) {
        wholePictureDue = false;
        blit(picture, shownPicture, 0, 0, 0, 0, screenWidth, screenHeight);
        scaleArea(picture, Area{0, 0, screenWidth, screenHeight}, target);
        shown(target.x, target.y, mode.picture.width, mode.picture.height);
        return;
    }
    presentReported(picture, shownPicture, changes, target, shown);
}

void presentPicture(BITMAP* picture) {
    present(picture, pictureChanges());
    if (screenHeld) {
        release_screen();
        screenHeld = false;
    }
    clearPictureChanges();
}

}  // namespace vexlorn
