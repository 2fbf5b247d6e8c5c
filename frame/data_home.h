// Where the desktop launch keeps the hall of fame: the user's XDG data directory.
#pragma once

#include <string>

namespace vexlorn {

// $HOME when absolute, else the user's entry in the password database; null when neither.
const char* homeDirectory();
// `dir` and its missing parents, made with mode 0700; true when it is there afterwards.
bool makeDirectories(const std::string& dir);

// "$XDG_DATA_HOME/vexlorn", or "<home>/.local/share/vexlorn" when XDG_DATA_HOME is unset, empty
// or relative (which the XDG base-directory rules say to ignore); "" when no absolute path results.
std::string dataHomeDirectory(const char* xdgDataHome, const char* home);

// Creates `dir` and its missing parents with mode 0700, moves `oldFile` into it under its own
// name unless a file of that name is there already (neither is then touched), and makes it the
// working directory. False when it cannot be entered: the game then stays where it started.
bool enterDataHome(const std::string& dir, const std::string& oldFile);

// The above for the file the game keeps (the hall of fame): the user's data directory, and the
// file of that name left in the home directory by an earlier install.
void enterUserDataHome(const char* fileName);

}  // namespace vexlorn
