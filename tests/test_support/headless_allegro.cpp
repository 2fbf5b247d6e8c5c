// The one headless start-up that tests, benchmarks and fuzz targets share.
#include "test_support/headless_allegro.h"

#include <allegro.h>
#include <errno.h>
#include <stdlib.h>

namespace vexlorn {

void ensureHeadlessAllegro() {
    static bool started = false;
    if (started) return;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    set_color_conversion(COLORCONV_24_TO_32);
    started = true;
}

int headlessKeyToAscii(int scancode) {
    if (scancode >= KEY_A && scancode <= KEY_Z) return 'a' + scancode - KEY_A;
    if (scancode >= KEY_0 && scancode <= KEY_9) return '0' + scancode - KEY_0;
    if (scancode == KEY_SPACE) return ' ';
    if (scancode == KEY_MINUS) return '-';
    return 0;
}

}  // namespace vexlorn
