// The nine sound effects, each synthesised from a few voices.
#pragma once

#include "tools/datagen/synth_voice.h"

namespace datagen {

synth::Buffer renderMoveBlip();
synth::Buffer renderGroupChime();
synth::Buffer renderGetReadyJingle();
synth::Buffer renderGoJingle();
synth::Buffer renderRoundWonFanfare();
synth::Buffer renderGameLost();
synth::Buffer renderBombBlast();
synth::Buffer renderStonesDropped();
synth::Buffer renderStoneLanded();

}  // namespace datagen
