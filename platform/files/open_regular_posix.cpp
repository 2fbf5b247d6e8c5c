// The player's file read with one open (O_NONBLOCK: a FIFO opens at once and is then refused),
// fstat on what was opened, and reads bounded by the limit.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/open_regular.h"

namespace vexlorn {

static FileRefusal refusalOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FileRefusal::Missing;
        case EACCES:
        case EPERM:
            return FileRefusal::NotAllowed;
        case ELOOP:
            return FileRefusal::LinkLoop;
        case EISDIR:
        case ENXIO:
        case ENODEV:
            return FileRefusal::NotAFile;
        default:
            return FileRefusal::Unreadable;
    }
}

static FileRefusal readOpened(int fd, std::size_t limit, std::vector<uint8_t>& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return FileRefusal::Unreadable;
    if (!S_ISREG(info.st_mode)) return FileRefusal::NotAFile;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > limit) {
        return FileRefusal::TooLarge;
    }
    // One byte more than the limit: a file that grew meanwhile is still caught.
    bytes.resize(limit + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t part = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (part < 0 && errno == EINTR) continue;
        if (part < 0) return FileRefusal::Unreadable;
        if (part == 0) break;
        got += static_cast<std::size_t>(part);
    }
    if (got > limit) return FileRefusal::TooLarge;
    bytes.resize(got);
    return FileRefusal::None;
}

FileRefusal readWholeRegularFile(const char* path, std::size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return refusalOf(errno);
    const FileRefusal refusal = readOpened(fd, limit, bytes);
    ::close(fd);
    if (refusal != FileRefusal::None) bytes.clear();
    return refusal;
}

}  // namespace vexlorn
