// What the back buffer has changed since it was last presented, so that the present step copies
// only that. A pass whose screen keeps no track has changed all of it, as has any push or pop of
// a screen (enter and activate draw as they like). A screen that keeps track says so
// with trackChanges() and reports each area it draws into, or none when it draws nothing.
#pragma once

#include <vector>

#include "frame/display_layout.h"

namespace vexlorn {

// Called by a screen's update: this pass reports its changes.
void trackChanges();
// An area of the picture drawn into (clipped to the picture). Within a pass it counts only if
// the screen tracks its changes; between passes (the frame loop's pass rate) it always counts.
void markChanged(const Area& area);

// The top line of Allegro's font, where the frame loop writes its pass rate between passes: a
// screen that keeps the back buffer from pass to pass puts its backdrop back there.
Area passRateLine();

// While one exists, every area marked is also added to `into`: a screen learns what its effects
// drew, to put the backdrop back there next time. They nest: an area goes to every recorder in
// force, the innermost ending first.
class ChangeRecorder {
public:
    // OnlyHere: the areas go to this recorder and not to the present step, for drawing into a
    // picture other than the back buffer.
    enum Reach { AlsoPresent, OnlyHere };
    explicit ChangeRecorder(std::vector<Area>& into, Reach reach = AlsoPresent);
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

private:
    friend void markChanged(const Area& area);
    std::vector<Area>& into_;
    Reach reach_;
    ChangeRecorder* outer_;
};

// For the frame loop: around each pass, then what the next present shows.
void beginPassChanges();
void endPassChanges();
struct PictureChanges {
    bool whole = true;
    std::vector<Area> areas;  // when not whole; may overlap
};
const PictureChanges& pictureChanges();
void clearPictureChanges();

}  // namespace vexlorn
