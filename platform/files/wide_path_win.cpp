// UTF-8 names to Windows' UTF-16 calls, through Windows' own converters.
#include <windows.h>

#include <cerrno>

#include "platform/files/wide_path.h"

namespace vexlorn {

namespace {

int errnoFromLastError() {
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        default:
            return EIO;
    }
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string utf8FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, narrow.data(), length,
                        nullptr, nullptr);
    return narrow;
}

std::FILE* openFile(const char* path, const char* mode) {
    const std::wstring name = wideFromUtf8(path);
    if (name.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(name.c_str(), wideFromUtf8(mode).c_str());
}

PathFacts describePath(const char* path) {
    PathFacts facts;
    const std::wstring name = wideFromUtf8(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (name.empty() || !GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        facts.error = name.empty() ? ENOENT : errnoFromLastError();
        facts.kind = facts.error == ENOENT ? PathKind::Missing : PathKind::Unreadable;
        return facts;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        facts.kind = PathKind::Folder;
    } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        facts.kind = PathKind::Other;
    } else {
        facts.kind = PathKind::File;
        facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return facts;
}

bool removeFile(const std::string& path) {
    const std::wstring name = wideFromUtf8(path);
    return !name.empty() && DeleteFileW(name.c_str()) != 0;
}

bool renameFile(const std::string& from, const std::string& to) {
    const std::wstring source = wideFromUtf8(from);
    const std::wstring target = wideFromUtf8(to);
    return !source.empty() && !target.empty() &&
           MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool makeFolders(const std::string& path) {
    // The drive ("C:") and a share's server and name ("\\server\share") cannot be made: their
    // failures are left to the check at the end.
    for (std::size_t at = 1; at < path.size(); ++at) {
        if (!isSeparator(path[at]) || isSeparator(path[at - 1])) continue;
        CreateDirectoryW(wideFromUtf8(path.substr(0, at)).c_str(), nullptr);
    }
    CreateDirectoryW(wideFromUtf8(path).c_str(), nullptr);
    return describePath(path.c_str()).kind == PathKind::Folder;
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    const std::wstring name = wideFromUtf8(folder);
    if (name.empty()) return names;
    WIN32_FIND_DATAW found{};
    HANDLE listing = FindFirstFileW((name + L"\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string entry = utf8FromWide(found.cFileName);
        if (!entry.empty() && entry != "." && entry != "..") names.push_back(entry);
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
    return names;
}

}  // namespace vexlorn
