// Reading small files with open, fstat and read.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/regular_file.h"

namespace vexlorn {

bool readRegularFile(const char* path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (regular) {
        bytes.resize(limit);
        std::size_t got = 0;
        while (got < limit) {
            ssize_t part = ::read(fd, &bytes[got], limit - got);
            if (part < 0 && errno == EINTR) continue;
            if (part <= 0) break;
            got += static_cast<std::size_t>(part);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return regular;
}

bool pathExists(const char* path) {
    return path != nullptr && path[0] != '\0' && ::access(path, F_OK) == 0;
}

}  // namespace vexlorn
