// The executable's path from /proc.
#include <limits.h>
#include <unistd.h>

#include "platform/system/executable.h"

namespace vexlorn {

std::string executablePath() {
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof path)) return "";
    return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace vexlorn
