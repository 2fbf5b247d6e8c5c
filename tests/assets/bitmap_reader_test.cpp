// The row-at-a-time picture reader gives exactly the pixels of Allegro's own reader.
#include "assets/bitmap_reader.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support/headless_allegro.h"
#include "test_support/temp_dir.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

// Pixels with every byte value in every channel, magenta (the mask colour) among them.
TestObject noisyPicture(int width, int height, int depth) {
    const int stride = depth == -32 ? 4 : 3;
    TestObject object = TestDataFile::bitmap(width, height, 0, 0, 0);
    object.body[0] = static_cast<unsigned char>(depth >> 8);
    object.body[1] = static_cast<unsigned char>(depth);
    object.body.resize(6);
    unsigned state = 7;
    for (int i = 0; i < width * height; ++i) {
        for (int channel = 0; channel < stride; ++channel) {
            state = state * 1103515245u + 12345u;
            object.body.push_back(static_cast<unsigned char>(state >> 16));
        }
        if (i % 5 == 0) {
            size_t at = object.body.size() - stride;
            object.body[at] = 255;
            object.body[at + 1] = 0;
            object.body[at + 2] = 255;
        }
    }
    return object;
}

// Loads a data file twice, first with Allegro's reader, then with ours; both stay loaded.
struct TwoLoads {
    explicit TwoLoads(const std::string& path) {
        ensureHeadlessAllegro();
        allegros = load_datafile(path.c_str());
        useRowBitmapReader();
        ours = load_datafile(path.c_str());
    }
    ~TwoLoads() {
        if (allegros != nullptr) unload_datafile(allegros);
        if (ours != nullptr) unload_datafile(ours);
    }
    DATAFILE* allegros = nullptr;
    DATAFILE* ours = nullptr;
};

void expectSamePictures(const DATAFILE* expected, const DATAFILE* actual) {
    int pictures = 0;
    for (int i = 0; expected[i].type != DAT_END; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(actual[i].type, expected[i].type);
        if (expected[i].type != DAT_BITMAP) continue;
        BITMAP* want = static_cast<BITMAP*>(expected[i].dat);
        BITMAP* got = static_cast<BITMAP*>(actual[i].dat);
        ASSERT_EQ(bitmap_color_depth(got), bitmap_color_depth(want));
        ASSERT_EQ(got->w, want->w);
        ASSERT_EQ(got->h, want->h);
        EXPECT_EQ(actual[i].size, expected[i].size);
        for (int y = 0; y < want->h; ++y) {
            ASSERT_EQ(std::memcmp(got->line[y], want->line[y], size_t(want->w) * 4), 0) << y;
        }
        ++pictures;
    }
    EXPECT_GT(pictures, 0);
}

TEST(BitmapReader, GivesAllegrosPixelsForEveryTrueColourLayout) {
    TempDir dir;
    TestDataFile file;
    file.objects = {noisyPicture(37, 11, 24), noisyPicture(640, 48, 24), noisyPicture(5, 3, 32),
                    noisyPicture(9, 4, -32), noisyPicture(300, 20, 24)};
    file.objects[4].packed = true;
    file.objects.push_back(TestDataFile::font());
    std::string path = dir.path() + "/pictures.dat";
    ASSERT_TRUE(file.write(path));
    TwoLoads loads(path);
    ASSERT_NE(loads.allegros, nullptr);
    ASSERT_NE(loads.ours, nullptr);
    expectSamePictures(loads.allegros, loads.ours);
    // Also against the stored bytes, should Allegro's reader already have been replaced.
    BITMAP* alpha = static_cast<BITMAP*>(loads.ours[3].dat);
    const unsigned char* first = file.objects[3].body.data() + 6;
    EXPECT_EQ(static_cast<unsigned>(getpixel(alpha, 0, 0)),
              static_cast<unsigned>(makeacol32(first[0], first[1], first[2], first[3])));
    BITMAP* plain = static_cast<BITMAP*>(loads.ours[0].dat);
    const unsigned char* last = file.objects[0].body.data() + file.objects[0].body.size() - 3;
    EXPECT_EQ(getpixel(plain, 36, 10), makecol32(last[0], last[1], last[2]));
}

TEST(BitmapReader, GivesAllegrosPixelsForTheGamesDataFile) {
    TwoLoads loads(VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
    if (loads.allegros == nullptr) GTEST_SKIP() << "no data file built";
    ASSERT_NE(loads.ours, nullptr);
    expectSamePictures(loads.allegros, loads.ours);
}

// A null object would make Allegro free the loaded objects twice: the reader never returns one.
TEST(BitmapReader, NeverFailsTheLoad) {
    ensureHeadlessAllegro();
    useRowBitmapReader();
    TempDir dir;
    std::string path = dir.path() + "/bad.dat";
    TestObject highColour = TestDataFile::bitmap(4, 4, 0, 0, 0);
    highColour.body = {0, 16, 0, 4, 0, 4};
    highColour.body.resize(6 + 32, 7);
    TestObject cutShort = TestDataFile::bitmap(4, 4, 200, 100, 50);
    cutShort.body.resize(cutShort.body.size() - 5);
    TestDataFile file;
    file.objects = {highColour, cutShort, TestDataFile::bitmap(0, 4, 1, 2, 3)};
    ASSERT_TRUE(file.write(path));
    DATAFILE* loaded = load_datafile(path.c_str());
    ASSERT_NE(loaded, nullptr);
    for (int i : {0, 2}) {
        BITMAP* standIn = static_cast<BITMAP*>(loaded[i].dat);
        EXPECT_EQ(standIn->w * standIn->h, 1);
        EXPECT_EQ(getpixel(standIn, 0, 0), bitmap_mask_color(standIn));
    }
    BITMAP* cut = static_cast<BITMAP*>(loaded[1].dat);
    EXPECT_EQ(getpixel(cut, 0, 0), makecol32(200, 100, 50));
    EXPECT_EQ(getpixel(cut, 1, 3), makecol32(200, 100, 50));
    EXPECT_EQ(getpixel(cut, 2, 3), makecol32(200, 0, 0));  // one byte of it left
    EXPECT_EQ(getpixel(cut, 3, 3), 0);
    unload_datafile(loaded);
}

}  // namespace
}  // namespace vexlorn
