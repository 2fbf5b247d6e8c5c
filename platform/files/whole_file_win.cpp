// Whole-file writes on Windows: a flushed temporary moved into place with write-through;
// MoveFileExW without MOVEFILE_REPLACE_EXISTING refuses a name that is taken.
#include <windows.h>

#include "platform/files/whole_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::wstring target = wideFromUtf8(path);
    const std::wstring temporary = target + L".part";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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

}  // namespace vexlorn
