// The data file's pictures read a row at a time.
#include "assets/bitmap_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vexlorn {

namespace {

// Rows of R, G, B (and A) bytes into 32-bit pixels, as makeacol32 builds them. A body that
// ends early leaves the rest black.
void readRows(PACKFILE* file, BITMAP* bitmap, bool alpha) {
    const int stride = alpha ? 4 : 3;
    const int redShift = _rgb_r_shift_32;
    const int greenShift = _rgb_g_shift_32;
    const int blueShift = _rgb_b_shift_32;
    const int alphaShift = _rgb_a_shift_32;
    std::vector<uint8_t> row(static_cast<size_t>(bitmap->w) * stride);
    const long length = static_cast<long>(row.size());
    for (int y = 0; y < bitmap->h; ++y) {
        long got = pack_fread(row.data(), length, file);
        if (got < length)
            std::memset(row.data() + (got > 0 ? got : 0), 0, length - (got > 0 ? got : 0));
        uint32_t* out = reinterpret_cast<uint32_t*>(bitmap->line[y]);
        const uint8_t* in = row.data();
        for (int x = 0; x < bitmap->w; ++x, in += stride) {
            uint32_t a = alpha ? in[3] : 0;
            out[x] = uint32_t(in[0]) << redShift | uint32_t(in[1]) << greenShift |
                     uint32_t(in[2]) << blueShift | a << alphaShift;
        }
    }
}

}  // namespace

void* readBitmapObject(PACKFILE* file, long /*size*/) {
    int depth = static_cast<int16_t>(pack_mgetw(file));
    int width = pack_mgetw(file);
    int height = pack_mgetw(file);
    bool alpha = depth == -32;
    bool readable = (depth == 24 || depth == 32 || alpha) && width > 0 && height > 0;
    // Null would make load_datafile free its object list twice, so what this reader cannot
    // take comes back as one mask-coloured pixel, which the loaded-object check refuses.
    BITMAP* bitmap = create_bitmap_ex(32, readable ? width : 1, readable ? height : 1);
    if (bitmap == nullptr) {
        if (allegro_errno != nullptr) *allegro_errno = ENOMEM;
        return nullptr;
    }
    if (readable) {
        readRows(file, bitmap, alpha);
    } else {
        clear_to_color(bitmap, bitmap_mask_color(bitmap));
    }
    return bitmap;
}

void useRowBitmapReader() {
    // A null destructor keeps Allegro's own (destroy_bitmap).
    register_datafile_object(DAT_BITMAP, readBitmapObject, nullptr);
}

}  // namespace vexlorn
