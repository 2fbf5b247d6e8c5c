// Reading small files with CreateFileW and ReadFile. A disk file is Windows' regular file; pipes
// and devices answer GetFileType otherwise.
#include <windows.h>

#include "platform/files/regular_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

bool readRegularFile(const char* path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    const std::wstring name = wideFromUtf8(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool regular = GetFileType(file) == FILE_TYPE_DISK;
    if (regular) {
        bytes.resize(limit);
        std::size_t got = 0;
        while (got < limit) {
            DWORD part = 0;
            if (!ReadFile(file, &bytes[got], static_cast<DWORD>(limit - got), &part, nullptr) ||
                part == 0) {
                break;
            }
            got += part;
        }
        bytes.resize(got);
    }
    CloseHandle(file);
    return regular;
}

bool pathExists(const char* path) {
    return path != nullptr && path[0] != '\0' &&
           GetFileAttributesW(wideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vexlorn
