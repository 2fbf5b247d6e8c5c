// vexlorn-datagen: draws, rasterises and gathers every object of the game's data file.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "assets/data_layout.h"
#include "tools/datagen/datafile_writer.h"
#include "tools/datagen/font_raster.h"
#include "tools/datagen/icons.h"
#include "tools/datagen/look.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/sounds.h"

namespace datagen {

namespace {

using namespace vexlorn;  // the data file's layout

// Adds one object, named as the layout names it.
using Maker = std::function<void(DatafileWriter&, const DataObjectInfo&)>;

struct Entry {
    DataObject position;
    Maker make;
};

Maker picture(std::function<Canvas()> draw) {
    return [draw](DatafileWriter& out, const DataObjectInfo& object) {
        out.addBitmap(object.name, toImage(draw()));
    };
}

Maker sound() {
    return [](DatafileWriter& out, const DataObjectInfo& object) {
        out.addData(object.name, makeSound(object.position));
    };
}

Maker unused() {
    return [](DatafileWriter& out, const DataObjectInfo& object) { out.addData(object.name, {0}); };
}

std::vector<Entry> objectTable(const std::vector<RgbImage>& font) {
    return {
        {ObjBalloonA, picture([] { return makeBalloon(0); })},
        {ObjBalloonB, picture([] { return makeBalloon(1); })},
        {ObjBalloonC, picture([] { return makeBalloon(2); })},
        {ObjChain, picture([] { return makeChainPopup(false); })},
        {ObjDoubleChain, picture([] { return makeChainPopup(true); })},
        {ObjContinueCaption, picture(makeContinueCaption)},
        {ObjAboutPage, picture(makeAboutPage)},
        {ObjDraw, picture(makeDrawPicture)},
        {ObjWinPicture, picture(makeWinPicture)},
        {ObjGameFont,
         [&font](DatafileWriter& out, const DataObjectInfo& object) {
             out.addFont(object.name, 32, font);
         }},
        {ObjUnused10, unused()},
        {ObjHallOfFame, picture([&font] { return makeHallOfFameBackdrop(font); })},
        {ObjInstructionsPage, picture(makeInstructionsPage)},
        {ObjInstructionsMarker, picture(makeInstructionsMarker)},
        {DataObject(ObjLevelBackdrop0 + 0), picture([] { return makeLevelBackdrop(0); })},
        {DataObject(ObjLevelBackdrop0 + 1), picture([] { return makeLevelBackdrop(1); })},
        {DataObject(ObjLevelBackdrop0 + 2), picture([] { return makeLevelBackdrop(2); })},
        {DataObject(ObjLevelBackdrop0 + 3), picture([] { return makeLevelBackdrop(3); })},
        {DataObject(ObjLevelBackdrop0 + 4), picture([] { return makeLevelBackdrop(4); })},
        {ObjUnused19, unused()},
        {ObjLoserLeft, picture([] { return makeEndPicture(false, true); })},
        {ObjLoserRight, picture([] { return makeEndPicture(false, false); })},
        {ObjSoundMove, sound()},
        {ObjMusicContinue, sound()},
        {ObjSoundBomb, sound()},
        {ObjMusicMenu, sound()},
        {ObjMusicHallOfFame, sound()},
        {ObjSoundReady, sound()},
        {ObjSoundGo, sound()},
        {ObjUnused29, unused()},
        {ObjMusicTitle, sound()},
        {ObjSoundCleared, sound()},
        {ObjSoundStones, sound()},
        {ObjSoundStoneLanded, sound()},
        {ObjMusicInformation, sound()},
        {ObjSoundLost, sound()},
        {ObjSoundWon, sound()},
        {ObjOrderPage, picture(makeOrderPage)},
        {ObjOrderBack, picture([] { return makeButton("BACK", 150); })},
        {ObjOrderVisit, picture([] { return makeButton("VISIT WEBSITE", 160); })},
        {ObjPaused, picture(makePausedPicture)},
        {ObjUnused41, unused()},
        {ObjLogo, picture(makeLogo)},
        {ObjTitleSplash, picture(makeTitleSplash)},
        {ObjGetReady, picture(makeGetReady)},
        {ObjGo, picture(makeGo)},
        {ObjTileSheet, picture(makeTileSheet)},
        {ObjMenuBackdrop, picture(makeMenuBackdrop)},
        {ObjWinnerLeft, picture([] { return makeEndPicture(true, true); })},
        {ObjWinnerRight, picture([] { return makeEndPicture(true, false); })},
        {ObjVersusTitle, picture(makeVersusTitle)},
        {ObjSeatTagLeft, picture([] { return makeSeatTag("PLAYER 1", true); })},
        {ObjSeatTagRight, picture([] { return makeSeatTag("PLAYER 2", false); })},
        {ObjVersusWinnerLeft, picture([] { return makeEndPicture(true, true, "PLAYER 1"); })},
        {ObjVersusWinnerRight, picture([] { return makeEndPicture(true, false, "PLAYER 2"); })},
        {ObjVersusLoserLeft, picture([] { return makeEndPicture(false, true, "PLAYER 1"); })},
        {ObjVersusLoserRight, picture([] { return makeEndPicture(false, false, "PLAYER 2"); })},
        {ObjMatchOver, picture(makeMatchOverPicture)},
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
        const DataObjectInfo& object = dataObjects[writer.count() % dataObjectCount];
        if (entry.position != writer.count()) {
            std::fprintf(stderr, "vexlorn-datagen: object %s out of place\n", object.name);
            return 1;
        }
        entry.make(writer, object);
    }
    if (writer.count() != dataObjectCount) return 1;
    if (!writeFile(argv[1], writer.bytes())) {
        std::fprintf(stderr, "vexlorn-datagen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
