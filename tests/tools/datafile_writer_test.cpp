// The generator's datafile writer and LZSS packer, read back through Allegro's own loader.
#include "tools/datagen/datafile_writer.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/headless_allegro.h"
#include "test_support/temp_dir.h"
#include "tools/datagen/lzss.h"

namespace vexlorn {
namespace {

using datagen::DatafileWriter;
using datagen::RgbImage;

// Deterministic bytes with runs, repeats far apart and noise: every kind of match the packer
// makes, including overlapping ones and ones near the far end of the ring.
std::vector<uint8_t> mixedBytes(size_t size) {
    std::vector<uint8_t> out(size);
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        if (i % 9000 < 2000)
            out[i] = 7;  // long run
        else if (i >= 4090 && i % 9000 > 6000)
            out[i] = out[i - 4078];  // far repeat
        else if (i % 9000 < 5000)
            out[i] = uint8_t(i % 13);  // short period
        else
            out[i] = uint8_t(state >> 24);  // noise
    }
    return out;
}

RgbImage patternImage(int width, int height) {
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rgb.insert(image.rgb.end(), {uint8_t(x * 7), uint8_t(y * 11), uint8_t(x ^ y)});
    return image;
}

TEST(Lzss, UnpacksToExactlyWhatWasPacked) {
    std::vector<std::vector<uint8_t>> inputs = {
        {}, {42}, {1, 2, 3}, std::vector<uint8_t>(100000, 0), mixedBytes(50000)};
    for (const std::vector<uint8_t>& input : inputs) {
        SCOPED_TRACE(input.size());
        std::vector<uint8_t> packed = datagen::lzssPack(input);
        EXPECT_EQ(datagen::lzssUnpack(packed, input.size()), input);
    }
    // A flat run packs to about 2 bytes per 18 plus a flag byte per 8 items.
    EXPECT_LT(datagen::lzssPack(std::vector<uint8_t>(100000, 0)).size(), 12000u);
}

TEST(DatafileWriter, AllegroLoadsBackEveryPixelByteAndName) {
    ensureHeadlessAllegro();
    DatafileWriter writer;
    RgbImage picture = patternImage(97, 61);
    std::vector<uint8_t> bytes = mixedBytes(30000);
    std::vector<RgbImage> glyphs = {patternImage(5, 9), patternImage(7, 9), patternImage(3, 9)};
    writer.addBitmap("PICTURE", picture);
    writer.addData("BYTES", bytes);
    writer.addFont("LETTERS", 'A', glyphs);
    writer.addData("NOISE", {9, 8, 7});  // too small to pack: stored as it is
    TempDir dir;
    std::string path = dir.path() + "/test.dat";
    ASSERT_TRUE(datagen::writeFile(path, writer.bytes()));

    DATAFILE* data = load_datafile(path.c_str());
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data[0].type, DAT_BITMAP);
    ASSERT_EQ(data[1].type, DAT_DATA);
    ASSERT_EQ(data[2].type, DAT_FONT);
    ASSERT_EQ(data[3].type, DAT_DATA);
    EXPECT_EQ(data[4].type, DAT_END);
    EXPECT_STREQ(get_datafile_property(&data[0], DAT_NAME), "PICTURE");
    EXPECT_STREQ(get_datafile_property(&data[2], DAT_NAME), "LETTERS");

    BITMAP* bmp = static_cast<BITMAP*>(data[0].dat);
    ASSERT_EQ(bmp->w, 97);
    ASSERT_EQ(bmp->h, 61);
    int wrong = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            int p = getpixel(bmp, x, y);
            const uint8_t* want = &picture.rgb[size_t(y * bmp->w + x) * 3];
            wrong += getr32(p) != want[0] || getg32(p) != want[1] || getb32(p) != want[2];
        }
    EXPECT_EQ(wrong, 0);

    ASSERT_EQ(data[1].size, long(bytes.size()));
    const uint8_t* loaded = static_cast<const uint8_t*>(data[1].dat);
    EXPECT_TRUE(std::vector<uint8_t>(loaded, loaded + data[1].size) == bytes);
    EXPECT_EQ(data[3].size, 3);

    FONT* font = static_cast<FONT*>(data[2].dat);
    EXPECT_TRUE(is_color_font(font));
    EXPECT_EQ(get_font_range_begin(font, -1), 'A');
    EXPECT_EQ(get_font_range_end(font, -1), 'C');
    EXPECT_EQ(text_height(font), 9);
    EXPECT_EQ(text_length(font, "ABC"), 5 + 7 + 3);
    unload_datafile(data);
}

}  // namespace
}  // namespace vexlorn
