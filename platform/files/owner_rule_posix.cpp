// The owner rule on POSIX systems, from the owners and modes that stat reports.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/owner_rule.h"

namespace vexlorn {

namespace {

bool othersMayWrite(const struct stat& folder) {
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameIn(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The rule for one name in the folder it is written in.
bool allowsOne(const std::string& path) {
    const int folder = ::open(folderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return errno == ENOENT;
    const bool allowed = ownerRuleAllowsAt(folder, nameIn(path).c_str());
    ::close(folder);
    return allowed;
}

}  // namespace

bool ownerRuleAllowsOwner(int folder, unsigned long owner) {
    struct stat holder {};
    if (::fstat(folder, &holder) != 0) return false;
    return !othersMayWrite(holder) || owner == ::geteuid() || owner == holder.st_uid;
}

bool ownerRuleAllowsAt(int folder, const char* name) {
    struct stat entry {};
    if (::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    return ownerRuleAllowsOwner(folder, entry.st_uid);
}

bool ownerRuleAllows(const std::string& path) {
    std::string at = path;
    // The kernel's own limit on links in one name.
    for (int hop = 0; hop <= 40; ++hop) {
        if (!allowsOne(at)) return false;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(at.c_str(), target, sizeof target - 1);
        if (length < 0) return errno == EINVAL || errno == ENOENT;  // not a link: judged
        target[length] = '\0';
        at = target[0] == '/' ? std::string(target) : folderOf(at) + "/" + target;
    }
    return false;
}

bool makeFoldersAsAllowed(const std::string& dir) {
    if (dir.empty()) return false;
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string folder = dir.substr(0, slash);
        if ((::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) || !ownerRuleAllows(folder)) {
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace vexlorn
