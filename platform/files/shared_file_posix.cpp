// The shared file on POSIX systems: flock, rename, and links followed one at a time.
//
// Two copies of the game may share one file, and each writes it once, at exit. The lock only
// has to keep their saves apart for the few milliseconds each takes, so the protocol is the
// plain one: lock, check that the name still leads to what was locked (a copy that waited may
// hold a file the other has just renamed away, or a lock file it has removed), then read and
// write. A lock file stands in only while there is no file to lock; whoever holds it removes it.
// A copy that gave up waiting may still replace the file behind the lock holder's back, so the
// holder looks again just before it replaces the file, and starts over from what it finds.
//
// Links: the name is opened through the kernel, so that every protection it has applies, and
// the chain of links is also walked here one link at a time, each followed only as the owner
// rule allows (owner_rule.h: the kernel's protected_symlinks rule, whatever that setting is
// today, widened to every folder others may write to). The walk gives the directory
// and name that the file is then replaced at, so a link stays a link.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "platform/files/owner_rule.h"
#include "platform/files/shared_file.h"

namespace vexlorn {

SharedFileSeams sharedFileSeams;

namespace {

constexpr int maxLinks = 40;  // the kernel's own limit
constexpr long lockRetryNanoseconds = 10L * 1000 * 1000;
constexpr int relockAttempts = 20;
// A file that keeps changing under a save is written as it stands after this many looks.
constexpr int rereadAttempts = 5;
// A save takes milliseconds: a temporary this old belongs to a save that was killed.
constexpr time_t strayTemporarySeconds = 60;
constexpr int temporaryLetters = 6;
constexpr char temporaryAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameContents(const struct stat& a, const struct stat& b) {
    return sameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool mayUse(int directory, const struct stat& entry) {
    return ownerRuleAllowsOwner(directory, entry.st_uid);
}

// "a/b/c" as "a/b" and "c", "/c" as "/" and "c", "c" as "." and "c"; "a/" ends in an empty name.
void splitPath(const char* path, std::string& directory, std::string& name) {
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        directory = ".";
        name = path;
        return;
    }
    directory.assign(path, slash == path ? 1 : static_cast<size_t>(slash - path));
    name = slash + 1;
}

// The kernel walks the directory part, with every protection it applies to links on the way.
int openDirectory(int from, const std::string& path) {
    return ::openat(from, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

bool namesADirectory(const std::string& name) {
    return name.empty() || name == "." || name == "..";
}

// Follows the links that `name` leads through, to the directory that holds the last name and
// that name, which may not exist yet. False for a link the rule above refuses, a loop, a name
// that ends in a directory.
bool followLinks(const char* name, int& directory, std::string& base) {
    std::string part;
    splitPath(name, part, base);
    directory = openDirectory(AT_FDCWD, part);
    for (int hop = 0; directory >= 0 && hop <= maxLinks && !namesADirectory(base); ++hop) {
        struct stat info {};
        if (::fstatat(directory, base.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return true;
            break;
        }
        if (!S_ISLNK(info.st_mode)) return true;
        if (!mayUse(directory, info)) break;
        char target[PATH_MAX];
        const ssize_t length = ::readlinkat(directory, base.c_str(), target, sizeof target - 1);
        if (length <= 0) break;
        target[length] = '\0';
        splitPath(target, part, base);
        const int next = openDirectory(directory, part);
        ::close(directory);
        directory = next;
    }
    if (directory >= 0) ::close(directory);
    directory = -1;
    return false;
}

bool under(const char* path, const char* top) {
    const size_t length = std::strlen(top);
    return std::strncmp(path, top, length) == 0 && (path[length] == '/' || path[length] == '\0');
}

// The kernel's and the devices' file systems: a write there changes the system, not a file.
bool systemPlace(int fd) {
    struct statfs where {};
    if (::fstatfs(fd, &where) == 0 &&
        (where.f_type == PROC_SUPER_MAGIC || where.f_type == SYSFS_MAGIC)) {
        return true;
    }
    // The final path, from the descriptor itself; without /proc the test above is all there is.
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length <= 0) return false;
    path[length] = '\0';
    for (const char* top : {"/proc", "/sys", "/dev"}) {
        if (under(path, top)) return true;
    }
    return false;
}

bool waitForLock(int fd) {
    const long attempts = sharedFileSeams.lockPatienceMs * 1000000L / lockRetryNanoseconds;
    for (long attempt = 0; attempt < attempts; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        struct timespec pause = {0, lockRetryNanoseconds};
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

bool missing(int directory, const std::string& name) {
    struct stat info {};
    return ::fstatat(directory, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
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

bool isOwnTemporaryName(const char* entry, const std::string& base) {
    if (std::strncmp(entry, base.c_str(), base.size()) != 0 || entry[base.size()] != '.') {
        return false;
    }
    const char* letters = entry + base.size() + 1;
    if (std::strlen(letters) != temporaryLetters) return false;
    for (const char* c = letters; *c != '\0'; ++c) {
        if (std::strchr(temporaryAlphabet, *c) == nullptr) return false;
    }
    return true;
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

SharedFile::SharedFile(const char* name) : name_(name) {
    acquire();
}

SharedFile::~SharedFile() {
    release();
}

int SharedFile::openForReading(const char* name) {
    int directory = -1;
    std::string base;
    if (!followLinks(name, directory, base)) return -1;
    // Non-blocking, so that a pipe of that name cannot stop the game before its first screen.
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    const bool usable =
        fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && mayUse(directory, info);
    ::close(directory);
    if (!usable && fd >= 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SharedFile::acquire() {
    for (int attempt = 1; !usable_ && attempt <= relockAttempts; ++attempt) {
        // Every attempt but the last may find it lost a race with another save and try again;
        // the last goes on with what it holds.
        const bool last = attempt == relockAttempts;
        if (directory_ >= 0) ::close(directory_);
        if (!followLinks(name_.c_str(), directory_, base_) || systemPlace(directory_)) {
            return false;
        }
        // Through the kernel, links and all; non-blocking, so that a pipe cannot stop the game.
        fd_ = ::open(name_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd_ >= 0) {
            if (!lockFile(last)) return false;
        } else if (errno == ENOENT) {
            lockBeside(last);
        } else {
            // A directory, a file without permissions, a link the kernel would not follow.
            return false;
        }
    }
    return usable_;
}

// False when the file is not one to replace.
bool SharedFile::lockFile(bool last) {
    if (::fstat(fd_, &read_) != 0 || !S_ISREG(read_.st_mode) || systemPlace(fd_) ||
        !mayUse(directory_, read_)) {
        return false;
    }
    // The kernel and the walk must have come to the same file: a link changed in between is
    // walked again.
    const bool walked = holds(base_.c_str(), fd_);
    if (walked && (!waitForLock(fd_) || holds(base_.c_str(), fd_) || last)) {
        usable_ = true;
        return true;
    }
    ::close(fd_);
    fd_ = -1;
    return !last;
}

void SharedFile::lockBeside(bool last) {
    const std::string lockName = base_ + ".lock";
    lockFd_ = ::openat(directory_, lockName.c_str(),
                       O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    // A lock file that is not a file, or not ours to trust, is no lock: the save goes on
    // without it rather than hold a neighbour's pipe.
    struct stat held {};
    if (lockFd_ >= 0 &&
        (::fstat(lockFd_, &held) != 0 || !S_ISREG(held.st_mode) || !mayUse(directory_, held))) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    if (lockFd_ >= 0 && !waitForLock(lockFd_)) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    // A directory that takes no lock file takes no new file either: the write will fail there.
    if (lockFd_ < 0 || last || (holds(lockName.c_str(), lockFd_) && missing(directory_, base_))) {
        usable_ = true;
        return;
    }
    // The file appeared while this copy waited, or the lock file was removed: start again.
    releaseLockFile();
}

bool SharedFile::holds(const char* name, int fd) const {
    struct stat named {};
    struct stat held {};
    return ::fstatat(directory_, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(fd, &held) == 0 && sameFile(named, held);
}

void SharedFile::releaseLockFile() {
    if (lockFd_ < 0) return;
    // Only while the name still leads to the lock held: a newer lock file is another copy's.
    const std::string lockName = base_ + ".lock";
    if (holds(lockName.c_str(), lockFd_)) ::unlinkat(directory_, lockName.c_str(), 0);
    ::close(lockFd_);
    lockFd_ = -1;
}

void SharedFile::release() {
    releaseLockFile();
    if (fd_ >= 0) ::close(fd_);
    if (directory_ >= 0) ::close(directory_);
    fd_ = -1;
    directory_ = -1;
    usable_ = false;
}

int SharedFile::read(unsigned char* out, int capacity) {
    read_ = {};
    if (fd_ < 0 || ::fstat(fd_, &read_) != 0) return 0;
    int length = 0;
    while (length < capacity) {
        ssize_t got = ::pread(fd_, out + length, static_cast<size_t>(capacity - length), length);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        length += static_cast<int>(got);
    }
    return length;
}

// The name still leads to the file as it was read, or still to no file.
bool SharedFile::unchangedSinceRead() const {
    struct stat now {};
    if (::fstatat(directory_, base_.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT && fd_ < 0;
    }
    return fd_ >= 0 && sameContents(now, read_);
}

bool SharedFile::save(int size, const ComposeFile& compose) {
    return saveText(size, [size, &compose](const std::string& current, std::string& image) {
        image.assign(static_cast<size_t>(size), '\0');
        const int length = std::min(size, static_cast<int>(current.size()));
        compose(reinterpret_cast<const unsigned char*>(current.data()), length,
                reinterpret_cast<unsigned char*>(image.data()));
        return true;
    });
}

bool SharedFile::saveText(int limit, const ComposeText& compose) {
    if (!usable_) return false;
    FileSizeSignalIgnored guard;
    removeStrayTemporaries(limit);
    // One byte past the limit, so that compose can tell a file that goes on.
    std::vector<unsigned char> current(static_cast<size_t>(limit) + 1);
    std::string image;
    for (int look = 1;; ++look) {
        const int length = read(current.data(), limit + 1);
        if (!compose(std::string(current.begin(), current.begin() + length), image)) return false;
        if (sharedFileSeams.beforeReplace != nullptr) sharedFileSeams.beforeReplace();
        if (look == rereadAttempts || unchangedSinceRead()) break;
        // Another copy saved meanwhile without waiting for this one: what it wrote is the
        // file to add this run's change to, or it would wipe the other copy's.
        release();
        if (!acquire()) return false;
    }
    return replace(reinterpret_cast<const unsigned char*>(image.data()),
                   static_cast<int>(image.size()));
}

bool SharedFile::replace(const unsigned char* data, int length) const {
    bool fallBack = false;
    if (writeThroughTemporary(data, length, fallBack)) return true;
    // Where no temporary can be made, or the rename is refused (another owner's file in a
    // shared directory, a file mounted over), a plain write would still have saved: so does
    // this. A failed write of the temporary (a full disk) leaves the old file as it was.
    return fallBack && fd_ >= 0 && writeInPlace(data, length);
}

bool SharedFile::writeThroughTemporary(const unsigned char* data, int length,
                                       bool& fallBack) const {
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        unsigned char noise[temporaryLetters] = {};
        if (::getrandom(noise, sizeof noise, 0) != static_cast<ssize_t>(sizeof noise)) break;
        temporary = base_ + ".";
        for (unsigned char n : noise)
            temporary += temporaryAlphabet[n % (sizeof temporaryAlphabet - 1)];
        fd = ::openat(directory_, temporary.c_str(),
                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        fallBack = true;
        return false;
    }
    takeOldModeAndOwner(fd);
    bool written = writeAllAt(fd, data, length) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::renameat(directory_, temporary.c_str(), directory_, base_.c_str()) == 0) {
        // So that the rename itself survives a power cut, not only the new file's bytes.
        const int held = ::openat(directory_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (held >= 0) {
            ::fsync(held);
            ::close(held);
        }
        return true;
    }
    fallBack = written;
    ::unlinkat(directory_, temporary.c_str(), 0);
    return false;
}

void SharedFile::takeOldModeAndOwner(int fd) const {
    if (fd_ < 0) {
        // A new file, made as a plain create would make it.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    // Root saving a player's file gives it back to the player; anyone else keeps at least the
    // group where they may. Owner first: a change of owner clears set-id bits.
    bool owned = ::fchown(fd, read_.st_uid, read_.st_gid) == 0 ||
                 ::fchown(fd, static_cast<uid_t>(-1), read_.st_gid) == 0;
    (void)owned;
    ::fchmod(fd, read_.st_mode & 07777);
}

// The one way a crash could damage the file, and only where the alternative is to lose the
// run's scores.
bool SharedFile::writeInPlace(const unsigned char* data, int length) const {
    return writeAllAt(fd_, data, length) && ::ftruncate(fd_, length) == 0 && ::fsync(fd_) == 0;
}

// Only the player's own, never bigger than a save writes, and old enough that no save of a
// copy still running can be writing it.
void SharedFile::removeStrayTemporaries(int size) const {
    const int fd = ::openat(directory_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(listing)) {
        if (!isOwnTemporaryName(entry->d_name, base_)) continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_size <= size &&
            now - info.st_mtime > strayTemporarySeconds) {
            ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

}  // namespace vexlorn
