// The game's own folder on Windows: the folder is the player's by its access list (see
// owner_rule_win.cpp), so every file in it counts as the player's; a temporary is made with
// CREATE_NEW under a name of its own and moved into place without replacing anything.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/files/game_folder.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

namespace {

std::wstring wideIn(const std::string& folder, const std::string& name) {
    return wideFromUtf8(folder + "\\" + name);
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

GameFolder::GameFolder(const std::string& path, bool create) : path_(path) {
    const std::wstring wide = wideFromUtf8(path);
    if (create) CreateDirectoryW(wide.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    usable_ = attributes != INVALID_FILE_ATTRIBUTES &&
              (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
              (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

GameFolder::~GameFolder() = default;

std::vector<GameFolder::File> GameFolder::ownFiles() const {
    std::vector<File> files;
    if (!usable_) return files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wideIn(path_, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                       FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        // 100-nanosecond steps since 1601.
        const uint64_t steps = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                               found.ftLastWriteTime.dwLowDateTime;
        const int64_t since1970 = static_cast<int64_t>(steps) - 116444736000000000LL;
        files.push_back(File{utf8FromWide(found.cFileName), since1970 * 100});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

bool GameFolder::add(const std::string& name, const std::vector<uint8_t>& bytes) const {
    if (!usable_) return false;
    const std::wstring target = wideIn(path_, name);
    const std::wstring temporary =
        wideIn(path_, "." + name + "." + std::to_string(GetCurrentProcessId()) + "." +
                          std::to_string(GetTickCount()));
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool written = true;
    while (written && done < bytes.size()) {
        DWORD part = 0;
        written = WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                            &part, nullptr) &&
                  part > 0;
        done += part;
    }
    written = FlushFileBuffers(file) && written;
    written = CloseHandle(file) && written;
    const bool placed =
        written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed) DeleteFileW(temporary.c_str());
    return placed;
}

bool GameFolder::read(const std::string& name, std::size_t limit,
                      std::vector<uint8_t>& bytes) const {
    bytes.clear();
    const std::wstring path = wideIn(path_, name);
    if (!usable_ || !isFile(path)) return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool disk = GetFileType(file) == FILE_TYPE_DISK;
    while (disk && bytes.size() < limit) {
        uint8_t buffer[4096];
        DWORD got = 0;
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
        if (!ReadFile(file, buffer, want, &got, nullptr) || got == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    CloseHandle(file);
    return disk;
}

bool GameFolder::rename(const std::string& from, const std::string& to) const {
    const std::wstring source = wideIn(path_, from);
    return usable_ && isFile(source) &&
           MoveFileExW(source.c_str(), wideIn(path_, to).c_str(), MOVEFILE_WRITE_THROUGH);
}

bool GameFolder::remove(const std::string& name) const {
    const std::wstring path = wideIn(path_, name);
    return usable_ && isFile(path) && DeleteFileW(path.c_str());
}

void GameFolder::removeStrayTemporaries() const {}

}  // namespace vexlorn
