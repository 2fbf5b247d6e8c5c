// Where the installed game keeps the hall of fame on Windows: %APPDATA%\Vexlorn. A launch from
// the Start menu starts in the program's folder, which a per-user install may share with updates.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shlobj.h>

#include "platform/files/data_home.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

namespace {

// "C:\..." or "\\server\share\...": relative names would depend on the working directory.
bool isAbsolute(const char* path) {
    if (path == nullptr) return false;
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool share = path[0] == '\\' && path[1] == '\\';
    return drive || share;
}

bool makeDirectories(const std::wstring& dir) {
    // From the first separator after the drive or share on: every parent, then the folder.
    for (std::size_t slash = dir.find_first_of(L"\\/", 3); slash != std::wstring::npos;
         slash = dir.find_first_of(L"\\/", slash + 1)) {
        CreateDirectoryW(dir.substr(0, slash).c_str(), nullptr);
    }
    return CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string roamingAppData() {
    PWSTR path = nullptr;
    std::string result;
    // A roaming folder redirected to a place not made yet (a first logon) is made, as Windows
    // itself does for its own programs; without the flag the call fails and the game has no home.
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &path))) {
        result = utf8FromWide(path);
    }
    CoTaskMemFree(path);
    return result;
}

}  // namespace

std::string dataHomeDirectory(const char* appData, const char*) {
    return isAbsolute(appData) ? std::string(appData) + "\\Vexlorn" : "";
}

bool enterDataHome(const std::string& dir, const std::string& oldFile) {
    if (dir.empty()) return false;
    const std::wstring wideDir = wideFromUtf8(dir);
    if (!makeDirectories(wideDir)) return false;
    if (!oldFile.empty()) {
        // Without MOVEFILE_REPLACE_EXISTING the move refuses to overwrite a file already there.
        const std::wstring name = wideFromUtf8(oldFile);
        const std::wstring target = wideDir + L"\\" + name.substr(name.find_last_of(L"\\/") + 1);
        MoveFileExW(wideFromUtf8(oldFile).c_str(), target.c_str(),
                    MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
    }
    return SetCurrentDirectoryW(wideDir.c_str()) != 0;
}

// Windows has no earlier install whose file would need moving.
bool enterUserDataHome(const char*) {
    const std::string appData = roamingAppData();
    return enterDataHome(dataHomeDirectory(appData.c_str(), nullptr), "");
}

std::string padMappingFile() {
    const std::string appData = roamingAppData();
    const std::string dir = dataHomeDirectory(appData.c_str(), nullptr);
    return dir.empty() ? dir : dir + "\\gamecontrollerdb.txt";
}

}  // namespace vexlorn
