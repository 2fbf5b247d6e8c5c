// Allegro 4 datafile layout: big-endian headers, one chunk per object, NAME properties.
#include "tools/datagen/datafile_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/datagen/lzss.h"

namespace datagen {

namespace {

void put16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

void put32(std::vector<uint8_t>& out, int32_t value) {
    uint32_t v = uint32_t(value);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void putId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(id[i]));
}

// Width, height, then RGB rows: the body shared by bitmaps and font glyphs.
void putPixels(std::vector<uint8_t>& out, const RgbImage& image) {
    put16(out, image.width);
    put16(out, image.height);
    out.insert(out.end(), image.rgb.begin(), image.rgb.end());
}

}  // namespace

void DatafileWriter::add(const std::string& name, const char* type, std::vector<uint8_t> payload) {
    Object object;
    object.name = name;
    std::memcpy(object.type, type, 4);
    object.payload = std::move(payload);
    objects_.push_back(std::move(object));
}

void DatafileWriter::addBitmap(const std::string& name, const RgbImage& image) {
    std::vector<uint8_t> payload;
    put16(payload, 24);
    putPixels(payload, image);
    add(name, "BMP ", std::move(payload));
}

void DatafileWriter::addFont(const std::string& name, int firstChar,
                             const std::vector<RgbImage>& glyphs) {
    std::vector<uint8_t> payload;
    put16(payload, 0);  // zero height marks the ranged font format
    put16(payload, 1);
    payload.push_back(24);
    put32(payload, firstChar);
    put32(payload, firstChar + int(glyphs.size()) - 1);
    for (const RgbImage& glyph : glyphs) putPixels(payload, glyph);
    add(name, "FONT", std::move(payload));
}

void DatafileWriter::addData(const std::string& name, const std::vector<uint8_t>& bytes) {
    add(name, "DATA", bytes);
}

std::vector<uint8_t> DatafileWriter::bytes() const {
    size_t size = 12;  // magic, "ALL." and the count
    for (const Object& object : objects_) size += 32 + object.name.size() + object.payload.size();
    std::vector<uint8_t> out;
    out.reserve(size);
    putId(out, "slh.");
    putId(out, "ALL.");
    put32(out, int32_t(objects_.size()));
    for (const Object& object : objects_) {
        putId(out, "prop");
        putId(out, "NAME");
        put32(out, int32_t(object.name.size()));
        out.insert(out.end(), object.name.begin(), object.name.end());
        putId(out, object.type);
        // Each object is packed on its own when that saves room: the whole-screen pictures
        // shrink to a fifth, and unpacking costs less than reading them plain would. A negative
        // unpacked size tells the reader the object is packed.
        std::vector<uint8_t> packed = lzssPack(object.payload);
        bool pack = packed.size() < object.payload.size();
        if (pack && lzssUnpack(packed, object.payload.size()) != object.payload) {
            std::fprintf(stderr, "vexlorn-datagen: packing %s does not round-trip\n",
                         object.name.c_str());
            std::exit(1);
        }
        const std::vector<uint8_t>& stored = pack ? packed : object.payload;
        put32(out, int32_t(stored.size()));
        put32(out, pack ? -int32_t(object.payload.size()) : int32_t(object.payload.size()));
        out.insert(out.end(), stored.begin(), stored.end());
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace datagen
