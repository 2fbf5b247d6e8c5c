// The desktop icon: four of the game's glossy blocks in a dark rounded well.
#include "tools/datagen/icons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "tools/datagen/look.h"

namespace datagen {

Canvas makeIcon(int size) {
    Canvas icon(size, size);  // transparent around the well
    float s = size / 48.0f;
    icon.fillOutlined(roundedRect(1.5f * s, 1.5f * s, size - 1.5f * s, size - 1.5f * s, 8 * s),
                      verticalGradient(0, rgb(38, 30, 92), float(size), rgb(10, 8, 34)),
                      rgb(96, 104, 200), 1.0f * s);
    float block = 19 * s;
    float left = (size - 2 * block) / 2.0f;
    float top = (size - 2 * block) / 2.0f;
    const int colours[4] = {2, 3, 4, 0};  // star, diamond, ring, heart
    for (int i = 0; i < 4; ++i) {
        drawBlock(icon, left + (i % 2) * block, top + (i / 2) * block, block, colours[i]);
    }
    return icon;
}

// Two characters per pixel cover every colour a picture of up to 64 x 64 pixels can hold.
static std::string xpmCode(size_t index) {
    static const char digits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
    return std::string{digits[index % 64], digits[index / 64 % 64]};
}

// _NET_WM_ICON's layout: for each size, width, height, then one 0xAARRGGBB word per pixel,
// rows from the top; the icon drawn afresh at each size rather than scaled from one.
static void writeNetWmIcon(std::FILE* file) {
    auto channel = [](float v) { return unsigned(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    std::fprintf(file, "extern const unsigned long netWmIcon[];\n");
    std::fprintf(file, "extern const unsigned long netWmIconLength;\n");
    std::fprintf(file, "const unsigned long netWmIcon[] = {\n");
    size_t length = 0;
    for (int size : {16, 32, 48, 64}) {
        const Canvas icon = makeIcon(size);
        std::fprintf(file, "%d, %d,\n", size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const Rgba p = icon.pixel(x, y);
                std::fprintf(
                    file, "0x%08xu,",
                    channel(p.a) << 24 | channel(p.r) << 16 | channel(p.g) << 8 | channel(p.b));
            }
            std::fprintf(file, "\n");
        }
        length += 2 + size_t(size) * size;
    }
    std::fprintf(file, "};\nconst unsigned long netWmIconLength = %zu;\n", length);
}

bool writeIconSource(const std::string& path, int size) {
    const std::vector<uint8_t> rgb = makeIcon(size).toRgb();
    const uint32_t transparent = 0xff00ff;  // what toRgb leaves where the icon is see-through
    std::map<uint32_t, std::string> codes;
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const uint32_t colour = uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
        pixels.push_back(colour);
        if (codes.count(colour) == 0) codes.emplace(colour, xpmCode(codes.size()));
    }
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return false;
    std::fprintf(file, "// The window icon, written by vexlorn-datagen.\n");
    std::fprintf(file, "namespace vexlorn {\nextern const char* const iconXpm[];\n");
    std::fprintf(file, "const char* const iconXpm[] = {\n\"%d %d %zu 2\",\n", size, size,
                 codes.size());
    for (const auto& [colour, code] : codes) {
        if (colour == transparent) {
            std::fprintf(file, "\"%s c None\",\n", code.c_str());
        } else {
            std::fprintf(file, "\"%s c #%06x\",\n", code.c_str(), unsigned(colour));
        }
    }
    for (int y = 0; y < size; ++y) {
        std::string row;
        for (int x = 0; x < size; ++x) row += codes[pixels[size_t(y) * size + x]];
        std::fprintf(file, "\"%s\",\n", row.c_str());
    }
    std::fprintf(file, "};\n");
    writeNetWmIcon(file);
    std::fprintf(file, "}  // namespace vexlorn\n");
    return std::fclose(file) == 0;
}

}  // namespace datagen
