// Decodes MP3 bytes held in memory to 16-bit samples with libmpg123 (gapless, as the game does).
#pragma once

#include <mpg123.h>

#include <cstdint>
#include <vector>

namespace vexlorn {

struct DecodedSound {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved when channels > 1
};

inline DecodedSound decodeMp3(const void* bytes, size_t size) {
    DecodedSound sound;
    if (mpg123_init() != MPG123_OK) return sound;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) return sound;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return sound;
    }
    std::vector<unsigned char> block(1 << 16);
    int result = mpg123_feed(handle, static_cast<const unsigned char*>(bytes), size);
    while (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
        size_t done = 0;
        result = mpg123_read(handle, block.data(), block.size(), &done);
        const auto* out = reinterpret_cast<const int16_t*>(block.data());
        sound.samples.insert(sound.samples.end(), out, out + done / sizeof(int16_t));
        if (result == MPG123_NEW_FORMAT) {
            int encoding = 0;
            mpg123_getformat(handle, &sound.rate, &sound.channels, &encoding);
        }
    }
    // Running out of input is the normal end of a fed stream; anything else is an error.
    sound.ok = result == MPG123_NEED_MORE && sound.rate > 0;
    mpg123_delete(handle);
    return sound;
}

}  // namespace vexlorn
