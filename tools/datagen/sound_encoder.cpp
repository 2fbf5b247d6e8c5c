// MP3 encoding of synthesised samples through LAME, with the gapless tag in front.
#include "tools/datagen/sound_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>

namespace datagen {
namespace {

lame_t openEncoder(int bitrateKbps) {
    lame_t lame = lame_init();
    if (!lame) return nullptr;
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_in_samplerate(lame, synth::kSampleRate);
    lame_set_out_samplerate(lame, synth::kSampleRate);
    // Average bitrate rather than constant: at low rates a constant-rate frame is too small to
    // hold the tag, and LAME would silently leave it out.
    lame_set_VBR(lame, vbr_abr);
    lame_set_VBR_mean_bitrate_kbps(lame, bitrateKbps);
    lame_set_quality(lame, 5);
    // The tag frame carries the delay and padding; without it decoders start 25 ms late.
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return nullptr;
    }
    return lame;
}

}  // namespace

std::vector<uint8_t> encodeMp3(const synth::Buffer& samples, int bitrateKbps) {
    lame_t lame = openEncoder(bitrateKbps);
    if (!lame) {
        std::fprintf(stderr, "vexlorn-datagen: LAME refused its settings\n");
        return {};
    }
    // LAME's own worst-case bound for one call, plus room for the flush.
    std::vector<uint8_t> mp3(samples.size() * 5 / 4 + 7200 + 16384);
    const int size = int(mp3.size());
    // In mono LAME reads only the first channel; the second pointer is never used.
    const int encoded = lame_encode_buffer_ieee_float(lame, samples.data(), samples.data(),
                                                      int(samples.size()), mp3.data(), size);
    const int flushed =
        encoded < 0 ? -1 : lame_encode_flush(lame, mp3.data() + encoded, size - encoded);
    if (encoded < 0 || flushed < 0) {
        std::fprintf(stderr, "vexlorn-datagen: LAME failed to encode (%d, %d)\n", encoded, flushed);
        lame_close(lame);
        return {};
    }
    mp3.resize(size_t(encoded + flushed));
    // The first frame was reserved for the tag, which is only complete now.
    unsigned char tag[4096];
    const size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    lame_close(lame);
    if (tagSize == 0 || tagSize > mp3.size()) {
        std::fprintf(stderr, "vexlorn-datagen: LAME gave no tag frame\n");
        return {};
    }
    std::copy(tag, tag + tagSize, mp3.begin());
    return mp3;
}

}  // namespace datagen
