// The order page's link file: which one is opened, and the web address it holds.
#include "platform/shell/link_file.h"

#include <strings.h>

#include "platform/files/owner_rule.h"
#include "platform/files/regular_file.h"

namespace vexlorn {

namespace {

// Far more than any shortcut needs; a larger file is not one.
constexpr std::size_t maxLinkFileSize = std::size_t{64} * 1024;

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t length = std::char_traits<char>::length(prefix);
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

// Printable ASCII without the space: no control characters of either set, no character that
// turns text around (U+202E) or looks like another, nothing a shell or a browser splits on.
bool isPlain(unsigned char c) {
    return c > 0x20 && c < 0x7f;
}

// The host of an address's authority (the part before the first "/", "?" or "#"), without the
// user part and the port: "" for "http://@", "https://?x", "http://user@:80".
std::string hostOf(const std::string& url, std::size_t authorityStart) {
    std::size_t end = url.find_first_of("/?#", authorityStart);
    if (end == std::string::npos) end = url.size();
    std::string host = url.substr(authorityStart, end - authorityStart);
    const std::size_t at = host.rfind('@');
    if (at != std::string::npos) host.erase(0, at + 1);
    if (!host.empty() && host[0] == '[') return host.substr(0, host.find(']') + 1);
    return host.substr(0, host.find(':'));
}

bool usableUrl(const std::string& url) {
    if (url.size() > maxLinkUrlLength) return false;
    std::size_t hostStart = 0;
    if (startsWithNoCase(url, "http://")) hostStart = 7;
    if (startsWithNoCase(url, "https://")) hostStart = 8;
    if (hostStart == 0 || hostOf(url, hostStart).empty()) return false;
    for (unsigned char c : url) {
        if (!isPlain(c)) return false;
    }
    return true;
}

// The value of the first URL= line where a shortcut keeps it; false when there is none.
bool findUrlLine(const std::string& text, std::string& url) {
    // A line before any section header counts too: hand-written link files often have none.
    bool inShortcut = true;
    std::size_t start = 0;
    // Shortcuts written on Windows may begin with a byte-order mark.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inShortcut = startsWithNoCase(line, "[InternetShortcut]");
        } else if (inShortcut && startsWithNoCase(line, "URL=")) {
            url = line.substr(4);
            return true;
        }
    }
    return false;
}

}  // namespace

std::string shortcutUrl(const std::string& text) {
    std::string url;
    return findUrlLine(text, url) && usableUrl(url) ? url : "";
}

std::string findLinkFile(const char* name, const char* besideExecutable) {
    // In a working directory others may write to, a neighbour's shortcut would send the player
    // to the neighbour's address, or hand one of the player's files to the desktop.
    if (pathExists(name) && ownerRuleAllows(name)) return name;
    if (pathExists(besideExecutable)) return besideExecutable;
    return "";
}

std::string linkTarget(const std::string& file) {
    // One byte more than the limit shows whether the file goes on.
    std::string text;
    const bool whole =
        readRegularFile(file.c_str(), maxLinkFileSize + 1, text) && text.size() <= maxLinkFileSize;
    // The desktop's own handler would open whatever URL= line the file holds, refused or not,
    // so a file that could not be read through is not handed on either.
    // Judged again where it is read: the name may have been swapped since it was chosen.
    if (!whole || !ownerRuleAllows(file)) return "";
    std::string url;
    if (!findUrlLine(text, url)) return file;
    return usableUrl(url) ? url : "";
}

}  // namespace vexlorn
