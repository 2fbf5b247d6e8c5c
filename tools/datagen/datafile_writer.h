// Writes Allegro 4 datafiles: 24-bit bitmaps, true-colour fonts and raw data, each named.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// Rows top first, three bytes R, G, B per pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

class DatafileWriter {
public:
    void addBitmap(const std::string& name, const RgbImage& image);
    // One true-colour range of consecutive characters starting at firstChar.
    void addFont(const std::string& name, int firstChar, const std::vector<RgbImage>& glyphs);
    void addData(const std::string& name, const std::vector<uint8_t>& bytes);

    int count() const { return int(objects_.size()); }
    // The whole file ("slh."), objects in the order they were added; each one LZSS-packed alone
    // when that saves room (the sounds, already MP3, stay plain).
    std::vector<uint8_t> bytes() const;

private:
    struct Object {
        std::string name;
        char type[4];
        std::vector<uint8_t> payload;
    };
    void add(const std::string& name, const char* type, std::vector<uint8_t> payload);

    std::vector<Object> objects_;
};

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace datagen
