// The settings file on Windows: "settings" beside the hall of fame, in %APPDATA%\Vexlorn for the
// installed game and in the working directory for the portable copy.
#include <windows.h>

#include <vector>

#include "platform/files/settings_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

// `xdgConfigHome` is the folder the hall of fame is kept in here; `home` is unused. A drive's
// path ("C:\...") or a share's ("\\server\share\...", as a redirected %APPDATA% is) alike.
std::string settingsFilePath(const char* folder, const char*) {
    const bool drive = folder != nullptr && folder[0] != '\0' && folder[1] == ':';
    const bool share = folder != nullptr && folder[0] == '\\' && folder[1] == '\\';
    return drive || share ? std::string(folder) + "\\settings" : "";
}

// Beside the hall of fame, wherever it is kept: the working directory, which the installed
// game's -user-data has made %APPDATA%\Vexlorn and which the portable copy keeps as it was.
std::string settingsPath() {
    std::vector<wchar_t> folder(MAX_PATH);
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.resize(length + 1);
        length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    }
    if (length == 0 || length >= folder.size()) return "";
    std::wstring path(folder.data(), length);
    // The root of a drive ends in its separator already.
    if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return settingsFilePath(utf8FromWide(path).c_str(), nullptr);
}

SettingsRead readSettingsFile(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return SettingsRead::Damaged;
    HANDLE file = CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? SettingsRead::Missing
                   : SettingsRead::Damaged;
    }
    LARGE_INTEGER size = {};
    bool whole = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
                 size.QuadPart <= settingsFileLimit;
    if (whole) {
        std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        whole = bytes.empty() ||
                (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                 got == bytes.size());
        for (char c : bytes) whole = whole && c != '\0';
        if (whole) text.assign(bytes.begin(), bytes.end());
    }
    CloseHandle(file);
    return whole ? SettingsRead::Text : SettingsRead::Damaged;
}

bool writeSettingsFile(const std::string& path, const std::string& text) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return false;
    const std::wstring folder = wideFromUtf8(path.substr(0, slash));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    const std::wstring target = wideFromUtf8(path);
    const std::wstring temporary = target + L".new";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = (text.empty() || (WriteFile(file, text.data(), static_cast<DWORD>(text.size()),
                                             &written, nullptr) &&
                                   written == text.size())) &&
                 FlushFileBuffers(file);
    whole = CloseHandle(file) && whole;
    if (!whole || !MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

// Without the lock of other systems: a second copy changing the settings in the same moment is
// rare enough on a desktop of one player that the plain read and write do.
bool changeSettingsFile(const std::string& path, const SettingsChange& change) {
    std::string text;
    if (readSettingsFile(path, text) == SettingsRead::Damaged) return false;
    std::string updated;
    return change(text, updated) && writeSettingsFile(path, updated);
}

}  // namespace vexlorn
