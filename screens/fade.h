// Opacity curves shared by the attract loop and the information pages.
#pragma once

namespace vexlorn {

inline constexpr int fadeTicks = 60;
inline constexpr int pulsePeriod = 180;

// Opacity 0..255 a fade has reached `ticks` after it started.
inline int fadeInOpacity(int ticks) {
    return ticks * 255 / fadeTicks;
}

// The pulse of the logo and the instructions marker: in over 60 ticks, held, out over 60.
// Tick 0 of each cycle is fully transparent; the last one comes down to 5.
int pulseOpacity(int ticks);

}  // namespace vexlorn
