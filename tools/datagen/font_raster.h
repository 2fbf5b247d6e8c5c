// Text through FreeType: glyph coverage masks, styled text on canvases, and the game font.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/canvas.h"
#include "tools/datagen/datafile_writer.h"

namespace datagen {

enum class Typeface { Sans, SansBold, SansCondensedBold, Serif, SerifBold };

// A line of text as coverage, `pad` pixels of room on every side; the baseline lies at
// `baseline` from the top.
struct TextMask {
    Mask mask;
    int baseline = 0;
    int ascent = 0;  // cap height region used for gradients
};

TextMask renderText(const std::string& text, Typeface face, int pixelSize, int pad = 0,
                    float tracking = 0);
int textWidth(const std::string& text, Typeface face, int pixelSize, float tracking = 0);

struct TextStyle {
    Typeface face = Typeface::SansBold;
    int size = 16;
    Rgba top{1, 1, 1, 1};     // fill gradient from the top of the letters...
    Rgba bottom{1, 1, 1, 1};  // ...to the baseline
    Rgba outline{0, 0, 0, 0};
    float outlineWidth = 0;
    Rgba shadow{0, 0, 0, 0};
    int shadowOffset = 0;
    int shadowBlur = 0;
    float tracking = 0;
};

enum class Align { Left, Centre, Right };

// Draws one line with its baseline at y; returns the width of the letters.
int drawText(Canvas& canvas, const std::string& text, float x, float baselineY,
             const TextStyle& style, Align align = Align::Left);

// The game font: one glyph per printable ASCII character 32..126, light letters with a dark
// rim on magenta, every glyph as tall as the font.
std::vector<RgbImage> makeGameFont();

}  // namespace datagen
