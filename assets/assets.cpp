// Stand-in until the data file exists: no objects, nothing to load.
#include "assets/assets.h"

#include "screens/high_scores.h"

namespace vexlorn {

DATAFILE* dataFile = nullptr;
FONT* gameFont = nullptr;
BITMAP* blockTiles[8];
BITMAP* incomingTiles[8];
BITMAP* blastFrames[15];
BITMAP* avatarFrames[6];
BITMAP* bombTile = nullptr;
BITMAP* stoneTile = nullptr;
BITMAP* musicOnImage = nullptr;
BITMAP* musicOffImage = nullptr;

BITMAP* dataBitmap(int index) {
    return dataFile ? static_cast<BITMAP*>(dataFile[index].dat) : nullptr;
}

const char* dataFilePath() { return "vexlorn-demo.dat"; }

bool loadAssets(char*, int) {
    loadHighScores();
    return true;
}

void freeMenuImages() {}
void freeAssets() {}
BITMAP* makeLabel(const char*) { return nullptr; }

}  // namespace vexlorn
