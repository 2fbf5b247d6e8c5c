// A minimal PNG encoder: 8-bit RGBA, deflate "stored" blocks (icons are small, size is no issue).
#include "tools/datagen/png_writer.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace datagen {

namespace {

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBig(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& data) {
    putBig(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig(out, crc32(out.data() + start, out.size() - start));
}

uint8_t channel(float value) {
    value = value < 0 ? 0 : value > 1 ? 1 : value;
    return uint8_t(value * 255.0f + 0.5f);
}

// Each row starts with filter type 0; the zlib stream holds it in stored blocks.
std::vector<uint8_t> zlibStored(const Canvas& canvas) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < canvas.height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < canvas.width(); ++x) {
            Rgba p = canvas.pixel(x, y);
            raw.insert(raw.end(), {channel(p.r), channel(p.g), channel(p.b), channel(p.a)});
        }
    }
    std::vector<uint8_t> out{0x78, 0x01};
    size_t done = 0;
    do {
        size_t length = raw.size() - done < 65535 ? raw.size() - done : 65535;
        bool last = done + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.insert(out.end(), {uint8_t(length), uint8_t(length >> 8), uint8_t(~length),
                               uint8_t(~length >> 8)});
        out.insert(out.end(), raw.begin() + done, raw.begin() + done + length);
        done += length;
    } while (done < raw.size());
    putBig(out, adler32(raw));
    return out;
}

}  // namespace

bool writePng(const std::string& path, const Canvas& canvas) {
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBig(header, uint32_t(canvas.width()));
    putBig(header, uint32_t(canvas.height()));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlibStored(canvas));
    putChunk(png, "IEND", {});
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace datagen
