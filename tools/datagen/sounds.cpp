// The sound objects of the data file: which position holds which effect or tune.
#include "tools/datagen/sounds.h"

#include "tools/datagen/sound_effects.h"
#include "tools/datagen/sound_encoder.h"
#include "tools/datagen/sound_levels.h"
#include "tools/datagen/sound_tunes.h"

namespace datagen {
namespace {

enum class Kind { Effect, Tune };

struct SoundObject {
    int objectIndex;
    Kind kind;
    synth::Buffer (*render)();
    // Relative to the shared effect level. The sounds of a busy round come in crowds that
    // start on the same tick and add up sample for sample (a row of stones landing at once,
    // both figures moving), so they sit lower than the one-off jingles.
    double levelDb = 0.0;
};

const SoundObject kSoundObjects[] = {
    {22, Kind::Effect, renderMoveBlip, -1.0},     {23, Kind::Tune, renderCountdownTheme},
    {24, Kind::Effect, renderBombBlast, -2.0},    {25, Kind::Tune, renderMenuTheme},
    {26, Kind::Tune, renderHallOfFameTheme},      {27, Kind::Effect, renderGetReadyJingle},
    {28, Kind::Effect, renderGoJingle},           {30, Kind::Tune, renderTitleTheme},
    {31, Kind::Effect, renderGroupChime, -3.0},   {32, Kind::Effect, renderStonesDropped, -3.0},
    {33, Kind::Effect, renderStoneLanded, -18.0}, {34, Kind::Tune, renderInformationTheme},
    {35, Kind::Effect, renderGameLost},           {36, Kind::Effect, renderRoundWonFanfare},
};
static_assert(sizeof kSoundObjects / sizeof kSoundObjects[0] == 14, "nine effects, five tunes");

// Nearly ten minutes of music must fit beside the plain full-screen pictures in 16 MB; mono
// synth parts lose little at 46 kbit/s. The effects are short and keep their attacks crisp.
constexpr int kTuneKbps = 46;
constexpr int kEffectKbps = 112;

}  // namespace

std::vector<uint8_t> makeSound(int objectIndex) {
    for (const SoundObject& object : kSoundObjects) {
        if (object.objectIndex != objectIndex) continue;
        synth::Buffer samples = object.render();
        if (object.kind == Kind::Tune) {
            normaliseTune(samples);
            return encodeMp3(samples, kTuneKbps);
        }
        normaliseEffect(samples, object.levelDb);
        return encodeMp3(samples, kEffectKbps);
    }
    return {};
}

}  // namespace datagen
