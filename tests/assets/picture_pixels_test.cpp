// Every picture of the generated data file, loaded the way the game loads it (the whole-screen
// ones read when first shown), has exactly the 32-bit pixels it had when the file held its large
// pictures unpacked and loaded them all at once: how the file stores and loads a picture may
// change, what the player sees may not.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "assets/assets.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

// FNV-1a over the size and every 32-bit pixel, row by row.
uint64_t pixelHash(BITMAP* picture) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (value >> shift) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    mix(static_cast<uint32_t>(picture->w));
    mix(static_cast<uint32_t>(picture->h));
    for (int y = 0; y < picture->h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(picture->line[y]);
        for (int x = 0; x < picture->w; ++x) mix(row[x]);
    }
    return hash;
}

struct PictureHash {
    int object;
    uint64_t hash;
};

// Taken from the data file as it was before its large pictures were packed; the instructions
// page (12) since it tells how to play online.
const PictureHash expectedHashes[] = {
    {0, 0x40737c26d0752423ull},  {1, 0xb1a4600c7f6f405cull},  {2, 0x59384d0622057112ull},
    {3, 0x3f672c47c80fcb6eull},  {4, 0xf9c4bd84e8fde37aull},  {5, 0x84b49d323cded589ull},
    {6, 0xd335fc544164ee9dull},  {7, 0x00e6d0be0654c40full},  {8, 0x94bd857a5f51eb83ull},
    {11, 0xde123d646e66787eull}, {12, 0x788af8a21f04012cull}, {13, 0x4ad6a1d8e40e8ce7ull},
    {14, 0x4a5c84226ea93ae4ull}, {15, 0x715656cd86947798ull}, {16, 0xe347cdbe16c27022ull},
    {17, 0xf4fc0a9b7df35781ull}, {18, 0xdaea99a1154b51e1ull}, {20, 0xc498f5f9ab63b847ull},
    {21, 0x758630bfcaac001cull}, {37, 0x1cbce27c16269ca2ull}, {38, 0x429eb885250b1ab4ull},
    {39, 0x87f0bd184f60d21full}, {40, 0x13d76ab7812baadbull}, {42, 0x151c80bc49840e74ull},
    {43, 0xec2d8011daab58c6ull}, {44, 0x82560a59a910f6a2ull}, {45, 0x45c675101b41b160ull},
    {46, 0x3a55e290010a5f51ull}, {47, 0x39ad1fdad9c522e1ull}, {48, 0x95ef714df99ec090ull},
    {49, 0x39d40c535b25afd9ull}, {50, 0x17ff3b0090ca3ecaull}, {51, 0x4dae327b2d4a1b31ull},
    {52, 0x0075b27eb69b41d6ull}, {53, 0x4c8d956ff37cc563ull}, {54, 0xa263d55cadd58d00ull},
    {55, 0xc4eb59783bbdca53ull}, {56, 0x0aea38dfc82024b8ull}, {57, 0xf36f54f7cf696f3eull},
};

TEST(PicturePixels, EveryPictureLoadsPixelForPixelAsBeforeItWasPacked) {
    ensureHeadlessAllegro();
    char error[1024] = "";
    ASSERT_TRUE(loadAssetsFrom(VEXLORN_BUILD_DIR "/vexlorn-demo.dat", error, sizeof error))
        << error;
    // The whole-screen pictures are read only when shown.
    EXPECT_EQ(heldScreenPictures(), 0);
    int pictures = 0;
    for (int i = 0; i < dataObjectCount; ++i) pictures += dataBitmap(i) != nullptr;
    constexpr int count = static_cast<int>(sizeof expectedHashes / sizeof expectedHashes[0]);
    EXPECT_EQ(pictures, count);
    // Both ways round: the pictures read again after making room for others are the same too.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < count; ++i) {
            const PictureHash& expected = expectedHashes[round == 0 ? i : count - 1 - i];
            BITMAP* picture = dataBitmap(expected.object);
            ASSERT_NE(picture, nullptr) << "object " << expected.object;
            EXPECT_EQ(bitmap_color_depth(picture), 32) << "object " << expected.object;
            EXPECT_EQ(pixelHash(picture), expected.hash) << "object " << expected.object;
            EXPECT_LE(heldScreenPictures(), 2);
        }
    }
    EXPECT_EQ(heldScreenPictures(), 2);
    freeAssets();
    EXPECT_EQ(heldScreenPictures(), 0);
}

}  // namespace
}  // namespace vexlorn
