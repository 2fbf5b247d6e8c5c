// Where the desktop launch keeps the hall of fame on Linux: the user's XDG data directory. A
// launch from the menu starts in the home directory, where the file would lie loose among the
// player's own.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/files/data_home.h"
#include "platform/files/owner_rule.h"
#include "platform/input/pads.h"

namespace vexlorn {

namespace {

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

// A hall of fame is 160 bytes; anything this much larger is not one.
constexpr off_t largestOldFile = off_t{64} * 1024;

bool isOldFile(const struct stat& status) {
    return S_ISREG(status.st_mode) && status.st_size <= largestOldFile;
}

bool copyAll(int from, int to) {
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) return false;
        for (ssize_t written = 0; written < got;) {
            ssize_t part = ::write(to, buffer + written, static_cast<size_t>(got - written));
            if (part <= 0) return false;
            written += part;
        }
    }
}

// For a data directory on another file system: copied under a temporary name and linked into
// place only once whole, so that a copy that fails or is cut short leaves no target (which would
// stop the move for good); the old file goes only after that.
void copyThenRemove(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return;
    struct stat status;
    std::string temporary = to + ".XXXXXX";
    int out = -1;
    if (::fstat(in, &status) == 0 && isOldFile(status)) out = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return;
    }
    ::fchmod(out, status.st_mode & 0777);
    bool copied = copyAll(in, out) && ::fsync(out) == 0;
    copied = ::close(out) == 0 && copied;
    ::close(in);
    copied = copied && ::link(temporary.c_str(), to.c_str()) == 0;
    ::unlink(temporary.c_str());
    if (copied) ::unlink(from.c_str());
}

// A hard link cannot replace an existing file, which a rename would do silently.
void moveUnlessPresent(const std::string& from, const std::string& to) {
    struct stat status;
    if (::lstat(from.c_str(), &status) != 0 || !isOldFile(status) || !ownerRuleAllows(from)) {
        return;
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return;
    }
    if (errno != EEXIST) copyThenRemove(from, to);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* homeDirectory() {
    const char* home = std::getenv("HOME");
    if (isAbsolute(home)) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_dir : nullptr;
}

}  // namespace

std::string dataHomeDirectory(const char* xdgDataHome, const char* home) {
    if (isAbsolute(xdgDataHome)) return std::string(xdgDataHome) + "/vexlorn";
    if (isAbsolute(home)) return std::string(home) + "/.local/share/vexlorn";
    return "";
}

bool enterDataHome(const std::string& dir, const std::string& oldFile) {
    if (dir.empty() || !makeFoldersAsAllowed(dir)) return false;
    if (!oldFile.empty()) moveUnlessPresent(oldFile, dir + "/" + fileNameOf(oldFile));
    return ::chdir(dir.c_str()) == 0;
}

bool enterUserDataHome(const char* fileName) {
    const char* home = homeDirectory();
    std::string oldFile = isAbsolute(home) ? std::string(home) + "/" + fileName : "";
    return enterDataHome(dataHomeDirectory(std::getenv("XDG_DATA_HOME"), home), oldFile);
}

std::string padMappingFile() {
    return padMappingPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace vexlorn
