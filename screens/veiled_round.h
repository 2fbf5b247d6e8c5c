// The round under the grey veil of the continue and end screens, drawn pass after pass.
#pragma once

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
class VeiledRound {
public:
    // The round (as drawRound draws it, effects advanced by `elapsed`) greyed, in the back
    // buffer; the present step hears what changed.
    void draw(int background, const Board& left, const Board& right, int elapsed);
    // Where the screen draws over the veil each pass: record it here (ChangeRecorder), so that
    // the next pass puts the veil back there.
    std::vector<Area>& overlay() { return overlay_; }
    // When the screen leaves: the kept picture goes.
    void release();

private:
    void veil(const Area& area);
    void veilWhole();

    BITMAP* round_ = nullptr;
    unsigned long drawnAtChange_ = 0;
    std::vector<Area> changed_;
    std::vector<Area> overlay_;
};

}  // namespace vexlorn
