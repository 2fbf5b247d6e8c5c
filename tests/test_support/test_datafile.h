// Small data files in the game library's format, built in memory for tests, and a loader of
// the game's own assets for screen tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexlorn {

struct TestObject {
    TestObject(uint32_t type, std::vector<unsigned char> body)
        : type(type), body(std::move(body)) {}

    uint32_t type;
    std::vector<unsigned char> body;
    bool packed = false;  // the object alone LZSS packed (negative data size)
    std::string name;     // written as a NAME property when not empty
};

class TestDataFile {
public:
    static uint32_t type(const char (&id)[5]);

    // Flat-colour picture, stored with 3 bytes per pixel at depth 24 or 32.
    static TestObject bitmap(int width, int height, int r, int g, int b, int depth = 24);
    // A true-colour font for ' '..'~': 6 x 8 white boxes on the mask colour.
    static TestObject font();
    static TestObject data(size_t size, unsigned char fill = 0x5A);

    // The 50 objects of the game's layout, of the kinds and sizes it needs.
    static TestDataFile gameLike();

    // The whole file: "slh." and the plain contents.
    std::vector<unsigned char> image() const;
    // Bytes from the start of the file to the end of the object count.
    static constexpr size_t headerSize = 12;

    bool write(const std::string& path) const;
    // Writes through Allegro's own packer ("slh!"); needs Allegro started.
    bool writePacked(const std::string& path) const;

    std::vector<TestObject> objects;
};

std::vector<unsigned char> readFileBytes(const std::string& path);
bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// Loads the game's assets headless for screen tests: the real data file beside the test
// program, or, while that is still empty, a stand-in of the same layout. False with a message
// on stderr when neither loads. Pair with freeTestAssets() before the test ends.
bool loadTestAssets();
void freeTestAssets();

}  // namespace vexlorn
