// The round under the grey veil of the continue and end screens, drawn pass after pass.
#pragma once

#include <initializer_list>
#include <vector>

#include "board/board.h"
#include "frame/display_layout.h"

struct BITMAP;

namespace vexlorn {

// A picture the screen shows over the veil, stretched to w x h where that differs from its own
// size. `key` tells apart pictures that may come in the same memory one after another.
struct VeiledPicture {
    BITMAP* bitmap;
    int key;
    int x, y, w, h;
};
// A data-file picture at its own size, its top-left corner at (x, y); none when it is missing.
VeiledPicture dataPicture(int object, int x, int y);
// Drawn as the veil draws it, and reported to the present step.
void drawVeiledPicture(const VeiledPicture& picture);
// Only its part within `part`, for a picture at its own size.
void drawVeiledPictureWithin(const VeiledPicture& picture, const Area& part);

// Redrawing the round and greying the whole picture cost most of these screens' passes. The
// round is kept unveiled in a picture of its own, redrawn there as the play screen redraws its
// own, and greyed in another; when nothing else has run since the last pass, only where it was
// redrawn is greyed again, and only that, where the screen drew over the veil last pass and
// the frame loop's pass-rate line are copied back from the grey one. Greying works pixel by
// pixel, so a part greyed gives the pixels of the whole greyed.
class VeiledRound {
public:
    // The round (as drawRound draws it, effects advanced by `elapsed`) greyed, in the back
    // buffer, then `pictures` over it in their order; the present step hears what changed. A
    // picture shown the same last pass is drawn again only where the veil or a picture under
    // it was put back since: the pictures of these screens mostly stand still, and the frame
    // loop passes more often than the clock ticks.
    void draw(int background, const Board& left, const Board& right, int elapsed,
              std::initializer_list<VeiledPicture> pictures = {});
    // Where the screen draws over the veil each pass besides its pictures: record it here
    // (ChangeRecorder), so that the next pass puts the veil back there.
    std::vector<Area>& overlay() { return overlay_; }
    // When the screen leaves: the kept pictures go.
    void release();

private:
    bool redraw(int background, const Board& left, const Board& right, int elapsed);
    void greyAgain(const Area& area);
    void veil(const Area& area);
    void veilWhole();
    void drawPictures(std::initializer_list<VeiledPicture> pictures, bool partial);

    struct ShownPicture {
        VeiledPicture picture;
        Area area;
    };

    BITMAP* round_ = nullptr;
    BITMAP* greyed_ = nullptr;  // round_ greyed: the veil as it stands
    unsigned long drawnAtChange_ = 0;
    std::vector<Area> roundAreas_;
    std::vector<Area> putBack_;
    std::vector<Area> overlay_;
    std::vector<ShownPicture> shown_;
    std::vector<ShownPicture> showing_;
    std::vector<Area> drawnAgain_;  // this pass: the veil put back, and pictures drawn again
};

}  // namespace vexlorn
