// Where the settings file lives and how it is read and replaced: the one part of the settings
// that differs between operating systems.
#pragma once

#include <functional>
#include <string>

namespace vexlorn {

// "$XDG_CONFIG_HOME/vexlorn/settings", or "<home>/.config/vexlorn/settings" when XDG_CONFIG_HOME
// is unset, empty or relative; "" when no absolute path results.
std::string settingsFilePath(const char* xdgConfigHome, const char* home);
// The above from this process's environment.
std::string settingsPath();

// Larger than any settings file the game writes by far: one that reaches it is not ours to parse.
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

// Makes `updated` from the file's text as it is now ("" when there is no file; longer than
// settingsFileLimit when the file goes on past it); false to leave the file as it is.
using SettingsChange = std::function<bool(const std::string& current, std::string& updated)>;
// One change made to the file as it is at this moment, so that another copy's change made since
// this one read it is kept: the file locked against the other copies, re-read, changed and
// replaced through a temporary (as the hall of fame is); temporaries that killed writes left
// behind are cleared. The directory is made when missing. Where others may write to a folder on
// the way, a folder, link or file there is used only when the player or that folder's owner owns
// it. False when nothing was written.
bool changeSettingsFile(const std::string& path, const SettingsChange& change);

}  // namespace vexlorn
