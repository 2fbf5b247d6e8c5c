// The data file's layout, shared by the game, the data-file check and the generator that writes
// the file: where each object lies and what it is, the screen and tile sizes the pictures are
// drawn for, and where each tile lies on the tile sheet. Free of Allegro, so the generator, which
// is built without it, reads the same numbers.
#pragma once

#include <iterator>

namespace vexlorn {

inline constexpr int screenWidth = 640;
inline constexpr int screenHeight = 480;
inline constexpr int tileSize = 32;  // a cell of the well, square

// Positions of the objects in "vexlorn-demo.dat": the game addresses them by position only.
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
    ObjUnused10 = 10,
    ObjHallOfFame = 11,
    ObjInstructionsPage = 12,
    ObjInstructionsMarker = 13,
    ObjLevelBackdrop0 = 14,  // 14..18, one per level
    ObjUnused19 = 19,
    ObjLoserLeft = 20,
    ObjLoserRight = 21,
    ObjSoundMove = 22,
    ObjMusicContinue = 23,
    ObjSoundBomb = 24,
    ObjMusicMenu = 25,
    ObjMusicHallOfFame = 26,
    ObjSoundReady = 27,
    ObjSoundGo = 28,
    ObjUnused29 = 29,
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
    ObjUnused41 = 41,
    ObjLogo = 42,
    ObjTitleSplash = 43,
    ObjGetReady = 44,
    ObjGo = 45,
    ObjTileSheet = 46,
    ObjMenuBackdrop = 47,
    ObjWinnerLeft = 48,
    ObjWinnerRight = 49,
    // Added for the match between two players, after everything the one-player game reads.
    ObjVersusTitle = 50,
    ObjSeatTagLeft = 51,
    ObjSeatTagRight = 52,
    ObjVersusWinnerLeft = 53,
    ObjVersusWinnerRight = 54,
    ObjVersusLoserLeft = 55,
    ObjVersusLoserRight = 56,
    ObjMatchOver = 57,
    dataObjectCount = 58,
};

// What the game does with an object, and so what the check demands of it.
enum class ObjectKind {
    Unused,     // any object at all
    Picture,    // a picture no larger than the screen
    Screen,     // a picture of exactly the screen's size
    TileSheet,  // the tile sheet, at least tileSheetWidth x tileSheetHeight
    Font,
    Sound,  // MP3 bytes
};

struct DataObjectInfo {
    DataObject position;
    ObjectKind kind;
    const char* name;  // the NAME property the generator writes
};

inline constexpr DataObjectInfo dataObjects[] = {
    {ObjBalloonA, ObjectKind::Picture, "BALLOON_RED"},
    {ObjBalloonB, ObjectKind::Picture, "BALLOON_BLUE"},
    {ObjBalloonC, ObjectKind::Picture, "BALLOON_YELLOW"},
    {ObjChain, ObjectKind::Picture, "POPUP_CHAIN"},
    {ObjDoubleChain, ObjectKind::Picture, "POPUP_DOUBLE_CHAIN"},
    {ObjContinueCaption, ObjectKind::Picture, "CAPTION_CONTINUE"},
    {ObjAboutPage, ObjectKind::Screen, "PAGE_ABOUT"},
    {ObjDraw, ObjectKind::Picture, "POPUP_DRAW"},
    {ObjWinPicture, ObjectKind::Screen, "PICTURE_WIN"},
    {ObjGameFont, ObjectKind::Font, "FONT_GAME"},
    {ObjUnused10, ObjectKind::Unused, "UNUSED_10"},
    {ObjHallOfFame, ObjectKind::Screen, "BACKDROP_HALL_OF_FAME"},
    {ObjInstructionsPage, ObjectKind::Screen, "PAGE_INSTRUCTIONS"},
    {ObjInstructionsMarker, ObjectKind::Picture, "MARKER_INSTRUCTIONS"},
    {DataObject(ObjLevelBackdrop0 + 0), ObjectKind::Screen, "BACKDROP_LEVEL_1"},
    {DataObject(ObjLevelBackdrop0 + 1), ObjectKind::Screen, "BACKDROP_LEVEL_2"},
    {DataObject(ObjLevelBackdrop0 + 2), ObjectKind::Screen, "BACKDROP_LEVEL_3"},
    {DataObject(ObjLevelBackdrop0 + 3), ObjectKind::Screen, "BACKDROP_LEVEL_4"},
    {DataObject(ObjLevelBackdrop0 + 4), ObjectKind::Screen, "BACKDROP_LEVEL_5"},
    {ObjUnused19, ObjectKind::Unused, "UNUSED_19"},
    {ObjLoserLeft, ObjectKind::Picture, "END_LOSER_LEFT"},
    {ObjLoserRight, ObjectKind::Picture, "END_LOSER_RIGHT"},
    {ObjSoundMove, ObjectKind::Sound, "SOUND_MOVE"},
    {ObjMusicContinue, ObjectKind::Sound, "MUSIC_CONTINUE"},
    {ObjSoundBomb, ObjectKind::Sound, "SOUND_BOMB"},
    {ObjMusicMenu, ObjectKind::Sound, "MUSIC_MENU"},
    {ObjMusicHallOfFame, ObjectKind::Sound, "MUSIC_HALL_OF_FAME"},
    {ObjSoundReady, ObjectKind::Sound, "SOUND_READY"},
    {ObjSoundGo, ObjectKind::Sound, "SOUND_GO"},
    {ObjUnused29, ObjectKind::Unused, "UNUSED_29"},
    {ObjMusicTitle, ObjectKind::Sound, "MUSIC_TITLE"},
    {ObjSoundCleared, ObjectKind::Sound, "SOUND_CLEARED"},
    {ObjSoundStones, ObjectKind::Sound, "SOUND_STONES"},
    {ObjSoundStoneLanded, ObjectKind::Sound, "SOUND_STONE_LANDED"},
    {ObjMusicInformation, ObjectKind::Sound, "MUSIC_INFORMATION"},
    {ObjSoundLost, ObjectKind::Sound, "SOUND_LOST"},
    {ObjSoundWon, ObjectKind::Sound, "SOUND_WON"},
    {ObjOrderPage, ObjectKind::Screen, "PAGE_ORDER"},
    {ObjOrderBack, ObjectKind::Picture, "BUTTON_BACK"},
    {ObjOrderVisit, ObjectKind::Picture, "BUTTON_VISIT_WEBSITE"},
    {ObjPaused, ObjectKind::Picture, "POPUP_PAUSED"},
    {ObjUnused41, ObjectKind::Unused, "UNUSED_41"},
    {ObjLogo, ObjectKind::Picture, "LOGO"},
    {ObjTitleSplash, ObjectKind::Screen, "SPLASH_TITLE"},
    {ObjGetReady, ObjectKind::Picture, "POPUP_GET_READY"},
    {ObjGo, ObjectKind::Picture, "POPUP_GO"},
    {ObjTileSheet, ObjectKind::TileSheet, "TILE_SHEET"},
    {ObjMenuBackdrop, ObjectKind::Screen, "BACKDROP_MENU"},
    {ObjWinnerLeft, ObjectKind::Picture, "END_WINNER_LEFT"},
    {ObjWinnerRight, ObjectKind::Picture, "END_WINNER_RIGHT"},
    {ObjVersusTitle, ObjectKind::Picture, "TITLE_TWO_PLAYERS"},
    {ObjSeatTagLeft, ObjectKind::Picture, "TAG_PLAYER_1"},
    {ObjSeatTagRight, ObjectKind::Picture, "TAG_PLAYER_2"},
    {ObjVersusWinnerLeft, ObjectKind::Picture, "VERSUS_WINNER_LEFT"},
    {ObjVersusWinnerRight, ObjectKind::Picture, "VERSUS_WINNER_RIGHT"},
    {ObjVersusLoserLeft, ObjectKind::Picture, "VERSUS_LOSER_LEFT"},
    {ObjVersusLoserRight, ObjectKind::Picture, "VERSUS_LOSER_RIGHT"},
    {ObjMatchOver, ObjectKind::Picture, "POPUP_MATCH_OVER"},
};
static_assert(std::size(dataObjects) == dataObjectCount, "one row per object");

constexpr bool everyRowInPlace() {
    for (int i = 0; i < dataObjectCount; ++i) {
        if (dataObjects[i].position != i) return false;
    }
    return true;
}
static_assert(everyRowInPlace(), "rows in the order of their positions");

// The tile sheet. Each strip is a row of tiles side by side, tileSize apart.
inline constexpr int tileSheetWidth = 512;
inline constexpr int tileSheetHeight = 128;

struct TileStrip {
    int x;
    int y;
    int count;
    constexpr int tileX(int i) const { return x + tileSize * i; }
};

inline constexpr int blockTileCount = 8;  // one per block colour
inline constexpr int blastFrameCount = 15;
inline constexpr int avatarFrameCount = 6;

inline constexpr TileStrip blockStrip = {0, 0, blockTileCount};
inline constexpr TileStrip incomingStrip = {256, 0, blockTileCount};  // the blocks, half lit
inline constexpr TileStrip blastStrip = {32, 32, blastFrameCount};
inline constexpr TileStrip bombPlace = {128, 64, 1};
inline constexpr TileStrip stonePlace = {256, 64, 1};
inline constexpr TileStrip avatarStrip = {320, 96, avatarFrameCount};

}  // namespace vexlorn
