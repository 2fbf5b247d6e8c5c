// The settings file on Linux: in the XDG configuration directory.

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files/owner_rule.h"
#include "platform/files/settings_file.h"
#include "platform/files/shared_file.h"

namespace vexlorn {

std::string settingsFilePath(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/vexlorn/settings";
    }
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/vexlorn/settings";
    return "";
}

namespace {

const char* homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_dir : nullptr;
}

}  // namespace

std::string settingsPath() {
    return settingsFilePath(std::getenv("XDG_CONFIG_HOME"), homeDirectory());
}

SettingsRead readSettingsFile(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return SettingsRead::Damaged;
    // A neighbour's file, link or folder in a shared folder is not the player's choices.
    if (!ownerRuleAllows(path) || !ownerRuleAllows(path.substr(0, path.rfind('/')))) {
        return SettingsRead::Damaged;
    }
    // Non-blocking, so that a pipe put in its place cannot hold up the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? SettingsRead::Missing : SettingsRead::Damaged;
    struct stat status;
    bool whole =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= settingsFileLimit;
    char buffer[4096];
    while (whole) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        whole = got > 0 && long(text.size()) + got <= settingsFileLimit &&
                std::memchr(buffer, '\0', size_t(got)) == nullptr;
        if (whole) text.append(buffer, size_t(got));
    }
    ::close(fd);
    if (!whole) text.clear();
    return whole ? SettingsRead::Text : SettingsRead::Damaged;
}

static bool writeAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t part = ::write(fd, text.data() + done, text.size() - done);
        if (part <= 0) return false;
        done += size_t(part);
    }
    return true;
}

bool writeSettingsFile(const std::string& path, const std::string& text) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || !makeFoldersAsAllowed(path.substr(0, slash))) {
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool changeSettingsFile(const std::string& path, const SettingsChange& change) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || !makeFoldersAsAllowed(path.substr(0, slash))) {
        return false;
    }
    SharedFile file(path.c_str());
    return file.usable() && file.saveText(static_cast<int>(settingsFileLimit), change);
}

}  // namespace vexlorn
