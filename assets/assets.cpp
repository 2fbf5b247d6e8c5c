// The data file and everything cut or built from it at start-up, and their release at shutdown.
#include "assets/assets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/bitmap_reader.h"
#include "assets/datafile_check.h"
#include "platform/system/executable.h"
#include "platform/system/freed_memory.h"

namespace vexlorn {

DATAFILE* dataFile = nullptr;
FONT* gameFont = nullptr;
BITMAP* blockTiles[blockTileCount];
BITMAP* incomingTiles[blockTileCount];
BITMAP* blastFrames[blastFrameCount];
BITMAP* avatarFrames[avatarFrameCount];
BITMAP* bombTile = nullptr;
BITMAP* stoneTile = nullptr;
BITMAP* musicOnImage = nullptr;
BITMAP* musicOffImage = nullptr;

namespace {

constexpr char dataFileName[] = "vexlorn-demo.dat";
constexpr char musicOnText[] = "M U S I C   O N ";
constexpr char musicOffText[] = "M U S I C  O F F";
// The size of the game's path buffers; a longer path is refused rather than cut.
constexpr int pathSize = 256;

char dataPath[pathSize];
bool pathTooLong = false;

template <int N>
void destroyAll(BITMAP* (&bitmaps)[N]) {
    for (BITMAP*& bitmap : bitmaps) {
        if (bitmap != nullptr) destroy_bitmap(bitmap);
        bitmap = nullptr;
    }
}

void destroyOne(BITMAP*& bitmap) {
    if (bitmap != nullptr) destroy_bitmap(bitmap);
    bitmap = nullptr;
}

bool filledBuffer(const char* text) {
    return std::strlen(text) >= static_cast<size_t>(pathSize - 1);
}

void findDataFile() {
    char executable[pathSize];
    // The system's answer first: Allegro's system-less driver answers "./", and its Windows
    // port passes the path through the user's code page.
    const std::string own = executablePath();
    if (own.empty()) {
        get_executable_name(executable, pathSize);
    } else {
        std::snprintf(executable, pathSize, "%s", own.c_str());
    }
    replace_filename(dataPath, executable, dataFileName, pathSize);
    // Allegro cuts strings to the buffer silently: a full buffer may be a cut path.
    size_t pathLength = std::strlen(dataPath);
    size_t nameLength = sizeof dataFileName - 1;
    pathTooLong = filledBuffer(executable) || filledBuffer(dataPath) || pathLength < nameLength ||
                  std::strcmp(dataPath + pathLength - nameLength, dataFileName) != 0;
}

// Sub-bitmaps of one strip of the sheet; false when any could not be made.
bool cutStrip(BITMAP** tiles, const TileStrip& strip, BITMAP* sheet) {
    bool cut = true;
    for (int i = 0; i < strip.count; ++i) {
        tiles[i] = create_sub_bitmap(sheet, strip.tileX(i), strip.y, tileSize, tileSize);
        cut = tiles[i] != nullptr && cut;
    }
    return cut;
}

bool cutTiles() {
    BITMAP* sheet = dataBitmap(ObjTileSheet);
    bool cut = cutStrip(blockTiles, blockStrip, sheet);
    cut = cutStrip(incomingTiles, incomingStrip, sheet) && cut;
    cut = cutStrip(avatarFrames, avatarStrip, sheet) && cut;
    cut = cutStrip(blastFrames, blastStrip, sheet) && cut;
    cut = cutStrip(&bombTile, bombPlace, sheet) && cut;
    cut = cutStrip(&stoneTile, stonePlace, sheet) && cut;
    return cut;
}

void destroyTiles() {
    destroyOne(bombTile);
    destroyOne(stoneTile);
    destroyAll(blastFrames);
    destroyAll(avatarFrames);
    destroyAll(blockTiles);
    destroyAll(incomingTiles);
}

// The whole-screen pictures (backdrops and pages) take most of the memory and most of the
// loading: each is read from the data file when it is first shown, and only the few shown last
// are kept, the least recently shown going first. A screen asks for them on every draw and keeps
// no pointer to one, and no screen shows more at once than are kept (the intro's cross-fades
// show two).
constexpr int heldPictureLimit = 2;

struct ShownPicture {
    int object = 0;
    BITMAP* picture = nullptr;
    unsigned long lastShown = 0;
};

DATAFILE_INDEX* fileIndex = nullptr;
std::vector<ShownPicture> shownPictures;
unsigned long pictureUses = 0;
// What the pictures not read yet stand in with in the object list: sub-bitmaps of this one, of
// their size, which are never drawn. Its pages are never touched, so it costs no memory.
BITMAP* standInBlank = nullptr;

bool readWhenShown(const StoredPicture& stored) {
    return stored.width == screenWidth && stored.height == screenHeight;
}

BITMAP* readPicture(int object) {
    DATAFILE* one = load_datafile_object_indexed(fileIndex, object);
    if (one == nullptr) return nullptr;
    BITMAP* picture = one->type == DAT_BITMAP ? static_cast<BITMAP*>(one->dat) : nullptr;
    if (picture != nullptr) one->dat = nullptr;
    unload_datafile_object(one);
    return picture;
}

void releaseLeastRecentlyShown() {
    ShownPicture* oldest = nullptr;
    int held = 0;
    for (ShownPicture& shown : shownPictures) {
        if (shown.picture == nullptr) continue;
        ++held;
        if (oldest == nullptr || shown.lastShown < oldest->lastShown) oldest = &shown;
    }
    if (held < heldPictureLimit || oldest == nullptr) return;
    destroyOne(oldest->picture);
    // The C library would keep the picture's pages for its own reuse.
    returnFreedMemory();
}

BITMAP* shownPicture(ShownPicture& shown) {
    if (shown.picture == nullptr) {
        releaseLeastRecentlyShown();
        shown.picture = readPicture(shown.object);
    }
    shown.lastShown = ++pictureUses;
    return shown.picture;
}

void forgetShownPictures() {
    for (ShownPicture& shown : shownPictures) destroyOne(shown.picture);
    shownPictures.clear();
    if (fileIndex != nullptr) destroy_datafile_index(fileIndex);
    fileIndex = nullptr;
}

// load_datafile's object list, with the whole-screen pictures left to be read when shown.
DATAFILE* loadObjects(const char* path, const DataFileLayout& layout) {
    if (!layout.plain || layout.objectCount <= 0) return load_datafile(path);
    if (standInBlank == nullptr) standInBlank = create_bitmap_ex(32, screenWidth, screenHeight);
    fileIndex = create_datafile_index(path);
    if (fileIndex == nullptr || standInBlank == nullptr) return load_datafile(path);
    const size_t count = static_cast<size_t>(layout.objectCount);
    // unload_datafile frees the list with Allegro's allocator, which is the C library's.
    auto* objects = static_cast<DATAFILE*>(std::calloc(count + 1, sizeof(DATAFILE)));
    if (objects == nullptr) return nullptr;
    objects[0].type = DAT_END;
    size_t nextPicture = 0;
    for (size_t i = 0; i < count; ++i) {
        const StoredPicture* stored = nullptr;
        if (nextPicture < layout.pictures.size() &&
            layout.pictures[nextPicture].object == static_cast<int>(i)) {
            stored = &layout.pictures[nextPicture++];
        }
        if (stored != nullptr && readWhenShown(*stored)) {
            objects[i].dat = create_sub_bitmap(standInBlank, 0, 0, stored->width, stored->height);
            objects[i].type = DAT_BITMAP;
            shownPictures.push_back(ShownPicture{stored->object});
        } else {
            DATAFILE* one = load_datafile_object_indexed(fileIndex, static_cast<int>(i));
            if (one != nullptr) {
                objects[i] = *one;
                std::free(one);
            }
        }
        objects[i + 1].type = DAT_END;
        if (objects[i].dat == nullptr) {
            objects[i].type = DAT_END;
            unload_datafile(objects);
            // unload_datafile has freed the list, which the analyser cannot see.
            return nullptr;  // NOLINT(clang-analyzer-unix.Malloc)
        }
    }
    return objects;
}

bool makeMusicLabels() {
    musicOnImage = makeLabel(musicOnText);
    musicOffImage = makeLabel(musicOffText);
    return musicOnImage != nullptr && musicOffImage != nullptr;
}

}  // namespace

bool outOfMemory(const char* path, char* error, int errorSize) {
    std::snprintf(error, static_cast<size_t>(errorSize),
                  "There is not enough memory to prepare the pictures of the data file \"%s\".",
                  path);
    freeAssets();
    return false;
}

BITMAP* dataBitmap(int index) {
    if (dataFile == nullptr || index < 0 || index >= dataObjectCount) return nullptr;
    if (dataFile[index].type != DAT_BITMAP) return nullptr;
    for (ShownPicture& shown : shownPictures) {
        if (shown.object == index) return shownPicture(shown);
    }
    return static_cast<BITMAP*>(dataFile[index].dat);
}

int heldScreenPictures() {
    int held = 0;
    for (const ShownPicture& shown : shownPictures) held += shown.picture != nullptr;
    return held;
}

const char* dataFilePath() {
    if (dataPath[0] == '\0') findDataFile();
    return dataPath;
}

bool loadAssets(char* error, int errorSize) {
    const char* path = dataFilePath();
    if (pathTooLong) {
        std::snprintf(error, static_cast<size_t>(errorSize),
                      "The data file \"%s\" cannot be found: the program's folder has a path "
                      "longer than %d characters.",
                      path, pathSize - 1);
        return false;
    }
    return loadAssetsFrom(path, error, errorSize);
}

bool loadAssetsFrom(const char* path, char* error, int errorSize) {
    // Allegro reads "file#object" as an object inside a data file.
    if (std::strchr(path, '#') != nullptr) {
        std::snprintf(error, static_cast<size_t>(errorSize),
                      "The data file \"%s\" cannot be opened: the game library does not accept a "
                      "'#' in its path.",
                      path);
        return false;
    }
    DataFileLayout layout;
    if (!checkDataFileStructure(path, error, errorSize, &layout)) return false;
    useRowBitmapReader();
    forgetShownPictures();
    dataFile = loadObjects(path, layout);
    if (dataFile == nullptr) {
        std::snprintf(error, static_cast<size_t>(errorSize),
                      "The data file \"%s\" could not be loaded: %s.", path,
                      std::strerror(allegro_errno != nullptr ? *allegro_errno : 0));
        return false;
    }
    if (!checkLoadedObjects(dataFile, path, error, errorSize)) {
        freeAssets();
        return false;
    }
    if (!cutTiles()) return outOfMemory(path, error, errorSize);
    gameFont = static_cast<FONT*>(dataFile[ObjGameFont].dat);
    if (!makeMusicLabels()) return outOfMemory(path, error, errorSize);
    return true;
}

BITMAP* makeLabel(const char* text) {
    if (gameFont == nullptr) return nullptr;
    // An empty text still gets a (blank) picture, so that every menu row has one.
    int width = text_length(gameFont, text);
    int height = text_height(gameFont);
    BITMAP* label = create_bitmap(width > 0 ? width : 1, height > 0 ? height : 1);
    if (label == nullptr) return nullptr;
    clear_to_color(label, bitmap_mask_color(label));
    textout_ex(label, gameFont, text, 0, 0, -1, -1);
    return label;
}

void freeAssets() {
    destroyTiles();
    // Allegro's exit handler runs before static destructors: no bitmap may outlive main.
    destroyOne(musicOnImage);
    destroyOne(musicOffImage);
    gameFont = nullptr;
    forgetShownPictures();
    if (dataFile != nullptr) unload_datafile(dataFile);
    dataFile = nullptr;
    // After the stand-ins, which went with the object list.
    destroyOne(standInBlank);
}

}  // namespace vexlorn
