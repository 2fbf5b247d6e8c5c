// Where the settings file lives and how it is read and replaced: the one part of the settings
// that differs between operating systems.
#pragma once

#include <string>

namespace vexlorn {

// "$XDG_CONFIG_HOME/vexlorn/settings", or "<home>/.config/vexlorn/settings" when XDG_CONFIG_HOME
// is unset, empty or relative; "" when no absolute path results.
std::string settingsFilePath(const char* xdgConfigHome, const char* home);
// The above from this process's environment.
std::string settingsPath();

// Larger than any settings file the game writes by far: a bigger one is not ours to parse.
inline constexpr long settingsFileLimit = 64L * 1024;

enum class SettingsRead {
    Text,     // a regular file, read whole: text holds it
    Missing,  // no file of that name
    Damaged,  // a directory, unreadable, too large, or not text: left alone for good
};
SettingsRead readSettingsFile(const std::string& path, std::string& text);

// Through a temporary beside the file, renamed over it once written and flushed, so that a
// crash leaves the old file or the new one; the directory is made when missing.
bool writeSettingsFile(const std::string& path, const std::string& text);

}  // namespace vexlorn
