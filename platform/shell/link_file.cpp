// The order page's link file: which one is opened, and the web address it holds.
#include "platform/shell/link_file.h"

#include <strings.h>

#include "platform/files/regular_file.h"

namespace vexlorn {

namespace {

// Far more than any shortcut needs; a larger file is read only this far.
constexpr std::size_t maxLinkFileSize = std::size_t{64} * 1024;

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t length = std::char_traits<char>::length(prefix);
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

bool usableUrl(const std::string& url) {
    if (url.size() > maxLinkUrlLength) return false;
    std::size_t hostStart = 0;
    if (startsWithNoCase(url, "http://")) hostStart = 7;
    if (startsWithNoCase(url, "https://")) hostStart = 8;
    if (hostStart == 0 || hostStart == url.size() || url[hostStart] == '/') return false;
    for (unsigned char c : url) {
        if (isControl(c)) return false;
    }
    return true;
}

}  // namespace

std::string shortcutUrl(const std::string& text) {
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
            std::string url = line.substr(4);
            return usableUrl(url) ? url : "";
        }
    }
    return "";
}

std::string findLinkFile(const char* name, const char* besideExecutable) {
    if (pathExists(name)) return name;
    if (pathExists(besideExecutable)) return besideExecutable;
    return "";
}

std::string linkTarget(const std::string& file) {
    // One byte more than the limit shows that the file goes on.
    std::string text = readRegularFile(file.c_str(), maxLinkFileSize + 1);
    // A file longer than the limit ends in a line that may be cut: leave that line out.
    if (text.size() > maxLinkFileSize) text.erase(text.rfind('\n') + 1);
    std::string url = shortcutUrl(text);
    return url.empty() ? file : url;
}

}  // namespace vexlorn
