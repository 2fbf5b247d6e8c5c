// The generated vexlorn-demo.dat: every object's kind and size, the font's glyphs and widths,
// and room left in the pictures for what the screens draw over them.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "test_support/headless_allegro.h"
#include "tools/datagen/screen_layout.h"

namespace vexlorn {
namespace {

const char* const datPath = VEXLORN_BUILD_DIR "/vexlorn-demo.dat";

enum Kind { Bitmap, Font, Data };

Kind kindAt(int index) {
    if (index == ObjGameFont) return Font;
    if (index == 10 || index == 19 || index == 29 || index == 41) return Data;
    if ((index >= 22 && index <= 28) || (index >= 30 && index <= 36)) return Data;
    return Bitmap;
}

bool isFullScreen(int index) {
    static const int fullScreen[] = {ObjAboutPage,
                                     ObjWinPicture,
                                     ObjHallOfFame,
                                     ObjInstructionsPage,
                                     ObjOrderPage,
                                     ObjTitleSplash,
                                     ObjMenuBackdrop,
                                     14,
                                     15,
                                     16,
                                     17,
                                     18};
    for (int i : fullScreen)
        if (i == index) return true;
    return false;
}

bool isMagenta(BITMAP* bmp, int x, int y) {
    int p = getpixel(bmp, x, y);
    return getr32(p) == 255 && getg32(p) == 0 && getb32(p) == 255;
}

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DatafileContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ensureHeadlessAllegro();
        data = load_datafile(datPath);
    }
    static void TearDownTestSuite() {
        if (data) unload_datafile(data);
        data = nullptr;
    }
    void SetUp() override { ASSERT_NE(data, nullptr) << "cannot load " << datPath; }

    static BITMAP* bitmap(int index) { return static_cast<BITMAP*>(data[index].dat); }
    static FONT* gameFontOf() { return static_cast<FONT*>(data[ObjGameFont].dat); }

    static DATAFILE* data;
};

DATAFILE* DatafileContent::data = nullptr;

TEST_F(DatafileContent, HoldsFiftyNamedObjectsOfTheRightKinds) {
    int count = 0;
    while (data[count].type != DAT_END) ++count;
    ASSERT_EQ(count, dataObjectCount);
    for (int i = 0; i < dataObjectCount; ++i) {
        SCOPED_TRACE(i);
        const char* name = get_datafile_property(&data[i], DAT_NAME);
        EXPECT_STRNE(name, "");
        switch (kindAt(i)) {
            case Bitmap:
                ASSERT_EQ(data[i].type, DAT_BITMAP);
                EXPECT_EQ(bitmap_color_depth(bitmap(i)), 32);
                break;
            case Font:
                EXPECT_EQ(data[i].type, DAT_FONT);
                break;
            case Data:
                EXPECT_EQ(data[i].type, DAT_DATA);
                break;
        }
    }
}

TEST_F(DatafileContent, PicturesHaveTheSizesTheScreensDrawThemAt) {
    for (int i = 0; i < dataObjectCount; ++i) {
        if (kindAt(i) != Bitmap) continue;
        SCOPED_TRACE(i);
        BITMAP* bmp = bitmap(i);
        if (isFullScreen(i)) {
            EXPECT_EQ(bmp->w, 640);
            EXPECT_EQ(bmp->h, 480);
        } else {
            EXPECT_LE(bmp->w, 640);
            EXPECT_LE(bmp->h, 480);
        }
    }
    EXPECT_GE(bitmap(ObjTileSheet)->w, 512);
    EXPECT_GE(bitmap(ObjTileSheet)->h, 128);
    for (int i : {ObjLoserLeft, ObjLoserRight, ObjWinnerLeft, ObjWinnerRight}) {
        SCOPED_TRACE(i);
        EXPECT_GE(bitmap(i)->w, 170);
        EXPECT_LE(bitmap(i)->w, 192);             // over a board, not past it
        EXPECT_LE(190 + 20 + bitmap(i)->h, 340);  // clear of "Press a key to" when bobbing low
    }
    // The marker sits at (614, 438); the two order buttons side by side at x 16 and 186.
    EXPECT_LE(614 + bitmap(ObjInstructionsMarker)->w, 640);
    EXPECT_LE(438 + bitmap(ObjInstructionsMarker)->h, 480);
    EXPECT_LE(16 + bitmap(ObjOrderVisit)->w, 186);
    EXPECT_LE(186 + bitmap(ObjOrderBack)->w, 640);
    EXPECT_LE(368 + bitmap(ObjOrderBack)->h, 480);
    // Chain pop-ups and the continue caption settle centred over a 192-pixel board.
    for (int i : {ObjChain, ObjDoubleChain, ObjContinueCaption}) EXPECT_LE(bitmap(i)->w, 192);
}

// The lowest screen row of a sprite's visible pixels when drawn with its top-left at (x, y),
// or -1 when nothing shows; pixels outside [x0, x1) count as a fault and return 10000.
int lowestVisibleRow(BITMAP* sprite, int x, int y, int x0, int x1) {
    int lowest = -1;
    for (int row = 0; row < sprite->h; ++row)
        for (int column = 0; column < sprite->w; ++column) {
            if (isMagenta(sprite, column, row)) continue;
            if (x + column < x0 || x + column >= x1) return 10000;
            lowest = y + row;
        }
    return lowest;
}

TEST_F(DatafileContent, WhatTheScreensDrawAtFixedPlacesLeavesOurPicturesClear) {
    namespace screen = datagen::layout;
    // The intro's logo, pulsing over the hall-of-fame table: everything it shows lies in its
    // band, and the band ends above the table's first row.
    BITMAP* logo = bitmap(ObjLogo);
    const int logoLowest =
        lowestVisibleRow(logo, screen::logoCentreX - logo->w / 2, screen::logoCentreY - logo->h / 2,
                         screen::logoBand.x0, screen::logoBand.x1);
    EXPECT_GT(logoLowest, screen::logoBand.y0);
    EXPECT_LT(logoLowest, screen::logoBand.y1);
    EXPECT_LE(screen::logoBand.y1, screen::tableY - 4);  // clear of the column titles' baseline
    // The continue caption ends above the countdown at its largest, twice the font's height.
    BITMAP* caption = bitmap(ObjContinueCaption);
    const int captionY = screen::countdownY - screen::captionRise;
    const int captionLowest = lowestVisibleRow(caption, screen::countdownX - caption->w / 2,
                                               captionY - caption->h / 2, 104, 104 + 192);
    EXPECT_GT(captionLowest, 0);
    EXPECT_LT(captionLowest, screen::countdownY - text_height(gameFontOf()));
    // The name entry over the left board ends above the player's lost card, and the lost
    // card with its prompt ends above "Press a key to".
    EXPECT_LT(screen::endLettersY + text_height(gameFontOf()), screen::cardY);
    EXPECT_LE(screen::cardY + bitmap(ObjLoserLeft)->h, screen::pressKeyY);
}

TEST_F(DatafileContent, SpritesHaveMagentaAroundThemAndBackdropsNone) {
    for (int i :
         {ObjBalloonA, ObjBalloonB, ObjBalloonC, ObjChain, ObjDoubleChain, ObjContinueCaption,
          ObjDraw, ObjPaused, ObjLogo, ObjGetReady, ObjGo, ObjInstructionsMarker, ObjOrderBack,
          ObjOrderVisit, ObjLoserLeft, ObjLoserRight, ObjWinnerLeft, ObjWinnerRight}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(isMagenta(bitmap(i), 0, 0));
    }
    for (int i = 0; i < dataObjectCount; ++i) {
        if (kindAt(i) != Bitmap || !isFullScreen(i)) continue;
        SCOPED_TRACE(i);
        int magenta = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) magenta += isMagenta(bitmap(i), x, y);
        EXPECT_EQ(magenta, 0);  // translucentDraw would skip such pixels
    }
}

TEST_F(DatafileContent, TileSheetHasEveryTileWhereTheTablesCutIt) {
    BITMAP* sheet = bitmap(ObjTileSheet);
    auto solidPixels = [sheet](int left, int top) {
        int solid = 0;
        for (int y = top; y < top + 32; ++y)
            for (int x = left; x < left + 32; ++x) solid += !isMagenta(sheet, x, y);
        return solid;
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_GT(solidPixels(32 * i, 0), 900) << "block " << i;  // blocks fill their cell
        EXPECT_GT(solidPixels(256 + 32 * i, 0), 900) << "incoming block " << i;
    }
    for (int i = 0; i < 15; ++i) EXPECT_GT(solidPixels(32 + 32 * i, 32), 8) << "blast " << i;
    for (int i = 0; i < 6; ++i) EXPECT_GT(solidPixels(320 + 32 * i, 96), 150) << "avatar " << i;
    EXPECT_GT(solidPixels(128, 64), 300);  // bomb
    EXPECT_GT(solidPixels(256, 64), 900);  // stone
    EXPECT_EQ(solidPixels(0, 32), 0);      // unused cells stay transparent
    // Red and blue stay where they belong: the file stores R, G, B in that order.
    int red = getpixel(sheet, 6, 26), blue = getpixel(sheet, 5 * 32 + 6, 26);
    EXPECT_GT(getr32(red), getb32(red) + 60);
    EXPECT_GT(getb32(blue), getr32(blue) + 60);
    // Incoming blocks are darker than the blocks they announce.
    for (int i = 0; i < 8; ++i) {
        int bright = getpixel(sheet, 32 * i + 16, 26),
            dark = getpixel(sheet, 256 + 32 * i + 16, 26);
        EXPECT_LT(getr32(dark) + getg32(dark) + getb32(dark),
                  getr32(bright) + getg32(bright) + getb32(bright))
            << "colour " << i;
    }
}

TEST_F(DatafileContent, FontHasEveryPrintableGlyphAndFitsItsLayouts) {
    FONT* f = gameFontOf();
    ASSERT_TRUE(is_color_font(f));
    EXPECT_EQ(get_font_ranges(f), 1);
    EXPECT_EQ(get_font_range_begin(f, -1), 32);
    EXPECT_EQ(get_font_range_end(f, -1), 126);
    EXPECT_GE(text_height(f), 16);
    EXPECT_LE(text_height(f), 20);
    for (int c = 32; c <= 126; ++c) {
        char text[2] = {char(c), 0};
        EXPECT_GT(text_length(f, text), 0) << "char " << c;
    }
    for (char c = '1'; c <= '9'; ++c) {
        char text[2] = {c, 0};
        EXPECT_EQ(text_length(f, text), text_length(f, "0")) << c;
    }
    // The widest menu label, enlarged 1.5 times around x 400.
    int menu = text_length(f, "I N S T R U C T I O N S");
    EXPECT_GE(400 - menu * 3 / 4, 0);
    EXPECT_LE(400 + menu * 3 / 4, 640);
    // A hall-of-fame row with the widest values, from x 290.
    char row[64];
    std::snprintf(row, sizeof row, "  %3d       %3s     %5d", 999, "www", 99999);
    EXPECT_LE(290 + text_length(f, row), 640);
    std::snprintf(row, sizeof row, "  %3d       %3s     %5d", 999, "mmm", 99999);
    EXPECT_LE(290 + text_length(f, row), 640);
    // The score in either side panel stays clear of the wells' frames (104 - 8, 345 + 192 + 8).
    EXPECT_LE(28 + text_length(f, "00000"), 96);
    EXPECT_LE(558 + text_length(f, "000000"), 640);
    EXPECT_GT(558, 345 + 192 + 8);
}

TEST(DatafileBytes, ASecondRunWritesTheSameBytes) {
    std::string again = std::string(VEXLORN_BUILD_DIR) + "/vexlorn-demo-again.dat";
    std::string command =
        std::string(VEXLORN_BUILD_DIR) + "/vexlorn-datagen " + again + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<char> first = readAll(datPath), second = readAll(again);
    std::remove(again.c_str());
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "sizes " << first.size() << " and " << second.size();
    // Beside the game in its package the file may grow to 16 MB (the music's bitrate is chosen
    // for that); 4 MB of it stay free for screens still to come.
    EXPECT_LE(first.size(), 16000000u - 4000000u);
}

// Allegro's own dat tool must read the file the same way: names, kinds and bitmap depths.
TEST(DatafileBytes, AllegrosDatToolListsEveryObject) {
    std::FILE* pipe = popen("dat -l " VEXLORN_BUILD_DIR "/vexlorn-demo.dat 2>&1", "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> lines;
    char line[256];
    while (std::fgets(line, sizeof line, pipe))
        if (line[0] == '-') lines.push_back(line);
    int status = pclose(pipe);
    if (status != 0 && lines.empty()) GTEST_SKIP() << "dat tool not available";
    ASSERT_EQ(lines.size(), size_t(dataObjectCount));
    for (int i = 0; i < dataObjectCount; ++i) {
        SCOPED_TRACE(lines[i]);
        switch (kindAt(i)) {
            case Bitmap:
                EXPECT_EQ(lines[i].compare(0, 6, "- BMP "), 0);
                EXPECT_NE(lines[i].find("24 bit"), std::string::npos);
                break;
            case Font:
                EXPECT_EQ(lines[i].compare(0, 6, "- FONT"), 0);
                EXPECT_NE(lines[i].find("95 glyphs"), std::string::npos);
                break;
            case Data:
                EXPECT_EQ(lines[i].compare(0, 6, "- DATA"), 0);
                break;
        }
    }
}

}  // namespace
}  // namespace vexlorn
