// The player's file read with one CreateFileW and GetFileType on the handle: a disk file is
// Windows' regular file; pipes and devices answer otherwise.
#include <windows.h>

#include "platform/files/open_regular.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

static FileRefusal refusalOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return FileRefusal::Missing;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return FileRefusal::NotAllowed;
        case ERROR_CANT_RESOLVE_FILENAME:
            return FileRefusal::LinkLoop;
        default:
            return FileRefusal::Unreadable;
    }
}

static FileRefusal readOpened(HANDLE file, std::size_t limit, std::vector<uint8_t>& bytes) {
    if (GetFileType(file) != FILE_TYPE_DISK) return FileRefusal::NotAFile;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return FileRefusal::Unreadable;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileRefusal::NotAFile;
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limit) return FileRefusal::TooLarge;
    bytes.resize(limit + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD part = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &part,
                      nullptr)) {
            return FileRefusal::Unreadable;
        }
        if (part == 0) break;
        got += part;
    }
    if (got > limit) return FileRefusal::TooLarge;
    bytes.resize(got);
    return FileRefusal::None;
}

FileRefusal readWholeRegularFile(const char* path, std::size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // Backup semantics let a folder open too, so that it is refused as a folder and not as a
    // file we may not read.
    HANDLE file =
        CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return refusalOf(GetLastError());
    const FileRefusal refusal = readOpened(file, limit, bytes);
    CloseHandle(file);
    if (refusal != FileRefusal::None) bytes.clear();
    return refusal;
}

}  // namespace vexlorn
