// Files by name, the name in UTF-8 on every system. Windows' file names are UTF-16: the narrow
// C calls would read the bytes in the ANSI code page and miss every name outside it (a player
// called "Zoë", a folder named in Chinese), so every file the game opens, looks at, lists,
// renames or removes by name goes through here, and on Windows through the wide calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vexlorn {

// Windows only. Strict: text that is not valid UTF-8 (or UTF-16 with an unpaired surrogate)
// converts to "", which names no file, rather than to a name with a replacement character that
// might name another one.
std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

// std::fopen for a UTF-8 name; null with errno set when it cannot be opened.
std::FILE* openFile(const char* path, const char* mode);

enum class PathKind { Missing, File, Folder, Other, Unreadable };
struct PathFacts {
    PathKind kind = PathKind::Missing;
    std::uint64_t size = 0;  // of a file
    int error = 0;           // an errno value when Unreadable
};
PathFacts describePath(const char* path);

// True when it went.
bool removeFile(const std::string& path);
// Replaces a file of the new name, as rename does on POSIX.
bool renameFile(const std::string& from, const std::string& to);
// The folder and its missing parents; true when it is a folder at the end.
bool makeFolders(const std::string& path);
// The names in a folder, without "." and ".."; none when it cannot be listed.
std::vector<std::string> folderNames(const std::string& folder);

}  // namespace vexlorn
