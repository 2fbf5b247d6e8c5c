// Where the desktop launch keeps the hall of fame: the user's XDG data directory. A launch from
// the menu starts in the home directory, where the file would lie loose among the player's own.
#include "frame/data_home.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "screens/high_scores.h"

namespace vexlorn {

namespace {

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
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

// For a data directory on another file system: the old file goes only once its copy is whole.
bool copyThenRemove(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool copied = copyAll(in, out) && ::fsync(out) == 0;
    copied = ::close(out) == 0 && copied;
    ::close(in);
    if (!copied) {
        ::unlink(to.c_str());
        return false;
    }
    return ::unlink(from.c_str()) == 0;
}

// A hard link cannot replace an existing file, which a rename would do silently.
void moveUnlessPresent(const std::string& from, const std::string& to) {
    struct stat status;
    if (::lstat(from.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return;
    }
    if (errno != EEXIST) copyThenRemove(from, to);
}

}  // namespace

bool makeDirectories(const std::string& dir) {
    for (std::size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        if (::mkdir(dir.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

const char* homeDirectory() {
    const char* home = std::getenv("HOME");
    if (isAbsolute(home)) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_dir : nullptr;
}

std::string dataHomeDirectory(const char* xdgDataHome, const char* home) {
    if (isAbsolute(xdgDataHome)) return std::string(xdgDataHome) + "/vexlorn";
    if (isAbsolute(home)) return std::string(home) + "/.local/share/vexlorn";
    return "";
}

bool enterDataHome(const std::string& dir, const std::string& oldFile) {
    if (dir.empty() || !makeDirectories(dir)) return false;
    if (!oldFile.empty()) moveUnlessPresent(oldFile, dir + "/" + highScoreFileName);
    return ::chdir(dir.c_str()) == 0;
}

void enterUserDataHome() {
    const char* home = homeDirectory();
    std::string oldFile = isAbsolute(home) ? std::string(home) + "/" + highScoreFileName : "";
    enterDataHome(dataHomeDirectory(std::getenv("XDG_DATA_HOME"), home), oldFile);
}

}  // namespace vexlorn
