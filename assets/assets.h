// The data file and everything cut or built from it at start-up.
#pragma once

#include <allegro.h>

#include "assets/data_layout.h"

namespace vexlorn {

extern DATAFILE* dataFile;
extern FONT* gameFont;

extern BITMAP* blockTiles[blockTileCount];
extern BITMAP* incomingTiles[blockTileCount];
extern BITMAP* blastFrames[blastFrameCount];
extern BITMAP* avatarFrames[avatarFrameCount];
extern BITMAP* bombTile;
extern BITMAP* stoneTile;

extern BITMAP* musicOnImage;
extern BITMAP* musicOffImage;

// The bitmap stored at a data-file position.
BITMAP* dataBitmap(int index);
// How many of the whole-screen pictures, read from the file when shown, are held now.
int heldScreenPictures();

// Full path of the data file beside the executable.
const char* dataFilePath();

// Loads and checks the data file, cuts the tiles, renders the music labels.
// On failure it fills `error` with a message naming the file and returns false; nothing is kept.
bool loadAssets(char* error, int errorSize);
// The same from a data file at `path` (loadAssets passes dataFilePath()).
bool loadAssetsFrom(const char* path, char* error, int errorSize);
void freeAssets();  // tiles, labels and data file

// For a picture made from the data file that finds no memory: fills `error`, frees the assets
// and returns false.
bool outOfMemory(const char* path, char* error, int errorSize);

// Renders a text in the game font onto a magenta bitmap exactly as large as the text.
BITMAP* makeLabel(const char* text);

}  // namespace vexlorn
