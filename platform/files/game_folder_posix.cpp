// The game's own folder on POSIX systems: every name looked up in the open folder, never through
// a path, so that a folder swapped for a link after it was checked is not the one written to.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/files/game_folder.h"
#include "platform/files/owner_rule.h"

namespace vexlorn {

namespace {

// A write takes milliseconds: a temporary this old belongs to a write that was killed.
constexpr time_t strayTemporarySeconds = 60;
constexpr int temporaryLetters = 6;
constexpr char temporaryAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool ownRegular(const struct stat& info) {
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

bool ownRegularAt(int folder, const std::string& name) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && ownRegular(info);
}

// ".<name>.<letters>": hidden, and never a name the game gives a file of its own.
bool isTemporaryName(const char* entry) {
    const std::size_t length = std::strlen(entry);
    if (entry[0] != '.' || length < temporaryLetters + 3 ||
        entry[length - temporaryLetters - 1] != '.') {
        return false;
    }
    for (const char* c = entry + length - temporaryLetters; *c != '\0'; ++c) {
        if (std::strchr(temporaryAlphabet, *c) == nullptr) return false;
    }
    return true;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A new name for a file, never over one that exists: where the file system cannot rename
// without replacing, a link and an unlink do the same.
bool renameWithoutReplacing(int folder, const char* from, const char* to) {
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::linkat(folder, from, folder, to, 0) != 0) return false;
    ::unlinkat(folder, from, 0);
    return true;
}

// The folder that holds `path`'s last name, and that name.
int openHolder(const std::string& path, std::string& name) {
    const std::size_t slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string holder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return ::open(holder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The folder, when the owner rule lets the game enter it: the name in its holder judged as it
// stands (a link as a link), and what was opened judged again, since a link leads elsewhere
// and a name can be swapped between the look and the open.
int openFolder(const std::string& path, bool create) {
    std::string name;
    const int holder = openHolder(path, name);
    if (holder < 0) return -1;
    int fd = -1;
    struct stat named {};
    if (::fstatat(holder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
        create) {
        ::mkdirat(holder, name.c_str(), 0755);
    }
    if (::fstatat(holder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        (S_ISDIR(named.st_mode) || S_ISLNK(named.st_mode)) &&
        ownerRuleAllowsOwner(holder, named.st_uid)) {
        fd = ::openat(holder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat opened {};
    if (fd >= 0 && (::fstat(fd, &opened) != 0 || !ownerRuleAllowsOwner(holder, opened.st_uid) ||
                    (S_ISDIR(named.st_mode) &&
                     (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)))) {
        ::close(fd);
        fd = -1;
    }
    ::close(holder);
    return fd;
}

}  // namespace

GameFolder::GameFolder(const std::string& path, bool create) : path_(path) {
    fd_ = openFolder(path, create);
    usable_ = fd_ >= 0;
}

GameFolder::~GameFolder() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<GameFolder::File> GameFolder::ownFiles() const {
    std::vector<File> files;
    if (!usable_) return files;
    const int listed = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (listing == nullptr) {
        if (listed >= 0) ::close(listed);
        return files;
    }
    while (const dirent* entry = ::readdir(listing)) {
        struct stat info {};
        if (::fstatat(fd_, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && ownRegular(info)) {
            files.push_back(File{
                entry->d_name,
                static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
        }
    }
    ::closedir(listing);
    return files;
}

bool GameFolder::add(const std::string& name, const std::vector<uint8_t>& bytes) const {
    if (!usable_) return false;
    removeStrayTemporaries();
    std::string temporary;
    int fd = -1;
    // Created, never opened: a name that exists, whatever it is, is passed over.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        unsigned char noise[temporaryLetters] = {};
        if (::getrandom(noise, sizeof noise, 0) != static_cast<ssize_t>(sizeof noise)) return false;
        temporary = "." + name + ".";
        for (unsigned char n : noise)
            temporary += temporaryAlphabet[n % (sizeof temporaryAlphabet - 1)];
        fd = ::openat(fd_, temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    const bool placed = written && renameWithoutReplacing(fd_, temporary.c_str(), name.c_str());
    if (!placed) {
        ::unlinkat(fd_, temporary.c_str(), 0);
        return false;
    }
    ::fsync(fd_);
    return true;
}

bool GameFolder::read(const std::string& name, std::size_t limit,
                      std::vector<uint8_t>& bytes) const {
    bytes.clear();
    if (!usable_) return false;
    const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool own = ::fstat(fd, &info) == 0 && ownRegular(info);
    while (own && bytes.size() < limit) {
        uint8_t buffer[4096];
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    ::close(fd);
    return own;
}

bool GameFolder::rename(const std::string& from, const std::string& to) const {
    return usable_ && ownRegularAt(fd_, from) &&
           renameWithoutReplacing(fd_, from.c_str(), to.c_str());
}

bool GameFolder::remove(const std::string& name) const {
    return usable_ && ownRegularAt(fd_, name) && ::unlinkat(fd_, name.c_str(), 0) == 0;
}

void GameFolder::removeStrayTemporaries() const {
    const time_t now = ::time(nullptr);
    for (const File& file : ownFiles()) {
        if (isTemporaryName(file.name.c_str()) &&
            now - file.modified / 1000000000 > strayTemporarySeconds) {
            ::unlinkat(fd_, file.name.c_str(), 0);
        }
    }
}

}  // namespace vexlorn
