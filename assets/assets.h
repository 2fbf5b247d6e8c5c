// The data file and everything cut or built from it at start-up.
#pragma once

#include <allegro.h>

namespace vexlorn {

// Positions of the objects the game uses in "vexlorn-demo.dat".
enum DataObject : int {
    ObjBalloonA = 0,
    ObjBalloonB = 1,
    ObjBalloonC = 2,
    ObjChain = 3,
    ObjDoubleChain = 4,
    ObjContinueCaption = 5,
    ObjAboutPage = 6,
    ObjDraw = 7,
    ObjWinPicture = 8,
    ObjGameFont = 9,
    ObjHallOfFame = 11,
    ObjInstructionsPage = 12,
    ObjInstructionsMarker = 13,
    ObjLevelBackdrop0 = 14,  // 14..18, one per level
    ObjLoserLeft = 20,
    ObjLoserRight = 21,
    ObjSoundMove = 22,
    ObjMusicContinue = 23,
    ObjSoundBomb = 24,
    ObjMusicMenu = 25,
    ObjMusicHallOfFame = 26,
    ObjSoundReady = 27,
    ObjSoundGo = 28,
    ObjMusicTitle = 30,
    ObjSoundCleared = 31,
    ObjSoundStones = 32,
    ObjSoundStoneLanded = 33,
    ObjMusicInformation = 34,
    ObjSoundLost = 35,
    ObjSoundWon = 36,
    ObjOrderPage = 37,
    ObjOrderBack = 38,
    ObjOrderVisit = 39,
    ObjPaused = 40,
    ObjLogo = 42,
    ObjTitleSplash = 43,
    ObjGetReady = 44,
    ObjGo = 45,
    ObjTileSheet = 46,
    ObjMenuBackdrop = 47,
    ObjWinnerLeft = 48,
    ObjWinnerRight = 49,
    dataObjectCount = 50,
};

extern DATAFILE* dataFile;
extern FONT* gameFont;

extern BITMAP* blockTiles[8];
extern BITMAP* incomingTiles[8];
extern BITMAP* blastFrames[15];
extern BITMAP* avatarFrames[6];
extern BITMAP* bombTile;
extern BITMAP* stoneTile;

extern BITMAP* musicOnImage;
extern BITMAP* musicOffImage;

// The bitmap stored at a data-file position.
BITMAP* dataBitmap(int index);

// Full path of the data file beside the executable.
const char* dataFilePath();

// Loads and checks the data file, cuts the tiles, reads the hall of fame, renders the menu labels.
// On failure it fills `error` with a message naming the file and returns false; nothing is kept.
bool loadAssets(char* error, int errorSize);
// The same from a data file at `path` (loadAssets passes dataFilePath()).
bool loadAssetsFrom(const char* path, char* error, int errorSize);
void freeMenuImages();  // first half of freeAssets: before the hall of fame is written
void freeAssets();      // second half: tiles and data file

// Renders a text in the game font onto a magenta bitmap exactly as large as the text.
BITMAP* makeLabel(const char* text);

}  // namespace vexlorn
