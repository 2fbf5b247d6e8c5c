// FreeType rasterising of Debian's DejaVu outlines into masks, styled text and the game font.
#include "tools/datagen/font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace datagen {

namespace {

const char* fontPath(Typeface face) {
    switch (face) {
        case Typeface::Sans:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        case Typeface::SansBold:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
        case Typeface::SansCondensedBold:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
        case Typeface::Serif:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
        case Typeface::SerifBold:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    }
    return "";
}

// Faces stay open for the generator's short life; a missing font is fatal.
FT_Face openFace(Typeface face, int pixelSize) {
    static FT_Library library = nullptr;
    static FT_Face faces[5] = {};
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "vexlorn-datagen: FreeType would not start\n");
        std::exit(1);
    }
    FT_Face& slot = faces[int(face)];
    if (!slot && FT_New_Face(library, fontPath(face), 0, &slot) != 0) {
        std::fprintf(stderr, "vexlorn-datagen: cannot open %s\n", fontPath(face));
        std::exit(1);
    }
    FT_Set_Pixel_Sizes(slot, 0, FT_UInt(pixelSize));
    return slot;
}

int advanceOf(FT_Face face, unsigned char c) {
    FT_Load_Char(face, c, FT_LOAD_DEFAULT);
    return int(face->glyph->advance.x >> 6);
}

}  // namespace

int textWidth(const std::string& text, Typeface face, int pixelSize, float tracking) {
    FT_Face ft = openFace(face, pixelSize);
    float width = 0;
    for (unsigned char c : text) width += advanceOf(ft, c) + tracking;
    return int(std::lround(width - (text.empty() ? 0 : tracking)));
}

TextMask renderText(const std::string& text, Typeface face, int pixelSize, int pad,
                    float tracking) {
    FT_Face ft = openFace(face, pixelSize);
    int ascender = int(std::ceil(ft->size->metrics.ascender / 64.0));
    int descender = int(std::ceil(-ft->size->metrics.descender / 64.0));
    TextMask out;
    out.baseline = pad + ascender;
    FT_Load_Char(ft, 'H', FT_LOAD_DEFAULT);
    out.ascent = int(ft->glyph->metrics.height >> 6);
    int width = textWidth(text, face, pixelSize, tracking) + 2 * pad + 2;
    out.mask = Mask(width, ascender + descender + 2 * pad);
    float penX = float(pad);
    for (unsigned char c : text) {
        FT_Load_Char(ft, c, FT_LOAD_RENDER);
        FT_GlyphSlot glyph = ft->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        int left = int(std::lround(penX)) + glyph->bitmap_left;
        int top = out.baseline - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                int x = left + int(col), y = top + int(row);
                if (x < 0 || y < 0 || x >= out.mask.width || y >= out.mask.height) continue;
                float v = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                float& cell = out.mask.value[size_t(y) * out.mask.width + x];
                cell = std::min(1.0f, cell + v);
            }
        }
        penX += int(glyph->advance.x >> 6) + tracking;
    }
    return out;
}

int drawText(Canvas& canvas, const std::string& text, float x, float baselineY,
             const TextStyle& style, Align align) {
    int rim = int(std::ceil(style.outlineWidth)) + style.shadowBlur + 1;
    TextMask letters = renderText(text, style.face, style.size, rim, style.tracking);
    int width = textWidth(text, style.face, style.size, style.tracking);
    float left = x;
    if (align == Align::Centre) left = x - width / 2.0f;
    if (align == Align::Right) left = x - width;
    int ox = int(std::lround(left)) - rim;
    int oy = int(std::lround(baselineY)) - letters.baseline;
    Mask rimMask = style.outlineWidth > 0 ? dilate(letters.mask, style.outlineWidth) : letters.mask;
    if (style.shadow.a > 0) {
        Mask shadow = style.shadowBlur > 0 ? blur(rimMask, style.shadowBlur) : rimMask;
        canvas.drawMask(shadow, ox + style.shadowOffset, oy + style.shadowOffset,
                        solid(style.shadow));
    }
    if (style.outlineWidth > 0) canvas.drawMask(rimMask, ox, oy, solid(style.outline));
    float capTop = baselineY - letters.ascent;
    canvas.drawMask(letters.mask, ox, oy,
                    verticalGradient(capTop, style.top, baselineY, style.bottom));
    return width;
}

std::vector<RgbImage> makeGameFont() {
    const int size = 14;
    const Typeface face = Typeface::SansBold;
    FT_Face ft = openFace(face, size);
    // Digits share one width so that counting numbers do not jiggle.
    int digitWidth = 0;
    for (char c = '0'; c <= '9'; ++c) digitWidth = std::max(digitWidth, advanceOf(ft, c));
    std::vector<RgbImage> glyphs;
    for (int c = 32; c <= 126; ++c) {
        std::string text(1, char(c));
        TextMask letter = renderText(text, face, size, 1);
        const bool digit = c >= '0' && c <= '9';
        int advance = digit ? digitWidth : advanceOf(ft, (unsigned char)c);
        int shift = digit ? (digitWidth - advanceOf(ft, (unsigned char)c)) / 2 : 0;
        int width = advance + 2;
        Canvas cell(width, letter.mask.height);
        // The continue countdown stretches the digits from a few pixels to twice their size
        // over greyed blocks: heavier strokes in a wider, darker rim keep their shape there.
        Mask body = digit ? dilate(letter.mask, 0.7f) : letter.mask;
        Mask rim = dilate(body, digit ? 1.8f : 1.2f);
        float capTop = float(letter.baseline - letter.ascent);
        cell.drawMask(rim, shift, 0, solid(digit ? rgb(6, 4, 16) : rgb(24, 18, 48)));
        cell.drawMask(body, shift, 0,
                      verticalGradient(capTop, rgb(255, 255, 255), float(letter.baseline),
                                       rgb(255, 222, 140)));
        glyphs.push_back(RgbImage{cell.width(), cell.height(), cell.toRgb()});
    }
    return glyphs;
}

}  // namespace datagen
