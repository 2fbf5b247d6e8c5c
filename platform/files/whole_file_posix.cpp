// Whole-file writes on POSIX systems.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/whole_file.h"

namespace vexlorn {

static bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

static void syncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ::close(fd);
    // link() refuses an existing name where rename() would replace it; where the file system
    // has no links, the caller's check that the name is free has to do.
    bool placed = written && ::link(temporary.c_str(), path.c_str()) == 0;
    if (!placed && written && errno != EEXIST && ::access(path.c_str(), F_OK) != 0) {
        placed = ::rename(temporary.c_str(), path.c_str()) == 0;
    }
    ::unlink(temporary.c_str());
    if (!placed) return false;
    syncFolderOf(path);
    return true;
}

}  // namespace vexlorn
