// The desktop icon: four of the game's glossy blocks in a dark rounded well.
#include "tools/datagen/icons.h"

#include "tools/datagen/look.h"

namespace datagen {

Canvas makeIcon(int size) {
    Canvas icon(size, size);  // transparent around the well
    float s = size / 48.0f;
    icon.fillOutlined(roundedRect(1.5f * s, 1.5f * s, size - 1.5f * s, size - 1.5f * s, 8 * s),
                      verticalGradient(0, rgb(38, 30, 92), float(size), rgb(10, 8, 34)),
                      rgb(96, 104, 200), 1.0f * s);
    float block = 19 * s;
    float left = (size - 2 * block) / 2.0f;
    float top = (size - 2 * block) / 2.0f;
    const int colours[4] = {2, 3, 4, 0};  // star, diamond, ring, heart
    for (int i = 0; i < 4; ++i) {
        drawBlock(icon, left + (i % 2) * block, top + (i / 2) * block, block, colours[i]);
    }
    return icon;
}

}  // namespace datagen
