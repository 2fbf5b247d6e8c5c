// Scaling of the 640 x 480 picture, only where it changed since the last time: nearest
// neighbour by a whole factor, or to any larger size ("fill"); the fast paths of the present
// step, each beside its plain reference.
#pragma once

#include <allegro.h>

#include <vector>

#include "frame/display_layout.h"
#include "frame/picture_changes.h"

namespace vexlorn {

// Where the scaled picture lands: a 32-bit linear bitmap (the screen or a memory stand-in),
// the picture's top-left corner there, and the factor; or, to fill, the picture's size there
// (at least the picture's own size both ways).
struct ScaleTarget {
    BITMAP* bitmap = nullptr;
    int x = 0;
    int y = 0;
    int factor = 1;
    int width = 0;  // filling: the scaled picture's size; 0 = factor times the picture
    int height = 0;
};

// Every pixel of `area` (picture coordinates) becomes a factor x factor block in the target.
// Filling, each target pixel the area reaches becomes the mean of the picture pixels under it,
// each weighted by how much of it lies there: what a nearest-neighbour enlargement followed by
// a smooth reduction to the size gives, without the large picture in between. Inside a picture
// pixel the colour stays exact; only the seams between two are blended, so edges stay sharp.
void scaleArea(BITMAP* picture, const Area& area, const ScaleTarget& target);
// The same through getpixel/putpixel, kept as the reference for the fast version.
void scaleAreaReference(BITMAP* picture, const Area& area, const ScaleTarget& target);
// The target rectangle scaleArea writes for `area`.
Area scaledArea(const Area& area, const ScaleTarget& target);

// Compares the picture with `kept` (the picture as last shown), brings `kept` up to date and
// lists the changed rectangles: runs of changed rows, each as wide as their changes reach.
void collectChanges(BITMAP* picture, BITMAP* kept, std::vector<Area>& changes);

// What changed since `kept`, scaled onto the target; `shown` hears of each target rectangle
// written (the screen needs telling). Returns the number of picture pixels scaled.
using ShownFn = void (*)(int x, int y, int width, int height);
long presentChanges(BITMAP* picture, BITMAP* kept, const ScaleTarget& target, ShownFn shown);
// The part of `area` where the picture differs from `kept`: the rectangle around every changed
// pixel, copied into `kept`; width 0 where nothing changed. A screen may redraw an area just as
// it was (a pulse between two equal frames), and a copy to the screen costs far more on some
// systems than the look.
Area changedPart(BITMAP* picture, BITMAP* kept, const Area& area);
// What the passes reported changed, onto the target: after an untracked pass as presentChanges
// does, otherwise the changed part of each reported area alone; `kept` is brought up to date.
long presentReported(BITMAP* picture, BITMAP* kept, const PictureChanges& changes,
                     const ScaleTarget& target, ShownFn shown);

}  // namespace vexlorn
