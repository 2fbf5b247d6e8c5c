/* Prints the game library's built-in 8x8 font glyphs of "0123456789FPS:" as rows of 0/1,
 * the templates the whole-program measurement reads the "-fps" figure with. */
#include <allegro.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

int main(void) {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
    set_color_depth(32);
    const char* glyphs = "0123456789FPS:";
    BITMAP* cell = create_bitmap(8, 8);
    for (const char* c = glyphs; *c; ++c) {
        char text[2] = {*c, 0};
        clear_to_color(cell, 0);
        textout_ex(cell, font, text, 0, 0, makecol(255, 255, 255), -1);
        printf("%c ", *c);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) putchar(getpixel(cell, x, y) != 0 ? '1' : '0');
            putchar(y < 7 ? '/' : '\n');
        }
    }
    destroy_bitmap(cell);
    return 0;
}
