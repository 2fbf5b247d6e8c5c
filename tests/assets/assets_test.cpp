// What loadAssets builds from the data file: the tiles that share the sheet's pixels, the font,
// the music labels, with the menu's labels made from its font, and their release.
#include "assets/assets.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "screens/menu_state.h"
#include "test_support/headless_allegro.h"
#include "test_support/temp_dir.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

const char* const rowTexts[menuItemCount] = {
    "O N E   P L A Y E R",
    "I N S T R U C T I O N S",
    "H O W   T O   O R D E R",
    "H A L L   O F   F A M E",
    "A B O U T",
    "M U S I C  O N F",
    "E X I T",
};

class AssetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        std::memcpy(savedRows, menuItems, sizeof savedRows);
        for (int i = 0; i < menuItemCount; ++i) {
            std::strncpy(menuItems[i].text, rowTexts[i], sizeof menuItems[i].text - 1);
        }
        std::string path = dir.path() + "/vexlorn-demo.dat";
        ASSERT_TRUE(TestDataFile::gameLike().write(path));
        char error[1024] = "";
        ASSERT_TRUE(loadAssetsFrom(path.c_str(), error, sizeof error)) << error;
        ASSERT_TRUE(makeMenuLabels());
    }
    void TearDown() override {
        freeMenuImages();
        freeAssets();
        std::memcpy(menuItems, savedRows, sizeof savedRows);
    }

    MenuItem savedRows[menuItemCount];
    TempDir dir;
};

// The stand-in font draws every character but the space as a 6 x 8 cell.
constexpr int glyphWidth = 6;
constexpr int glyphHeight = 8;

TEST_F(AssetsTest, TilesAreCutFromTheSheetAndShareItsPixels) {
    BITMAP* sheet = dataBitmap(ObjTileSheet);
    ASSERT_NE(sheet, nullptr);
    struct Tile {
        BITMAP* tile;
        int x, y;
    };
    const Tile tiles[] = {
        {blockTiles[0], 0, 0},      {blockTiles[7], 224, 0},  {incomingTiles[0], 256, 0},
        {incomingTiles[7], 480, 0}, {blastFrames[0], 32, 32}, {blastFrames[14], 480, 32},
        {bombTile, 128, 64},        {stoneTile, 256, 64},     {avatarFrames[0], 320, 96},
        {avatarFrames[5], 480, 96},
    };
    int marker = makecol(1, 2, 3);
    for (const Tile& t : tiles) {
        ASSERT_NE(t.tile, nullptr);
        EXPECT_TRUE(is_sub_bitmap(t.tile));
        EXPECT_EQ(t.tile->w, 32);
        EXPECT_EQ(t.tile->h, 32);
        putpixel(sheet, t.x + 31, t.y + 31, marker);
        EXPECT_EQ(getpixel(t.tile, 31, 31), marker) << t.x << "," << t.y;
    }
}

TEST_F(AssetsTest, LabelsAreTheTextOnTheMaskColour) {
    ASSERT_NE(gameFont, nullptr);
    EXPECT_EQ(gameFont, dataFile[ObjGameFont].dat);
    for (int i = 0; i < menuItemCount; ++i) {
        BITMAP* image = menuItems[i].image;
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->w, text_length(gameFont, rowTexts[i]));
        EXPECT_EQ(image->h, glyphHeight);
    }
    ASSERT_NE(musicOnImage, nullptr);
    ASSERT_NE(musicOffImage, nullptr);
    EXPECT_EQ(musicOnImage->w, 16 * glyphWidth);
    EXPECT_EQ(musicOffImage->w, 16 * glyphWidth);
    // "M" at the left: the glyph's ink in white, its surroundings in magenta; the space after it
    // is all magenta.
    EXPECT_EQ(getpixel(musicOnImage, 2, 2), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(musicOnImage, 0, 0), makecol(255, 0, 255));
    EXPECT_EQ(getpixel(musicOnImage, glyphWidth + 2, 2), makecol(255, 0, 255));
}

TEST_F(AssetsTest, FreeingTwiceAndSwappedMusicImagesAreSafe) {
    // The menu shows a music label in the music row; freeing must not destroy it twice.
    menuItems[musicMenuItem].image = musicOffImage;
    freeMenuImages();
    for (int i = 0; i < menuItemCount; ++i) EXPECT_EQ(menuItems[i].image, nullptr);
    EXPECT_NE(musicOffImage, nullptr);
    freeAssets();
    EXPECT_EQ(musicOffImage, nullptr);
    EXPECT_EQ(dataFile, nullptr);
    EXPECT_EQ(blockTiles[0], nullptr);
    EXPECT_EQ(dataBitmap(ObjTileSheet), nullptr);
    freeMenuImages();
    freeAssets();
}

TEST_F(AssetsTest, DataBitmapAnswersOnlyForPictures) {
    EXPECT_NE(dataBitmap(ObjAboutPage), nullptr);
    EXPECT_EQ(dataBitmap(ObjGameFont), nullptr);
    EXPECT_EQ(dataBitmap(-1), nullptr);
    EXPECT_EQ(dataBitmap(dataObjectCount), nullptr);
}

TEST(DataFilePathTest, LiesBesideTheExecutable) {
    ensureHeadlessAllegro();
    std::string path = dataFilePath();
    EXPECT_EQ(path, VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
}

TEST(LoadTestAssetsTest, LoadsTheGamesAssetsHeadless) {
    ASSERT_TRUE(loadTestAssets());
    EXPECT_NE(gameFont, nullptr);
    EXPECT_NE(dataBitmap(ObjMenuBackdrop), nullptr);
    EXPECT_NE(stoneTile, nullptr);
    freeTestAssets();
    EXPECT_EQ(dataFile, nullptr);
}

}  // namespace
}  // namespace vexlorn
