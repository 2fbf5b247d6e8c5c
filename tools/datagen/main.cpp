// vexlorn-datagen: draws, rasterises and gathers every object of the game's data file.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/datagen/datafile_writer.h"
#include "tools/datagen/font_raster.h"
#include "tools/datagen/icons.h"
#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/sounds.h"

namespace datagen {

namespace {

constexpr int objectCount = 50;

struct Entry {
    int index;
    const char* name;
    std::function<void(DatafileWriter&, const char*)> make;
};

std::function<void(DatafileWriter&, const char*)> picture(std::function<Canvas()> draw) {
    return [draw](DatafileWriter& out, const char* name) { out.addBitmap(name, toImage(draw())); };
}

std::function<void(DatafileWriter&, const char*)> sound(int index) {
    return [index](DatafileWriter& out, const char* name) { out.addData(name, makeSound(index)); };
}

std::function<void(DatafileWriter&, const char*)> unused() {
    return [](DatafileWriter& out, const char* name) { out.addData(name, {0}); };
}

std::vector<Entry> objectTable(const std::vector<RgbImage>& font) {
    return {
        {0, "BALLOON_RED", picture([] { return makeBalloon(0); })},
        {1, "BALLOON_BLUE", picture([] { return makeBalloon(1); })},
        {2, "BALLOON_YELLOW", picture([] { return makeBalloon(2); })},
        {3, "POPUP_CHAIN", picture([] { return makeChainPopup(false); })},
        {4, "POPUP_DOUBLE_CHAIN", picture([] { return makeChainPopup(true); })},
        {5, "CAPTION_CONTINUE", picture(makeContinueCaption)},
        {6, "PAGE_ABOUT", picture(makeAboutPage)},
        {7, "POPUP_DRAW", picture(makeDrawPicture)},
        {8, "PICTURE_WIN", picture(makeWinPicture)},
        {9, "FONT_GAME",
         [&font](DatafileWriter& out, const char* name) { out.addFont(name, 32, font); }},
        {10, "UNUSED_10", unused()},
        {11, "BACKDROP_HALL_OF_FAME", picture([&font] { return makeHallOfFameBackdrop(font); })},
        {12, "PAGE_INSTRUCTIONS", picture(makeInstructionsPage)},
        {13, "MARKER_INSTRUCTIONS", picture(makeInstructionsMarker)},
        {14, "BACKDROP_LEVEL_1", picture([] { return makeLevelBackdrop(0); })},
        {15, "BACKDROP_LEVEL_2", picture([] { return makeLevelBackdrop(1); })},
        {16, "BACKDROP_LEVEL_3", picture([] { return makeLevelBackdrop(2); })},
        {17, "BACKDROP_LEVEL_4", picture([] { return makeLevelBackdrop(3); })},
        {18, "BACKDROP_LEVEL_5", picture([] { return makeLevelBackdrop(4); })},
        {19, "UNUSED_19", unused()},
        {20, "END_LOSER_LEFT", picture([] { return makeEndPicture(false, true); })},
        {21, "END_LOSER_RIGHT", picture([] { return makeEndPicture(false, false); })},
        {22, "SOUND_MOVE", sound(22)},
        {23, "MUSIC_CONTINUE", sound(23)},
        {24, "SOUND_BOMB", sound(24)},
        {25, "MUSIC_MENU", sound(25)},
        {26, "MUSIC_HALL_OF_FAME", sound(26)},
        {27, "SOUND_READY", sound(27)},
        {28, "SOUND_GO", sound(28)},
        {29, "UNUSED_29", unused()},
        {30, "MUSIC_TITLE", sound(30)},
        {31, "SOUND_CLEARED", sound(31)},
        {32, "SOUND_STONES", sound(32)},
        {33, "SOUND_STONE_LANDED", sound(33)},
        {34, "MUSIC_INFORMATION", sound(34)},
        {35, "SOUND_LOST", sound(35)},
        {36, "SOUND_WON", sound(36)},
        {37, "PAGE_ORDER", picture(makeOrderPage)},
        {38, "BUTTON_BACK", picture([] { return makeButton("BACK", 150); })},
        {39, "BUTTON_VISIT_WEBSITE", picture([] { return makeButton("VISIT WEBSITE", 160); })},
        {40, "POPUP_PAUSED", picture(makePausedPicture)},
        {41, "UNUSED_41", unused()},
        {42, "LOGO", picture(makeLogo)},
        {43, "SPLASH_TITLE", picture(makeTitleSplash)},
        {44, "POPUP_GET_READY", picture(makeGetReady)},
        {45, "POPUP_GO", picture(makeGo)},
        {46, "TILE_SHEET", picture(makeTileSheet)},
        {47, "BACKDROP_MENU", picture(makeMenuBackdrop)},
        {48, "END_WINNER_LEFT", picture([] { return makeEndPicture(true, true); })},
        {49, "END_WINNER_RIGHT", picture([] { return makeEndPicture(true, false); })},
    };
}

}  // namespace

}  // namespace datagen

int main(int argc, char** argv) {
    using namespace datagen;
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: vexlorn-datagen <out.dat> [<icon folder>]\n");
        return 2;
    }
    if (argc == 3) {
        // The desktop icons, at the sizes the install puts into the hicolor theme.
        for (int size : {48, 128, 256}) {
            std::string path = std::string(argv[2]) + "/vexlorn-" + std::to_string(size) + ".png";
            if (!writePng(path, makeIcon(size))) {
                std::fprintf(stderr, "vexlorn-datagen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        if (!writeIconSource(std::string(argv[2]) + "/vexlorn_icon.cpp", 48)) return 1;
    }
    std::vector<RgbImage> font = makeGameFont();
    std::vector<Entry> table = objectTable(font);
    DatafileWriter writer;
    for (const Entry& entry : table) {
        // The game addresses objects by position only, so a gap or a swap would be fatal.
        if (entry.index != writer.count()) {
            std::fprintf(stderr, "vexlorn-datagen: object %s out of place\n", entry.name);
            return 1;
        }
        entry.make(writer, entry.name);
    }
    if (writer.count() != objectCount) return 1;
    if (!writeFile(argv[1], writer.bytes())) {
        std::fprintf(stderr, "vexlorn-datagen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
