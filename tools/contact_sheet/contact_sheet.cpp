// vexlorn-contact-sheet: every picture of a data file, scaled down onto one bitmap, plus font
// samples.
#include <allegro.h>
#include <errno.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/datagen/screen_layout.h"

namespace {

namespace screen = datagen::layout;

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

BITMAP* objectBitmap(DATAFILE* data, int index) {
    return static_cast<BITMAP*>(data[index].dat);
}

// Draws a sprite from the data file; tile (column, row) of the 32-pixel sheet grid.
void tile(DATAFILE* data, BITMAP* target, int sheetX, int sheetY, int x, int y) {
    masked_blit(objectBitmap(data, 46), target, sheetX, sheetY, x, y, 32, 32);
}

// A board's window as the game shows it: a pile of blocks, the figure, the incoming row.
void drawSampleBoard(DATAFILE* data, BITMAP* target, int left, int seed) {
    for (int r = 5; r < 12; ++r)
        for (int c = 0; c < 6; ++c) {
            int colour = (c * 5 + r * 3 + seed) % 8;
            int y = 46 + 32 * r;
            if (r == 7 && c == 2)
                tile(data, target, 320, 96, left + 32 * c, y);
            else if (r == 9 && c == 4)
                tile(data, target, 128, 64, left + 32 * c, y);
            else if (r == 5 && c == 1)
                tile(data, target, 256, 64, left + 32 * c, y);
            else if (r == 6 && c == 5)
                tile(data, target, 32 + 32 * 5, 32, left + 32 * c, y);
            else if (r > 5 || c % 2 == 0)
                tile(data, target, 32 * colour, 0, left + 32 * c, y);
        }
    set_clip_rect(target, left, 46, left + 191, 46 + 383);
    for (int c = 0; c < 6; ++c)
        tile(data, target, 256 + 32 * ((c + seed) % 8), 0, left + 32 * c, 46 + 384 - 12);
    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
}

// The continue countdown's numbers at every size its swelling gives them, a step of 4/50 of
// their size each tick from nothing to twice their size, over a row of blocks greyed as the
// continue screen greys them.
const char* const countdownSamples[] = {"10", "7", "4", "1"};
const int countdownSteps = 25;

int countdownRowHeight(FONT* f) {
    return 2 * text_height(f) + 6;
}

void greyArea(BITMAP* target, int x, int y, int w, int h) {
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) {
            int p = getpixel(target, px, py);
            int v = static_cast<int>(0.299 * getr(p) + 0.587 * getg(p) + 0.114 * getb(p));
            putpixel(target, px, py, makecol(v, v, v));
        }
}

int drawCountdownSizes(DATAFILE* data, BITMAP* target, FONT* f, int y) {
    const int rowHeight = countdownRowHeight(f);
    for (const char* number : countdownSamples) {
        set_clip_rect(target, gap, y, sheetWidth - gap - 1, y + rowHeight - 1);
        for (int x = gap; x < sheetWidth - gap; x += 32)
            for (int ty = 0; ty < rowHeight; ty += 32)
                tile(data, target, 32 * ((x / 32 + ty / 32) % 8), 0, x, y + ty);
        greyArea(target, gap, y, sheetWidth - 2 * gap, rowHeight);
        BITMAP* digits = create_bitmap(text_length(f, number), text_height(f));
        clear_to_color(digits, bitmap_mask_color(digits));
        textout_ex(digits, f, number, 0, 0, -1, -1);
        int x = gap + 4;
        for (int step = 1; step <= countdownSteps; ++step) {
            const float scale = step * 4.0f / 50.0f;
            const int w = static_cast<int>(digits->w * scale);
            const int h = static_cast<int>(digits->h * scale);
            if (w > 0 && h > 0) stretch_sprite(target, digits, x, y + (rowHeight - h) / 2, w, h);
            x += std::max(w, 2) + 6;
        }
        destroy_bitmap(digits);
        set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
        y += rowHeight + 4;
    }
    return y;
}

void centred(DATAFILE* data, BITMAP* target, int index, int cx, int cy) {
    BITMAP* bmp = objectBitmap(data, index);
    draw_sprite(target, bmp, cx - bmp->w / 2, cy - bmp->h / 2);
}

// A dashed outline with a name: where a screen draws over the picture at a fixed position.
void markOverlay(BITMAP* s, int x, int y, int w, int h, const char* name) {
    const int colour = makecol(120, 255, 60);
    for (int i = 0; i < w; i += 6) {
        hline(s, x + i, y, std::min(x + i + 3, x + w - 1), colour);
        hline(s, x + i, y + h - 1, std::min(x + i + 3, x + w - 1), colour);
    }
    for (int i = 0; i < h; i += 6) {
        vline(s, x, y + i, std::min(y + i + 3, y + h - 1), colour);
        vline(s, x + w - 1, y + i, std::min(y + i + 3, y + h - 1), colour);
    }
    textout_ex(s, font, name, x + 2, y + h + 1, colour, makecol(0, 0, 0));
}

void markCentred(BITMAP* s, BITMAP* bmp, int cx, int cy, const char* name) {
    markOverlay(s, cx - bmp->w / 2, cy - bmp->h / 2, bmp->w, bmp->h, name);
}

void markText(BITMAP* s, FONT* f, const char* text, int x, int y, const char* name) {
    markOverlay(s, x, y, text_length(f, text), text_height(f), name);
}

// The logo's whole canvas, and the band of it that shows.
void markLogo(DATAFILE* data, BITMAP* s) {
    markCentred(s, objectBitmap(data, 42), screen::logoCentreX, screen::logoCentreY, "logo");
    const screen::Box& band = screen::logoBand;
    markOverlay(s, band.x0, band.y0, band.x1 - band.x0, band.y1 - band.y0, "logo band");
}

void markTableRows(BITMAP* s, FONT* f) {
    for (int r = 0; r < screen::tableRows; ++r)
        markText(s, f, "  100       MMM     99999", screen::tableX,
                 screen::tableY + screen::tablePitch * r, "");
}

void markNameEntry(BITMAP* s, FONT* f, int headingX, int headingY, int lettersX, int lettersY) {
    markText(s, f, "H I S C O R E", headingX, headingY, "heading");
    markOverlay(s, lettersX, lettersY, screen::letterSpacing * screen::letterCells, text_height(f),
                "letters");
}

void previewPlay(DATAFILE* data, FONT* f, BITMAP* s) {
    blit(objectBitmap(data, 16), s, 0, 0, 0, 0, 640, 480);
    drawSampleBoard(data, s, 104, 0);
    drawSampleBoard(data, s, 345, 3);
    for (int side = 0; side < 2; ++side) {
        int x = side ? 558 : 28;
        textprintf_ex(s, f, x, 64, -1, -1, "%d", 24);
        textprintf_ex(s, f, x, 139, -1, -1, "%d", 3);
        textprintf_ex(s, f, x, 219, -1, -1, "%05d", side ? 1234 : 420);
    }
    for (int i = 2; i >= -2; --i)
        rect(s, 345 - i, 46 - i, 345 + 191 + i, 46 + 382 + i, makecol(200, 0, 0));
    centred(data, s, 3, 200, 140);
    centred(data, s, 4, 440, 140);
    markCentred(s, objectBitmap(data, 4), 200, 140, "chain");
    markCentred(s, objectBitmap(data, 4), 440, 140, "chain");
}

void previewHallOfFame(DATAFILE* data, FONT* f, BITMAP* s) {
    static const char* const names[] = {"ace", "bob", "  m", "www", "mmm",
                                        "joe", " zz", "kit", "",    "amy"};
    blit(objectBitmap(data, 11), s, 0, 0, 0, 0, 640, 480);
    for (int r = 0; r < 10; ++r)
        textprintf_ex(s, f, 290, 140 + 30 * r, -1, -1, "  %3d       %3s     %5d",
                      r == 0 ? 100 : 5 - r / 2, names[r], 99999 / (r + 1));
    markTableRows(s, f);
}

// The intro's stretch over the table: the logo pulsing over the rows.
void previewHallOfFameWithLogo(DATAFILE* data, FONT* f, BITMAP* s) {
    previewHallOfFame(data, f, s);
    set_trans_blender(0, 0, 0, 128);
    BITMAP* logo = objectBitmap(data, 42);
    draw_trans_sprite(s, logo, screen::logoCentreX - logo->w / 2,
                      screen::logoCentreY - logo->h / 2);
    markLogo(data, s);
}

void previewMenu(DATAFILE* data, FONT* f, BITMAP* s) {
    static const char* const labels[] = {"O N E   P L A Y E R",
                                         "I N S T R U C T I O N S",
                                         "H O W   T O   O R D E R",
                                         "H A L L   O F   F A M E",
                                         "A B O U T",
                                         "M U S I C   O N ",
                                         "E X I T"};
    blit(objectBitmap(data, 47), s, 0, 0, 0, 0, 640, 480);
    textprintf_ex(s, font, 5, 470, makecol(255, 255, 255), -1, "Version %s", "1.00b");
    for (int i = 0; i < 7; ++i) {
        int w = text_length(f, labels[i]), h = text_height(f);
        BITMAP* label = create_bitmap(w, h);
        clear_to_color(label, makecol(255, 0, 255));
        textout_ex(label, f, labels[i], 0, 0, -1, -1);
        if (i == 1) w += w / 2, h += h / 2;
        stretch_sprite(s, label, 400 - w / 2, 140 + 50 * i - h / 2, w, h);
        destroy_bitmap(label);
    }
}

void previewEnd(DATAFILE* data, FONT* f, BITMAP* s) {
    blit(objectBitmap(data, 18), s, 0, 0, 0, 0, 640, 480);
    drawSampleBoard(data, s, 104, 5);
    draw_sprite(s, objectBitmap(data, 20), 108, 190);
    draw_sprite(s, objectBitmap(data, 49), 349, 190 - 20);
    textout_ex(s, f, "H I S C O R E", 136, 64, -1, -1);
    textout_ex(s, f, "a", 180, 96, -1, -1);
    textout_ex(s, f, "b", 202, 96, -1, -1);
    textout_ex(s, f, "_", 224, 96, -1, -1);
    textout_ex(s, f, "Press a key to", 245, 340, -1, -1);
    textout_ex(s, f, "   continue   ", 245, 355, -1, -1);
    markNameEntry(s, f, screen::endHeadingX, screen::endHeadingY, screen::endLettersX,
                  screen::endLettersY);
    markText(s, f, "Press a key to", screen::pressKeyX, screen::pressKeyY, "press a key");
}

void previewWin(DATAFILE* data, FONT* f, BITMAP* s) {
    blit(objectBitmap(data, 8), s, 0, 0, 0, 0, 640, 480);
    draw_sprite(s, objectBitmap(data, 0), 180, 330);
    draw_sprite(s, objectBitmap(data, 1), 420, 250);
    draw_sprite(s, objectBitmap(data, 2), 300, 400);
    textout_ex(s, f, "H I S C O R E", 254, 155, -1, -1);
    textout_ex(s, f, "x", 298, 187, -1, -1);
    textout_ex(s, f, "y", 320, 187, -1, -1);
    textout_ex(s, f, "z", 342, 187, -1, -1);
    textout_ex(s, f, ":", 364, 187, -1, -1);
    markNameEntry(s, f, screen::winHeadingX, screen::winHeadingY, screen::winLettersX,
                  screen::winLettersY);
}

void previewOrder(DATAFILE* data, FONT*, BITMAP* s) {
    blit(objectBitmap(data, 37), s, 0, 0, 0, 0, 640, 480);
    draw_sprite(s, objectBitmap(data, 39), screen::visitX, screen::optionY);
    set_trans_blender(0, 0, 0, 64);
    draw_trans_sprite(s, objectBitmap(data, 38), screen::backX, screen::optionY);
    BITMAP* visit = objectBitmap(data, 39);
    BITMAP* back = objectBitmap(data, 38);
    markOverlay(s, screen::visitX, screen::optionY, visit->w, visit->h, "visit");
    markOverlay(s, screen::backX, screen::optionY, back->w, back->h, "back");
}

void previewInstructions(DATAFILE* data, FONT*, BITMAP* s) {
    blit(objectBitmap(data, 12), s, 0, 0, 0, 0, 640, 480);
    draw_sprite(s, objectBitmap(data, 13), 614, 438);
    BITMAP* marker = objectBitmap(data, 13);
    markOverlay(s, 614, 438, marker->w, marker->h, "");
}

void previewContinue(DATAFILE* data, FONT* f, BITMAP* s) {
    blit(objectBitmap(data, 14), s, 0, 0, 0, 0, 640, 480);
    drawSampleBoard(data, s, 345, 1);
    BITMAP* caption = objectBitmap(data, 5);
    const int captionY = screen::countdownY - screen::captionRise;
    draw_sprite(s, caption, screen::countdownX - caption->w / 2, captionY - caption->h / 2);
    textout_ex(s, f, "7", screen::countdownX - text_length(f, "7") / 2, screen::countdownY, -1, -1);
    centred(data, s, 40, 320, 240);
    centred(data, s, 44, 320, 380);
    markCentred(s, caption, screen::countdownX, captionY, "caption");
    // The countdown at its largest: "10" at twice its size.
    const int w = 2 * text_length(f, "10"), h = 2 * text_height(f);
    markOverlay(s, screen::countdownX - w / 2, screen::countdownY - h / 2, w, h, "countdown");
    markCentred(s, objectBitmap(data, 7), screen::drawPictureX, screen::drawPictureY,
                "draw picture");
}

void previewIntro(DATAFILE* data, FONT*, BITMAP* s) {
    blit(objectBitmap(data, 47), s, 0, 0, 0, 0, 640, 480);
    centred(data, s, 42, 320, 200);
    markLogo(data, s);
}

void previewAboutWithLogo(DATAFILE* data, FONT*, BITMAP* s) {
    blit(objectBitmap(data, 6), s, 0, 0, 0, 0, 640, 480);
    set_trans_blender(0, 0, 0, 128);
    BITMAP* logo = objectBitmap(data, 42);
    draw_trans_sprite(s, logo, 320 - logo->w / 2, 200 - logo->h / 2);
    markLogo(data, s);
}

using Preview = void (*)(DATAFILE*, FONT*, BITMAP*);
const Preview previews[] = {previewPlay,
                            previewContinue,
                            previewMenu,
                            previewHallOfFame,
                            previewEnd,
                            previewWin,
                            previewInstructions,
                            previewOrder,
                            previewIntro,
                            previewAboutWithLogo,
                            previewHallOfFameWithLogo};
const int previewCount = sizeof previews / sizeof previews[0];

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
    int countdownTop = height;
    if (gameFont) height += 4 * (countdownRowHeight(gameFont) + 4) + gap;
    int previewTop = height;
    if (gameFont) height += (previewCount + 1) / 2 * (480 + gap);
    BITMAP* sheet = create_bitmap(sheetWidth, height);
    clear_to_color(sheet, makecol(40, 40, 48));
    for (const Placement& p : places) {
        BITMAP* bmp = static_cast<BITMAP*>(data[p.index].dat);
        textprintf_ex(sheet, font, p.x, p.y - labelHeight + 2, makecol(230, 230, 230), -1, "%d",
                      p.index);
        drawChecker(sheet, p.x, p.y, p.w, p.h);
        masked_stretch_blit(bmp, sheet, 0, 0, bmp->w, bmp->h, p.x, p.y, p.w, p.h);
    }
    if (gameFont) {
        drawFontSamples(sheet, gameFont, fontTop);
        drawCountdownSizes(data, sheet, gameFont, countdownTop);
        // Screens as the game composes them, at full size, to judge the layouts.
        BITMAP* screen640 = create_bitmap(640, 480);
        for (int i = 0; i < previewCount; ++i) {
            previews[i](data, gameFont, screen640);
            blit(screen640, sheet, 0, 0, gap + (i % 2) * (640 + gap),
                 previewTop + (i / 2) * (480 + gap), 640, 480);
        }
        destroy_bitmap(screen640);
    }
    int saved = save_bitmap(argv[2], sheet, nullptr);
    destroy_bitmap(sheet);
    unload_datafile(data);
    return saved == 0 ? 0 : 1;
}
