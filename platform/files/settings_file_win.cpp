// The settings file on Windows: %APPDATA%\Vexlorn\settings, beside the installed game's hall of
// fame.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shlobj.h>

#include <vector>

#include "platform/files/settings_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

// `xdgConfigHome` is the roaming application-data folder here; `home` is unused.
std::string settingsFilePath(const char* appData, const char*) {
    const bool absolute = appData != nullptr && appData[0] != '\0' && appData[1] == ':';
    return absolute ? std::string(appData) + "\\Vexlorn\\settings" : "";
}

std::string settingsPath() {
    PWSTR folder = nullptr;
    std::string appData;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
        appData = utf8FromWide(folder);
    }
    CoTaskMemFree(folder);
    return settingsFilePath(appData.c_str(), nullptr);
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

}  // namespace vexlorn
