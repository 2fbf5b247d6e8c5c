// The executable's path from GetModuleFileNameW: the ANSI call would mangle a folder named in
// characters outside the user's code page.
#include <windows.h>

#include <vector>

#include "platform/files/wide_path.h"
#include "platform/system/executable.h"

namespace vexlorn {

std::string executablePath() {
    // Paths may be longer than MAX_PATH; the call says so by filling the whole buffer.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> path(size);
        DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return "";
        if (length < size) return utf8FromWide(std::wstring(path.data(), length));
    }
    return "";
}

}  // namespace vexlorn
