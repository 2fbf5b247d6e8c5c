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
};

const SoundObject kSoundObjects[] = {
    {22, Kind::Effect, renderMoveBlip},      {23, Kind::Tune, renderCountdownTheme},
    {24, Kind::Effect, renderBombBlast},     {25, Kind::Tune, renderMenuTheme},
    {26, Kind::Tune, renderHallOfFameTheme}, {27, Kind::Effect, renderGetReadyJingle},
    {28, Kind::Effect, renderGoJingle},      {30, Kind::Tune, renderTitleTheme},
    {31, Kind::Effect, renderGroupChime},    {32, Kind::Effect, renderStonesDropped},
    {33, Kind::Effect, renderStoneLanded},   {34, Kind::Tune, renderInformationTheme},
    {35, Kind::Effect, renderGameLost},      {36, Kind::Effect, renderRoundWonFanfare},
};
static_assert(sizeof kSoundObjects / sizeof kSoundObjects[0] == 14, "nine effects, five tunes");

}  // namespace

std::vector<uint8_t> makeSound(int objectIndex) {
    for (const SoundObject& object : kSoundObjects) {
        if (object.objectIndex != objectIndex) continue;
        synth::Buffer samples = object.render();
        if (object.kind == Kind::Tune)
            normaliseTune(samples);
        else
            normaliseEffect(samples);
        return encodeMp3(samples);
    }
    return {};
}

}  // namespace datagen
