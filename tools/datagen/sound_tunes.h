// The five tunes: title, menu, hall of fame, continue countdown and information pages.
#pragma once

#include "tools/datagen/synth_voice.h"

namespace datagen {

synth::Buffer renderTitleTheme();
synth::Buffer renderMenuTheme();
synth::Buffer renderHallOfFameTheme();
synth::Buffer renderCountdownTheme();
synth::Buffer renderInformationTheme();

}  // namespace datagen
