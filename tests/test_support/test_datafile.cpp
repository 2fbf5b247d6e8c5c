// Test data files in the game library's format, and the headless asset loader for screen tests.
#include "test_support/test_datafile.h"

#include <allegro.h>
#include <unistd.h>

#include <cstdio>

#include "assets/assets.h"
#include "game/game.h"
#include "screens/menu_state.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {

namespace {

void putBe32(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void putBe16(std::vector<unsigned char>& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

// A valid LZSS stream made of literals only: a flag byte of ones before every eight bytes.
std::vector<unsigned char> packLiterals(const std::vector<unsigned char>& body) {
    std::vector<unsigned char> packed;
    for (size_t i = 0; i < body.size(); ++i) {
        if (i % 8 == 0) packed.push_back(0xFF);
        packed.push_back(body[i]);
    }
    return packed;
}

void putObject(std::vector<unsigned char>& out, const TestObject& object) {
    if (!object.name.empty()) {
        putBe32(out, TestDataFile::type("prop"));
        putBe32(out, TestDataFile::type("NAME"));
        putBe32(out, static_cast<uint32_t>(object.name.size()));
        out.insert(out.end(), object.name.begin(), object.name.end());
    }
    putBe32(out, object.type);
    if (object.packed) {
        std::vector<unsigned char> packed = packLiterals(object.body);
        putBe32(out, static_cast<uint32_t>(packed.size()));
        putBe32(out, static_cast<uint32_t>(-static_cast<int32_t>(object.body.size())));
        out.insert(out.end(), packed.begin(), packed.end());
    } else {
        putBe32(out, static_cast<uint32_t>(object.body.size()));
        putBe32(out, static_cast<uint32_t>(object.body.size()));
        out.insert(out.end(), object.body.begin(), object.body.end());
    }
}

std::vector<unsigned char> contents(const std::vector<TestObject>& objects) {
    std::vector<unsigned char> out;
    putBe32(out, TestDataFile::type("ALL."));
    putBe32(out, static_cast<uint32_t>(objects.size()));
    for (const TestObject& object : objects) putObject(out, object);
    return out;
}

}  // namespace

uint32_t TestDataFile::type(const char (&id)[5]) {
    return uint32_t(uint8_t(id[0])) << 24 | uint32_t(uint8_t(id[1])) << 16 |
           uint32_t(uint8_t(id[2])) << 8 | uint32_t(uint8_t(id[3]));
}

TestObject TestDataFile::bitmap(int width, int height, int r, int g, int b, int depth) {
    TestObject object{type("BMP "), {}};
    putBe16(object.body, static_cast<uint32_t>(depth));
    putBe16(object.body, static_cast<uint32_t>(width));
    putBe16(object.body, static_cast<uint32_t>(height));
    object.body.reserve(object.body.size() + size_t(width) * height * 3);
    for (int i = 0; i < width * height; ++i) {
        object.body.push_back(static_cast<unsigned char>(r));
        object.body.push_back(static_cast<unsigned char>(g));
        object.body.push_back(static_cast<unsigned char>(b));
    }
    return object;
}

TestObject TestDataFile::font() {
    constexpr int first = ' ';
    constexpr int last = '~';
    constexpr int width = 6;
    constexpr int height = 8;
    TestObject object{type("FONT"), {}};
    putBe16(object.body, 0);
    putBe16(object.body, 1);
    object.body.push_back(24);
    putBe32(object.body, first);
    putBe32(object.body, last);
    for (int glyph = first; glyph <= last; ++glyph) {
        putBe16(object.body, width);
        putBe16(object.body, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                bool ink = glyph != ' ' && x >= 1 && x <= 4 && y >= 1 && y <= 6;
                object.body.push_back(255);
                object.body.push_back(ink ? 255 : 0);
                object.body.push_back(255);
            }
        }
    }
    return object;
}

TestObject TestDataFile::data(size_t size, unsigned char fill) {
    return TestObject{type("DATA"), std::vector<unsigned char>(size, fill)};
}

TestDataFile TestDataFile::gameLike() {
    TestDataFile file;
    for (int index = 0; index < dataObjectCount; ++index) {
        switch (dataObjects[index].kind) {
            case ObjectKind::Screen:
                file.objects.push_back(
                    bitmap(screenWidth, screenHeight, 10 * (index % 20), 40, 90));
                break;
            case ObjectKind::Font:
                file.objects.push_back(font());
                break;
            case ObjectKind::TileSheet:
                file.objects.push_back(bitmap(tileSheetWidth, tileSheetHeight, 0, 128, 0));
                break;
            case ObjectKind::Unused:
                file.objects.push_back(data(4));
                break;
            case ObjectKind::Sound:
                file.objects.push_back(data(64));
                break;
            case ObjectKind::Picture:
                file.objects.push_back(bitmap(40, 30, 200, 100, 50, 32));
                break;
        }
    }
    return file;
}

std::vector<unsigned char> TestDataFile::image() const {
    std::vector<unsigned char> out;
    putBe32(out, type("slh."));
    std::vector<unsigned char> body = contents(objects);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool TestDataFile::write(const std::string& path) const {
    return writeFileBytes(path, image());
}

bool TestDataFile::writePacked(const std::string& path) const {
    std::vector<unsigned char> body = contents(objects);
    PACKFILE* file = pack_fopen(path.c_str(), F_WRITE_PACKED);
    if (file == nullptr) return false;
    long written = pack_fwrite(body.data(), static_cast<long>(body.size()), file);
    return pack_fclose(file) == 0 && written == static_cast<long>(body.size());
}

std::vector<unsigned char> readFileBytes(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        unsigned char block[65536];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
            bytes.insert(bytes.end(), block, block + got);
        }
        std::fclose(file);
    }
    return bytes;
}

bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool loadTestAssets() {
    ensureHeadlessAllegro();
    char error[1024] = "the stand-in data file could not be written";
    if (!readFileBytes(dataFilePath()).empty()) {
        if (loadGame(error, sizeof error)) return true;
    } else {
        // Until the generator writes the real file: the same layout in flat colours. Once
        // loaded it is no longer needed.
        std::string standIn = "/tmp/vexlorn-test-standin-" + std::to_string(getpid()) + ".dat";
        bool loaded = TestDataFile::gameLike().write(standIn) &&
                      loadGameFrom(standIn.c_str(), error, sizeof error);
        std::remove(standIn.c_str());
        if (loaded) return true;
    }
    std::fprintf(stderr, "loadTestAssets: %s\n", error);
    return false;
}

void freeTestAssets() {
    freeMenuImages();
    freeAssets();
}

}  // namespace vexlorn
