// vexlorn-contact-sheet: every picture of a data file, scaled down onto one bitmap, plus font
// samples.
#include <allegro.h>
#include <errno.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int sheetWidth = 1320;
const int gap = 10;
const int labelHeight = 12;

struct Placement {
    int index;
    int x, y, w, h;
};

// Full-screen pictures at half size, everything else at its own size, packed on shelves.
std::vector<Placement> layout(DATAFILE* data, int& height) {
    std::vector<Placement> out;
    int x = gap, y = gap, shelf = 0;
    for (int i = 0; data[i].type != DAT_END; ++i) {
        if (data[i].type != DAT_BITMAP) continue;
        BITMAP* bmp = static_cast<BITMAP*>(data[i].dat);
        int scale = bmp->w >= 640 ? 2 : 1;
        int w = bmp->w / scale, h = bmp->h / scale;
        if (x + w + gap > sheetWidth) {
            x = gap;
            y += shelf + labelHeight + gap;
            shelf = 0;
        }
        out.push_back({i, x, y + labelHeight, w, h});
        x += std::max(w, 60) + gap;
        shelf = std::max(shelf, h);
    }
    height = y + shelf + labelHeight + gap;
    return out;
}

void drawChecker(BITMAP* target, int x, int y, int w, int h) {
    for (int cy = 0; cy < h; cy += 8)
        for (int cx = 0; cx < w; cx += 8) {
            int shade = ((cx / 8 + cy / 8) % 2) ? 70 : 90;
            rectfill(target, x + cx, y + cy, x + std::min(cx + 7, w - 1),
                     y + std::min(cy + 7, h - 1), makecol(shade, shade, shade + 10));
        }
}

int drawFontSamples(BITMAP* target, FONT* gameFont, int y) {
    static const char* const samples[] = {
        " !\"#$%&'()*+,-./0123456789:;<=>?@",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`",
        "abcdefghijklmnopqrstuvwxyz{|}~",
        "  10       abc     12345     00042    I N S T R U C T I O N S",
    };
    for (const char* text : samples) {
        textout_ex(target, gameFont, text, gap, y, -1, -1);
        y += text_height(gameFont) + 4;
    }
    return y;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vexlorn-contact-sheet <file.dat> <out.bmp>\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
    set_color_depth(32);
    set_color_conversion(COLORCONV_24_TO_32);
    DATAFILE* data = load_datafile(argv[1]);
    if (!data) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    int height = 0;
    std::vector<Placement> places = layout(data, height);
    FONT* gameFont = nullptr;
    for (int i = 0; data[i].type != DAT_END; ++i)
        if (data[i].type == DAT_FONT) gameFont = static_cast<FONT*>(data[i].dat);
    int fontTop = height;
    if (gameFont) height += 4 * (text_height(gameFont) + 4) + gap;
    BITMAP* sheet = create_bitmap(sheetWidth, height);
    clear_to_color(sheet, makecol(40, 40, 48));
    for (const Placement& p : places) {
        BITMAP* bmp = static_cast<BITMAP*>(data[p.index].dat);
        textprintf_ex(sheet, font, p.x, p.y - labelHeight + 2, makecol(230, 230, 230), -1, "%d",
                      p.index);
        drawChecker(sheet, p.x, p.y, p.w, p.h);
        masked_stretch_blit(bmp, sheet, 0, 0, bmp->w, bmp->h, p.x, p.y, p.w, p.h);
    }
    if (gameFont) drawFontSamples(sheet, gameFont, fontTop);
    int saved = save_bitmap(argv[2], sheet, nullptr);
    destroy_bitmap(sheet);
    unload_datafile(data);
    return saved == 0 ? 0 : 1;
}
