// The player's choices kept from one run to the next: the music switch, window or full screen,
// and the scale asked for. The file is a few "key=value" lines; lines the game does not know
// are kept as they are, so a newer game's settings survive an older one.
#pragma once

#include <string>

#include "frame/options.h"

namespace vexlorn {

struct Settings {
    bool musicMuted = false;
    bool windowed = false;
    int scale = 0;  // as Options::scale: 0 = the mode's own default, 1..largestScale, fillScale
};

// Whether `text` can be a settings file: shorter than the file's limit, and nothing but
// printable text (UTF-8 included), tabs and line ends. Any other file is left alone for good.
bool isSettingsText(const std::string& text);

// The values of the lines it knows; a missing line or a value it cannot read leaves the default.
Settings parseSettings(const std::string& text);
// `text` with each known line set to its value in `settings` and the ones missing added at the
// end; every other line stays as it was. Keys left out of `changed` keep their old lines.
struct SettingKeys {
    bool music = false;
    bool display = false;
    bool scale = false;
};
std::string updateSettingsText(const std::string& text, const Settings& settings,
                               const SettingKeys& changed);

// Start-up: the file read once. What the command line gives wins for this run and is never
// written back; the rest comes from the file. A file that cannot be read as text means the
// defaults, and is then never written either.
Settings loadSettings(const Options& options);
// After the player has changed a choice: the file rewritten, unless the command line decided
// that choice for this run or the file is one the game must leave alone.
void rememberMusic(bool muted);
void rememberDisplay(bool windowed, int scale);
// No file read: choices made later are kept for the run only (a test's own file forgotten).
void forgetSettings();

}  // namespace vexlorn
