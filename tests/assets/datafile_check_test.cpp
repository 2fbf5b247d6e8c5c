// The data-file check: every damaged or unsuitable file is refused with a message that names
// it, without a crash, and nothing stays loaded; good files in every packing pass.
#include "assets/datafile_check.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "assets/assets.h"
#include "screens/menu_state.h"
#include "test_support/headless_allegro.h"
#include "test_support/temp_dir.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

const TestDataFile& gameLike() {
    static const TestDataFile file = TestDataFile::gameLike();
    return file;
}

const std::vector<unsigned char>& gameLikeImage() {
    static const std::vector<unsigned char> image = gameLike().image();
    return image;
}

void setBe32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

class DataFileCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        path = dir.path() + "/vexlorn-demo.dat";
    }
    void TearDown() override {
        freeMenuImages();
        freeAssets();
    }

    // Checks bytes in memory; returns the message, empty when they pass.
    std::string checkImage(const std::vector<unsigned char>& bytes) {
        char error[1024] = "";
        bool passed =
            checkDataFileImage(bytes.data(), bytes.size(), "test.dat", error, sizeof error);
        EXPECT_EQ(passed, error[0] == '\0') << error;
        return error;
    }

    // Loads a file through the game's loader; returns the message, empty when it loaded.
    std::string load(const std::vector<unsigned char>& bytes) {
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return loadFile();
    }

    std::string loadFile() {
        char error[1024] = "";
        bool loaded = loadAssetsFrom(path.c_str(), error, sizeof error);
        if (!loaded) {
            EXPECT_EQ(dataFile, nullptr);
            EXPECT_EQ(gameFont, nullptr);
            EXPECT_EQ(bombTile, nullptr);
            EXPECT_EQ(musicOnImage, nullptr);
            EXPECT_NE(std::string(error).find("\"" + path + "\""), std::string::npos) << error;
        }
        return loaded ? std::string() : std::string(error);
    }

    std::string loadWith(int index, const TestObject& object) {
        TestDataFile file = gameLike();
        file.objects[index] = object;
        return load(file.image());
    }

    TempDir dir;
    std::string path;
};

bool says(const std::string& message, const std::string& words) {
    return message.find(words) != std::string::npos;
}

TEST_F(DataFileCheckTest, TheGameLikeFileLoadsPlainPackedAndPackedPerObject) {
    EXPECT_EQ(load(gameLikeImage()), "");
    EXPECT_NE(dataFile, nullptr);
    freeMenuImages();
    freeAssets();

    ASSERT_TRUE(gameLike().writePacked(path));
    EXPECT_EQ(readFileBytes(path)[3], '!');
    EXPECT_EQ(loadFile(), "");
    freeMenuImages();
    freeAssets();

    TestDataFile perObject = gameLike();
    perObject.objects[ObjGameFont].packed = true;
    perObject.objects[ObjTileSheet].packed = true;
    perObject.objects[ObjSoundMove].packed = true;
    perObject.objects[ObjGameFont].name = "GAME_FONT";
    EXPECT_EQ(load(perObject.image()), "");
    EXPECT_EQ(dataFile[ObjSoundMove].size, 64);
}

TEST_F(DataFileCheckTest, MissingEmptyAndForeignFilesAreRefused) {
    std::string missing = loadFile();
    EXPECT_TRUE(says(missing, "is missing")) << missing;

    EXPECT_TRUE(says(load({}), "is damaged: it is empty"));
    std::vector<unsigned char> foreign = gameLikeImage();
    std::memcpy(foreign.data(), "RIFF", 4);
    EXPECT_TRUE(says(load(foreign), "neither \"slh.\" nor \"slh!\""));
    std::vector<unsigned char> noAll = gameLikeImage();
    noAll[4] = 'X';
    EXPECT_TRUE(says(load(noAll), "do not start with \"ALL.\""));
    EXPECT_TRUE(says(load({'s', 'l'}), "is damaged"));
}

TEST_F(DataFileCheckTest, AFileCutAnywhereIsRefused) {
    const std::vector<unsigned char>& whole = gameLikeImage();
    std::vector<size_t> cuts = {4,
                                8,
                                TestDataFile::headerSize - 1,
                                TestDataFile::headerSize,
                                TestDataFile::headerSize + 3,
                                whole.size() - 1};
    for (int part = 1; part < 97; ++part) cuts.push_back(whole.size() * part / 97);
    for (size_t cut : cuts) {
        std::vector<unsigned char> bytes(whole.begin(), whole.begin() + cut);
        EXPECT_TRUE(says(checkImage(bytes), "is damaged")) << cut;
    }
    // The cuts that crash the library's own loader, through the game's loader.
    for (size_t cut : {TestDataFile::headerSize, TestDataFile::headerSize + 6, whole.size() / 2}) {
        std::string message = load(std::vector<unsigned char>(whole.begin(), whole.begin() + cut));
        EXPECT_TRUE(says(message, "is damaged")) << cut << ": " << message;
    }
    EXPECT_TRUE(
        says(checkImage(std::vector<unsigned char>(whole.begin(), whole.begin() + 12)),
             "announces " + std::to_string(dataObjectCount) + " objects but ends after 0 of them"));
}

TEST_F(DataFileCheckTest, APackedFileCutAnywhereIsRefused) {
    ASSERT_TRUE(gameLike().writePacked(path));
    std::vector<unsigned char> whole = readFileBytes(path);
    for (int part = 1; part < 13; ++part) {
        size_t cut = whole.size() * part / 13;
        std::vector<unsigned char> bytes(whole.begin(), whole.begin() + cut);
        EXPECT_TRUE(says(checkImage(bytes), "is damaged")) << cut;
    }
    EXPECT_TRUE(
        says(load(std::vector<unsigned char>(whole.begin(), whole.begin() + 9)), "is damaged"));
}

TEST_F(DataFileCheckTest, CountsThatDisagreeWithTheObjectsAreRefused) {
    std::vector<unsigned char> more = gameLikeImage();
    const int count = dataObjectCount;
    setBe32(more, 8, count + 1);
    EXPECT_TRUE(says(load(more), "announces " + std::to_string(count + 1) +
                                     " objects but ends after " + std::to_string(count) +
                                     " of them"));
    std::vector<unsigned char> negative = gameLikeImage();
    setBe32(negative, 8, 0xFFFFFFFFu);
    EXPECT_TRUE(says(load(negative), "object count is negative"));
    std::vector<unsigned char> fewer = gameLikeImage();
    setBe32(fewer, 8, count - 1);
    EXPECT_TRUE(says(load(fewer), "bytes of unknown data follow its last object"));

    TestDataFile short30 = gameLike();
    short30.objects.erase(short30.objects.begin() + 30, short30.objects.end());
    EXPECT_TRUE(says(load(short30.image()),
                     "holds 30 objects where the game needs " + std::to_string(count)));
}

TEST_F(DataFileCheckTest, ObjectHeadersThatWouldMisleadTheLibraryAreRefused) {
    TestDataFile file;
    file.objects = {TestDataFile::data(8)};
    std::vector<unsigned char> image = file.image();
    std::vector<unsigned char> endType = image;
    setBe32(endType, 12, 0xFFFFFFFFu);  // DAT_END: the library would call a missing loader
    EXPECT_TRUE(says(checkImage(endType), "object 0 has no valid type"));
    std::vector<unsigned char> sizes = image;
    setBe32(sizes, 16, 7);
    EXPECT_TRUE(says(checkImage(sizes), "two different sizes"));
    std::vector<unsigned char> huge = image;
    setBe32(huge, 16, 0x7FFFFFFF);
    setBe32(huge, 20, 0x7FFFFFFF);
    EXPECT_TRUE(says(checkImage(huge), "ends in the middle of object 0"));

    TestObject sample{TestDataFile::type("SAMP"), std::vector<unsigned char>(8, 0)};
    file.objects = {sample};
    EXPECT_TRUE(says(checkImage(file.image()), "\"SAMP\", which the game does not read"));

    TestObject packed = TestDataFile::data(40);
    packed.packed = true;
    file.objects = {packed};
    std::vector<unsigned char> wrongLength = file.image();
    setBe32(wrongLength, 20, static_cast<uint32_t>(-41));
    EXPECT_TRUE(says(checkImage(wrongLength), "does not unpack to its 41 bytes"));
}

TEST_F(DataFileCheckTest, DamagedPicturesAndFontsAreRefused) {
    TestDataFile file;
    TestObject cutPicture = TestDataFile::bitmap(4, 4, 1, 2, 3);
    cutPicture.body.pop_back();
    file.objects = {cutPicture};
    EXPECT_TRUE(
        says(checkImage(file.image()), "holds 47 bytes of pixels where 4 x 4 pixels need 48"));
    TestObject oddDepth = TestDataFile::bitmap(4, 4, 1, 2, 3);
    oddDepth.body[1] = 12;
    file.objects = {oddDepth};
    EXPECT_TRUE(says(checkImage(file.image()), "unknown colour depth (12)"));
    file.objects = {TestDataFile::bitmap(0, 5, 1, 2, 3)};
    EXPECT_TRUE(says(checkImage(file.image()), "is 0 x 5 pixels"));

    TestObject noRanges = TestDataFile::font();
    noRanges.body = {0, 0, 0, 0};
    file.objects = {noRanges};
    EXPECT_TRUE(says(checkImage(file.image()), "has no characters"));
    TestObject oldFont = TestDataFile::font();
    oldFont.body[1] = 8;
    file.objects = {oldFont};
    EXPECT_TRUE(says(checkImage(file.image()), "old format"));
    TestObject cutFont = TestDataFile::font();
    cutFont.body.resize(cutFont.body.size() - 5);
    file.objects = {cutFont};
    EXPECT_TRUE(says(checkImage(file.image()), "font in object 0 is cut short"));
    TestObject longFont = TestDataFile::font();
    longFont.body.push_back(0);
    file.objects = {longFont};
    EXPECT_TRUE(says(checkImage(file.image()), "followed by 1 bytes"));
}

// A font's one range: depth byte, first and last character, then no glyphs at all.
std::vector<unsigned char> fontRange(int depth, int64_t first, int64_t last) {
    std::vector<unsigned char> body = {0, 0, 0, 1, static_cast<unsigned char>(depth)};
    for (int64_t value : {first, last}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            body.push_back(static_cast<unsigned char>(static_cast<uint32_t>(value) >> shift));
        }
    }
    return body;
}

TEST_F(DataFileCheckTest, FontRangesOutsideUnicodeOrBackwardsAndUnknownDepthsAreRefused) {
    TestDataFile file;
    TestObject font = TestDataFile::font();
    const auto verdict = [&](std::vector<unsigned char> body) {
        font.body = std::move(body);
        file.objects = {font};
        return checkImage(file.image());
    };
    constexpr int64_t unicodeSize = 0x110000;
    for (auto [first, last] : {std::pair<int64_t, int64_t>{-1, 10},
                               {20, 19},
                               {0, unicodeSize},
                               {5, 5 + unicodeSize},
                               {0, 0xFFFFFFFF}}) {
        EXPECT_TRUE(says(verdict(fontRange(24, first, last)), "has an invalid character range"))
            << first << ".." << last;
    }
    // The widest range there is passes the range check, and only then misses its glyphs.
    EXPECT_TRUE(says(verdict(fontRange(24, 0, unicodeSize - 1)), "font in object 0 is cut short"));
    EXPECT_TRUE(says(verdict(fontRange(12, 32, 32)), "unknown colour depth (12)"));

    std::vector<unsigned char> mixed = TestDataFile::font().body;
    mixed[3] = 2;  // a second range: one mono glyph of 8 x 1
    for (unsigned char byte : {1, 0, 0, 0, 65, 0, 0, 0, 65, 0, 8, 0, 1, 0xFF})
        mixed.push_back(byte);
    EXPECT_TRUE(says(verdict(mixed), "mixes one-colour and coloured characters"));
}

// The loaded game-like file with one object swapped for another made in memory.
class LoadedObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureHeadlessAllegro();
        std::string path = dir.path() + "/vexlorn-demo.dat";
        ASSERT_TRUE(gameLike().write(path));
        loaded = load_datafile(path.c_str());
        ASSERT_NE(loaded, nullptr);
        for (int i = 0; i <= dataObjectCount; ++i) objects[i] = loaded[i];
    }
    void TearDown() override {
        for (BITMAP* bitmap : made) destroy_bitmap(bitmap);
        if (loaded != nullptr) unload_datafile(loaded);
    }

    std::string checkWith(int index, int type, void* dat, long size = 0) {
        objects[index].type = type;
        objects[index].dat = dat;
        objects[index].size = size;
        char error[1024] = "";
        bool passed = checkLoadedObjects(objects, "test.dat", error, sizeof error);
        objects[index] = loaded[index];
        EXPECT_EQ(passed, error[0] == '\0');
        return error;
    }

    BITMAP* picture(int width, int height, int depth = 32) {
        made.push_back(create_bitmap_ex(depth, width, height));
        return made.back();
    }

    TempDir dir;
    DATAFILE* loaded = nullptr;
    DATAFILE objects[dataObjectCount + 1];
    std::vector<BITMAP*> made;
};

TEST_F(LoadedObjectsTest, TheGameLikeFilePasses) {
    char error[1024] = "";
    EXPECT_TRUE(checkLoadedObjects(loaded, "test.dat", error, sizeof error)) << error;
}

TEST_F(LoadedObjectsTest, ObjectsOfTheWrongKindAreRefused) {
    static char bytes[16];
    EXPECT_TRUE(says(checkWith(ObjGameFont, DAT_DATA, bytes, 16),
                     "object 9 is not what the game needs (it should be a font, it is raw data)"));
    EXPECT_TRUE(says(checkWith(ObjSoundBomb, DAT_BITMAP, picture(8, 8)),
                     "object 24 is not what the game needs (it should be sound data"));
    EXPECT_TRUE(says(checkWith(ObjSoundBomb, DAT_DATA, bytes, 0), "sound data is empty"));
    EXPECT_TRUE(says(checkWith(ObjChain, DAT_FONT, loaded[ObjGameFont].dat),
                     "object 3 is not what the game needs (it should be a picture, it is a font)"));
    EXPECT_TRUE(says(checkWith(ObjChain, DAT_ID('X', 'Y', 'Z', ' '), bytes, 16),
                     "it is an object of another kind"));
    // The unused positions may hold anything.
    EXPECT_EQ(checkWith(10, DAT_FONT, loaded[ObjGameFont].dat), "");
}

TEST_F(LoadedObjectsTest, PicturesOfTheWrongSizeOrDepthAreRefused) {
    EXPECT_TRUE(says(checkWith(ObjAboutPage, DAT_BITMAP, picture(320, 200)),
                     "object 6 is not what the game needs (it should be a picture of 640 x 480, "
                     "it is 320 x 200)"));
    EXPECT_TRUE(says(checkWith(ObjTileSheet, DAT_BITMAP, picture(256, 128)),
                     "object 46 is not what the game needs (it should be a tile sheet of at "
                     "least 512 x 128, it is 256 x 128)"));
    EXPECT_EQ(checkWith(ObjTileSheet, DAT_BITMAP, picture(640, 256)), "");
    EXPECT_TRUE(says(checkWith(ObjPaused, DAT_BITMAP, picture(641, 20)),
                     "object 40 is not what the game needs (it should be a picture no larger "
                     "than 640 x 480, it is 641 x 20)"));
    EXPECT_TRUE(says(checkWith(ObjGo, DAT_BITMAP, picture(8, 8, 8)),
                     "object 45 is not what the game needs (its picture has 8 bits per pixel"));
}

TEST_F(DataFileCheckTest, AnObjectOfTheWrongKindStopsTheLoad) {
    EXPECT_TRUE(says(loadWith(ObjGameFont, TestDataFile::data(16)),
                     "does not suit this game: object 9 is not what the game needs"));
}

// The game reads true-colour pictures only, wherever they lie in the file.
TEST_F(DataFileCheckTest, PicturesNotInTrueColourAreRefused) {
    TestObject paletted = TestDataFile::bitmap(8, 8, 0, 0, 0);
    paletted.body = {0, 8, 0, 8, 0, 8};
    paletted.body.resize(6 + 64, 3);
    EXPECT_TRUE(says(loadWith(ObjGo, paletted),
                     "does not suit this game: the picture in object 45 is stored at 8 bits per "
                     "pixel; the game reads pictures stored at 24 or 32"));
    TestObject highColour = TestDataFile::bitmap(4, 4, 0, 0, 0);
    highColour.body = {0, 16, 0, 4, 0, 4};
    highColour.body.resize(6 + 32, 7);
    EXPECT_TRUE(says(loadWith(10, highColour), "object 10 is stored at 16 bits"));
    TestObject alpha24 = TestDataFile::bitmap(4, 4, 0, 0, 0);
    alpha24.body = {0xFF, 0xE8, 0, 4, 0, 4};  // -24: 24 bits with alpha
    alpha24.body.resize(6 + 64, 7);
    EXPECT_TRUE(says(loadWith(10, alpha24), "object 10 is stored at 24 bits"));
}

TEST_F(DataFileCheckTest, UnpacksWhatTheLibraryPacks) {
    std::vector<unsigned char> original;
    for (int i = 0; i < 50000; ++i) {
        original.push_back(static_cast<unsigned char>(i % 7 == 0 ? i * 31 : (i / 13) % 5));
    }
    PACKFILE* packer = pack_fopen(path.c_str(), F_WRITE_PACKED);
    ASSERT_NE(packer, nullptr);
    pack_fwrite(original.data(), static_cast<long>(original.size()), packer);
    pack_fclose(packer);
    std::vector<unsigned char> packed = readFileBytes(path);
    ASSERT_LT(packed.size(), original.size());
    std::vector<unsigned char> unpacked;
    size_t consumed = unpackLzss(packed.data() + 4, packed.size() - 4, original.size(), unpacked);
    EXPECT_EQ(consumed, packed.size() - 4);
    EXPECT_EQ(unpacked, original);
    // A limit stops it early; garbage decodes without reaching outside the ring.
    unpackLzss(packed.data() + 4, packed.size() - 4, 100, unpacked);
    EXPECT_EQ(unpacked.size(), 100u);
    std::vector<unsigned char> garbage(4000);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<unsigned char>(i * 97 + 13);
    unpackLzss(garbage.data(), garbage.size(), 1 << 20, unpacked);
    // Measuring a stream without unpacking it gives the sizes unpacking gives, limits included.
    struct Case {
        const std::vector<unsigned char>* stream;
        size_t skip;
        size_t limit;
    };
    for (const Case& c : {Case{&packed, 4, original.size()}, Case{&packed, 4, 100},
                          Case{&packed, 4, 101}, Case{&garbage, 0, 1 << 20}}) {
        const unsigned char* start = c.stream->data() + c.skip;
        const size_t size = c.stream->size() - c.skip;
        size_t read = unpackLzss(start, size, c.limit, unpacked);
        LzssExtent extent = measureLzss(start, size, c.limit);
        EXPECT_EQ(extent.unpacked, unpacked.size()) << c.limit;
        EXPECT_EQ(extent.consumed, read) << c.limit;
    }
}

TEST_F(DataFileCheckTest, TheGeneratedDataFilePasses) {
    const std::string real = VEXLORN_BUILD_DIR "/vexlorn-demo.dat";
    std::vector<unsigned char> bytes = readFileBytes(real);
    if (bytes.empty()) GTEST_SKIP() << "the generator has not written " << real << " yet";
    char error[1024] = "";
    EXPECT_TRUE(checkDataFileStructure(real.c_str(), error, sizeof error)) << error;
    EXPECT_TRUE(loadAssetsFrom(real.c_str(), error, sizeof error)) << error;
}

}  // namespace
}  // namespace vexlorn
