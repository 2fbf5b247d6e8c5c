#include "frame/picture_changes.h"

#include <allegro.h>

#include <algorithm>

#include "assets/data_layout.h"
#include "frame/state_stack.h"

namespace vexlorn {

namespace {

// Past this many areas a present would do better copying everything.
constexpr size_t mostAreas = 256;

bool passOpen = false;
bool passTracked = false;
bool passOverflowed = false;
std::vector<Area> passAreas;
PictureChanges pending;
ChangeRecorder* innermostRecorder = nullptr;
// Each pass updates the top screen once, which counts one stack change; any push or pop since
// the last present, in a pass or not, shows as more.
unsigned long stackCountAtPresent = 0;
unsigned long passesSincePresent = 0;

bool contains(const Area& outer, const Area& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

long size(const Area& area) {
    return static_cast<long>(area.width) * area.height;
}

Area around(const Area& a, const Area& b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return Area{left, top, right - left, bottom - top};
}

// An area inside one already listed adds nothing: most passes put the backdrop back where they
// then draw again. One that overlaps a listed one so far that the rectangle around both is no
// larger than the two together widens it to that rectangle: a picture moved by a pixel is then
// copied once, not twice.
void addArea(std::vector<Area>& areas, bool& whole, const Area& area) {
    if (whole) return;
    for (Area& listed : areas) {
        if (contains(listed, area)) return;
        const Area both = around(listed, area);
        if (size(both) <= size(listed) + size(area)) {
            listed = both;
            return;
        }
    }
    if (areas.size() >= mostAreas) {
        whole = true;
        areas.clear();
        return;
    }
    areas.push_back(area);
}

}  // namespace

Area passRateLine() {
    return Area{0, 0, screenWidth, text_height(font)};
}

void trackChanges() {
    passTracked = true;
}

void markChanged(const Area& area) {
    const Area clipped = intersection(area, Area{0, 0, screenWidth, screenHeight});
    if (clipped.width == 0) return;
    bool presented = true;
    for (ChangeRecorder* recorder = innermostRecorder; recorder != nullptr;
         recorder = recorder->outer_) {
        recorder->into_.push_back(clipped);
        presented = presented && recorder->reach_ == ChangeRecorder::AlsoPresent;
    }
    if (!presented) return;
    if (!passOpen) {
        addArea(pending.areas, pending.whole, clipped);
        return;
    }
    addArea(passAreas, passOverflowed, clipped);
}

ChangeRecorder::ChangeRecorder(std::vector<Area>& into, Reach reach)
    : into_(into), reach_(reach), outer_(innermostRecorder) {
    innermostRecorder = this;
}

ChangeRecorder::~ChangeRecorder() {
    innermostRecorder = outer_;
}

void beginPassChanges() {
    ++passesSincePresent;
    passOpen = true;
    passTracked = false;
    passOverflowed = false;
    passAreas.clear();
}

void endPassChanges() {
    passOpen = false;
    if (!passTracked || passOverflowed) {
        pending.whole = true;
        pending.areas.clear();
    } else {
        for (const Area& area : passAreas) addArea(pending.areas, pending.whole, area);
    }
    passAreas.clear();
}

const PictureChanges& pictureChanges() {
    if (stateStack.changeCount() != stackCountAtPresent + passesSincePresent) {
        pending.whole = true;
        pending.areas.clear();
    }
    return pending;
}

void clearPictureChanges() {
    pending.whole = false;
    pending.areas.clear();
    stackCountAtPresent = stateStack.changeCount();
    passesSincePresent = 0;
}

}  // namespace vexlorn
