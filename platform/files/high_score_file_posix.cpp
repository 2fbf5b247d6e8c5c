// Locking, re-reading and replacing the hall-of-fame file.
//
// Two copies of the game may share one file, and each writes it once, at exit. The lock only
// has to keep their saves apart for the few milliseconds each takes, so the protocol is the
// plain one: lock, check that the name still leads to what was locked (a copy that waited may
// hold a file the other has just renamed away, or a lock file it has removed), then read and
// write. A lock file stands in only while there is no file to lock; whoever holds it removes it.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/files/high_score_file.h"

namespace vexlorn {

namespace {

constexpr int maxLinks = 40;  // the kernel's own limit
// A copy that hangs in the middle of its save must not keep this one from ever ending:
// after three seconds the save goes on without the lock.
constexpr int lockAttempts = 300;
constexpr long lockRetryNanoseconds = 10L * 1000 * 1000;
constexpr int relockAttempts = 20;

bool joinPath(char (&out)[PATH_MAX], const char* first, const char* second) {
    int length = std::snprintf(out, sizeof out, "%s%s", first, second);
    return length >= 0 && length < static_cast<int>(sizeof out);
}

// The directory part of path: "." for a bare name, "/" for a name at the root.
void directoryOf(const char* path, char (&out)[PATH_MAX]) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        joinPath(out, ".", "");
        return;
    }
    size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
    std::memcpy(out, path, length);
    out[length] = '\0';
}

// A link's target as the kernel reads it: from the directory that holds the link.
bool linkTarget(char (&out)[PATH_MAX], const char* link, const char* target) {
    const char* slash = std::strrchr(link, '/');
    if (target[0] == '/' || slash == nullptr) return joinPath(out, target, "");
    int length =
        std::snprintf(out, sizeof out, "%.*s/%s", static_cast<int>(slash - link), link, target);
    return length >= 0 && length < static_cast<int>(sizeof out);
}

// The name an open for writing would end up at, following every link, even to a file that
// does not exist yet.
bool resolveLinks(const char* name, char (&path)[PATH_MAX]) {
    if (!joinPath(path, name, "")) return false;
    for (int hop = 0; hop <= maxLinks; ++hop) {
        struct stat info {};
        if (::lstat(path, &info) != 0) return errno == ENOENT;
        if (!S_ISLNK(info.st_mode)) return true;
        char target[PATH_MAX];
        ssize_t length = ::readlink(path, target, sizeof target - 1);
        if (length <= 0) return false;
        target[length] = '\0';
        char next[PATH_MAX];
        if (!linkTarget(next, path, target)) return false;
        std::memcpy(path, next, sizeof path);
    }
    return false;
}

bool waitForLock(int fd) {
    for (int attempt = 0; attempt < lockAttempts; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        struct timespec pause = {0, lockRetryNanoseconds};
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

bool namesFile(const char* path, int fd) {
    struct stat named {};
    struct stat held {};
    return ::lstat(path, &named) == 0 && ::fstat(fd, &held) == 0 && named.st_dev == held.st_dev &&
           named.st_ino == held.st_ino;
}

bool missing(const char* path) {
    struct stat info {};
    return ::lstat(path, &info) != 0 && errno == ENOENT;
}

bool writeAllAt(int fd, const unsigned char* data, int length) {
    off_t offset = 0;
    while (offset < length) {
        ssize_t written = ::pwrite(fd, data + offset, static_cast<size_t>(length - offset), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        offset += written;
    }
    return true;
}

// So that the rename itself survives a power cut, not only the new file's bytes.
void syncDirectory(const char* path) {
    char directory[PATH_MAX];
    directoryOf(path, directory);
    int fd = ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Past a file-size limit the kernel would kill the game with SIGXFSZ; ignored, the write fails
// instead and the old file stays.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

private:
    struct sigaction previous_ {};
};

}  // namespace

HighScoreFile::HighScoreFile(const char* name) {
    if (resolveLinks(name, path_) && joinPath(lockPath_, path_, ".lock")) lock();
}

HighScoreFile::~HighScoreFile() {
    releaseLockFile();
    if (fd_ >= 0) ::close(fd_);
}

void HighScoreFile::lock() {
    for (int attempt = 1; !usable_; ++attempt) {
        // Every attempt but the last may find it lost a race with another save and try again;
        // the last goes on with what it holds.
        const bool last = attempt == relockAttempts;
        // Non-blocking, so that a pipe of that name cannot stop the game at exit.
        fd_ = ::open(path_, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ >= 0) {
            if (!lockFile(last)) return;
        } else if (errno == ENOENT) {
            lockBeside(last);
        } else {
            // A directory, a file without permissions, a link put there since: not ours.
            return;
        }
    }
}

// False when the file is not one to replace.
bool HighScoreFile::lockFile(bool last) {
    if (::fstat(fd_, &old_) != 0 || !S_ISREG(old_.st_mode)) return false;
    if (!waitForLock(fd_) || namesFile(path_, fd_) || last) {
        usable_ = true;
    } else {
        ::close(fd_);
        fd_ = -1;
    }
    return true;
}

void HighScoreFile::lockBeside(bool last) {
    lockFd_ = ::open(lockPath_, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (lockFd_ >= 0 && !waitForLock(lockFd_)) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    // A directory that takes no lock file takes no new file either: the write will fail there.
    if (lockFd_ < 0 || last || (namesFile(lockPath_, lockFd_) && missing(path_))) {
        usable_ = true;
        return;
    }
    // The file appeared while this copy waited, or the lock file was removed: start again.
    releaseLockFile();
}

void HighScoreFile::releaseLockFile() {
    if (lockFd_ < 0) return;
    // Only while the name still leads to the lock held: a newer lock file is another copy's.
    if (namesFile(lockPath_, lockFd_)) ::unlink(lockPath_);
    ::close(lockFd_);
    lockFd_ = -1;
}

int HighScoreFile::read(unsigned char* out, int capacity) const {
    if (fd_ < 0) return 0;
    int length = 0;
    while (length < capacity) {
        ssize_t got = ::pread(fd_, out + length, static_cast<size_t>(capacity - length), length);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        length += static_cast<int>(got);
    }
    return length;
}

bool HighScoreFile::write(const unsigned char* data, int length) {
    if (!usable_) return false;
    FileSizeSignalIgnored guard;
    bool noTemporary = false;
    if (writeThroughTemporary(data, length, noTemporary)) return true;
    // Only when the directory takes no new file: a failed write of the temporary (a full disk)
    // leaves the old file as it was rather than risk it.
    return noTemporary && fd_ >= 0 && writeInPlace(data, length);
}

bool HighScoreFile::writeThroughTemporary(const unsigned char* data, int length,
                                          bool& noTemporary) const {
    char temporary[PATH_MAX];
    int fd = joinPath(temporary, path_, ".XXXXXX") ? ::mkostemp(temporary, O_CLOEXEC) : -1;
    if (fd < 0) {
        noTemporary = true;
        return false;
    }
    takeOldModeAndOwner(fd);
    bool written = writeAllAt(fd, data, length) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary, path_) != 0) {
        ::unlink(temporary);
        return false;
    }
    syncDirectory(path_);
    return true;
}

void HighScoreFile::takeOldModeAndOwner(int fd) const {
    if (fd_ < 0) {
        // A new file, made as a plain create would make it.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    // Root saving a player's file gives it back to the player; anyone else keeps at least the
    // group where they may. Owner first: a change of owner clears set-id bits.
    bool owned = ::fchown(fd, old_.st_uid, old_.st_gid) == 0 ||
                 ::fchown(fd, static_cast<uid_t>(-1), old_.st_gid) == 0;
    (void)owned;
    ::fchmod(fd, old_.st_mode & 07777);
}

// The one way a crash could damage the file, and only where the alternative is to lose the
// run's scores on every exit.
bool HighScoreFile::writeInPlace(const unsigned char* data, int length) const {
    return writeAllAt(fd_, data, length) && ::ftruncate(fd_, length) == 0 && ::fsync(fd_) == 0;
}

}  // namespace vexlorn
