// The order page's link file: which one is opened, and the web address it holds.
#pragma once

#include <cstddef>
#include <string>

namespace vexlorn {

// Longer addresses are taken for damage rather than handed on.
inline constexpr std::size_t maxLinkUrlLength = 2048;

// The first URL= value in an Internet shortcut's [InternetShortcut] section, or before any
// section, when it is an http:// or https:// address with a host, at most maxLinkUrlLength bytes
// long and of printable ASCII without spaces; otherwise "".
std::string shortcutUrl(const std::string& text);

// `name` in the working directory when it exists there and the owner rule allows it
// (owner_rule.h: in a directory others may write to, only the player's or the directory owner's,
// links and all), else `besideExecutable` when that
// exists; "" when neither does.
std::string findLinkFile(const char* name, const char* besideExecutable);

// What the desktop is asked to open for a link file: the web address it holds when it holds a
// usable one (a desktop may open the shortcut itself in a text editor); the file itself when it
// holds no URL= line; "" (nothing to open) when its address is refused or the file is not a
// regular one that could be read whole, or one the owner rule refuses.
std::string linkTarget(const std::string& file);

}  // namespace vexlorn
