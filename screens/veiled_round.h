// The round under the grey veil of the continue and end screens, drawn pass after pass.
#pragma once

#include <initializer_list>
#include <vector>

#include "board/board.h"
#include "frame/display_layout.h"

struct BITMAP;

namespace vexlorn {

// Redrawing the round and greying the whole picture cost most of these screens' passes. The
// round is kept unveiled in a picture of its own, redrawn there as the play screen redraws its
// own; when nothing else has run since the last pass, only where it changed, where the screen
// drew over the veil last pass and the frame loop's pass-rate line are copied and greyed again.
// Greying works pixel by pixel, so a part greyed gives the pixels of the whole greyed.
// A data-file picture the screen shows over the veil, its top-left corner at (x, y).
struct VeiledPicture {
    int object;
    int x;
    int y;
};

class VeiledRound {
public:
    // The round (as drawRound draws it, effects advanced by `elapsed`) greyed, in the back
    // buffer, then `pictures` over it; the present step hears what changed. A picture shown
    // the same last pass, with nothing put back over it since, is left as it is: the large
    // pictures of these screens mostly stand still.
    void draw(int background, const Board& left, const Board& right, int elapsed,
              std::initializer_list<VeiledPicture> pictures = {});
    // Where the screen draws over the veil each pass: record it here (ChangeRecorder), so that
    // the next pass puts the veil back there.
    std::vector<Area>& overlay() { return overlay_; }
    // When the screen leaves: the kept picture goes.
    void release();

private:
    void veil(const Area& area);
    void veilWhole();
    void drawPictures(std::initializer_list<VeiledPicture> pictures, bool partial);

    struct ShownPicture {
        VeiledPicture picture;
        Area area;
    };

    BITMAP* round_ = nullptr;
    unsigned long drawnAtChange_ = 0;
    std::vector<Area> changed_;
    std::vector<Area> overlay_;
    std::vector<ShownPicture> shown_;
    std::vector<ShownPicture> showing_;
};

}  // namespace vexlorn
