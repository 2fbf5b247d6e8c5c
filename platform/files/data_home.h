// Where the desktop launch keeps the hall of fame: the user's own data directory for the game.
#pragma once

#include <string>

namespace vexlorn {

// Linux: "$XDG_DATA_HOME/vexlorn", or "<home>/.local/share/vexlorn" when XDG_DATA_HOME is unset,
// empty or relative (which the XDG base-directory rules say to ignore). Windows:
// "<appData>\Vexlorn" from the roaming application-data folder (`home` unused). "" when no absolute
// path results.
std::string dataHomeDirectory(const char* xdgDataHome, const char* home);

// Creates `dir` and its missing parents (private to the user on Linux), moves `oldFile` into it
// under its own name unless a file of that name is there already (neither is then touched), and
// makes it the working directory. False when it cannot be entered: the game then stays where it
// started.
bool enterDataHome(const std::string& dir, const std::string& oldFile);

// The above for the file the game keeps (the hall of fame): the user's data directory, and on
// Linux the file of that name left in the home directory by an earlier install. False when it
// could not be entered.
bool enterUserDataHome(const char* fileName);

// Where extra pad mappings are read from: "$XDG_CONFIG_HOME/vexlorn/gamecontrollerdb.txt" (see
// padMappingPath) on Linux, "%APPDATA%\Vexlorn\gamecontrollerdb.txt" on Windows.
std::string padMappingFile();

}  // namespace vexlorn
