// The shared file on Windows: locked, re-read and replaced.
//
// The lock is a lock file beside the shared file, made to vanish when its last handle closes:
// while one copy of the game holds it, a second one opening it waits; once the holder's handle
// is closed and the file deleted, nobody can open it again until every other handle on it is
// gone, so at most one lock file exists at a time. Locking the shared file itself would not do:
// Windows' locks are mandatory, and a copy starting meanwhile could not read it.
//
// A save re-reads the file after composing (a copy that gave up waiting for the lock may have
// saved meanwhile) and clears temporaries that killed saves left. It goes through a temporary
// written and flushed beside the file, which then replaces it
// (ReplaceFileW keeps the old file's attributes and security; MoveFileExW with write-through
// where there is no old file yet). Where no temporary can be made or the replace is refused, the
// bytes are written over the old file in place.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files/shared_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

SharedFileSeams sharedFileSeams;

namespace {

constexpr DWORD lockRetryMs = 10;
constexpr int rereadAttempts = 5;
// A save takes milliseconds: a temporary this old belongs to a save that was killed.
constexpr ULONGLONG strayTemporaryTicks = 60ULL * 10000000ULL;  // FILETIME counts 100 ns
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring wide(const std::string& path) {
    return wideFromUtf8(path);
}

// A disk file, or nothing yet: not a directory, device or pipe.
bool replaceable(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

HANDLE openLockFile(const std::string& path) {
    return CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, shareAll, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool lockFirstByte(HANDLE file) {
    OVERLAPPED at = {};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

bool writeAll(HANDLE file, const unsigned char* data, int length) {
    int written = 0;
    while (written < length) {
        DWORD part = 0;
        if (!WriteFile(file, data + written, static_cast<DWORD>(length - written), &part,
                       nullptr) ||
            part == 0) {
            return false;
        }
        written += static_cast<int>(part);
    }
    return true;
}

// "<name>.<process>.<tick count>", as writeThroughTemporary names them.
bool isOwnTemporaryName(const std::string& entry, const std::string& base) {
    if (entry.size() <= base.size() + 1 || entry.compare(0, base.size(), base) != 0 ||
        entry[base.size()] != '.') {
        return false;
    }
    int dots = 0;
    bool digitBefore = false;
    for (std::size_t at = base.size() + 1; at < entry.size(); ++at) {
        const char c = entry[at];
        if (c == '.' && digitBefore) {
            ++dots;
            digitBefore = false;
        } else if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else {
            return false;
        }
    }
    return dots == 1 && digitBefore;
}

ULONGLONG ticksOf(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

HANDLE openExisting(const std::string& path, DWORD access) {
    return CreateFileW(wide(path).c_str(), access, shareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

SharedFile::SharedFile(const char* name) : name_(name) {
    acquire();
}

SharedFile::~SharedFile() {
    release();
}

int SharedFile::openForReading(const char* name) {
    HANDLE file = openExisting(name, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return -1;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) CloseHandle(file);
    return fd;
}

bool SharedFile::acquire() {
    if (!replaceable(name_)) return false;
    const std::string lockName = name_ + ".lock";
    // A copy that hangs in the middle of its save must not keep this one from ever ending:
    // after a while the save goes on without the lock.
    const long attempts = sharedFileSeams.lockPatienceMs / static_cast<long>(lockRetryMs);
    for (long attempt = 0; attempt <= attempts; ++attempt) {
        // Refused while another copy's lock file waits to vanish; not locked while another
        // copy holds it.
        HANDLE file = openLockFile(lockName);
        if (file != INVALID_HANDLE_VALUE) {
            if (lockFirstByte(file)) {
                lockFd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
                if (lockFd_ < 0) CloseHandle(file);
                break;
            }
            CloseHandle(file);
        } else if (GetLastError() != ERROR_ACCESS_DENIED &&
                   GetLastError() != ERROR_SHARING_VIOLATION) {
            break;  // a folder that takes no lock file: the save goes on without it
        }
        Sleep(lockRetryMs);
    }
    usable_ = true;
    return true;
}

void SharedFile::release() {
    // Closing the handle lets the lock go, and the lock file with it.
    if (lockFd_ >= 0) _close(lockFd_);
    lockFd_ = -1;
    usable_ = false;
}

int SharedFile::read(unsigned char* out, int capacity) {
    HANDLE file = openExisting(name_, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return 0;
    int length = 0;
    while (length < capacity) {
        DWORD part = 0;
        if (!ReadFile(file, out + length, static_cast<DWORD>(capacity - length), &part, nullptr) ||
            part == 0) {
            break;
        }
        length += static_cast<int>(part);
    }
    CloseHandle(file);
    return length;
}

bool SharedFile::save(int size, const ComposeFile& compose) {
    if (!usable_) return false;
    removeStrayTemporaries(size);
    std::vector<unsigned char> current(static_cast<size_t>(size));
    std::vector<unsigned char> again(static_cast<size_t>(size));
    std::vector<unsigned char> image(static_cast<size_t>(size));
    int length = read(current.data(), size);
    for (int look = 1;; ++look) {
        compose(current.data(), length, image.data());
        if (sharedFileSeams.beforeReplace != nullptr) sharedFileSeams.beforeReplace();
        // Another copy that gave up waiting for the lock may have saved meanwhile: what it
        // wrote is the table to add this run's entries to, or they would wipe its own.
        const int now = read(again.data(), size);
        const bool unchanged =
            now == length && std::equal(again.begin(), again.begin() + now, current.begin());
        if (unchanged || look == rereadAttempts) break;
        current.swap(again);
        length = now;
    }
    return replace(image.data(), size);
}

bool SharedFile::saveText(int limit, const ComposeText& compose) {
    if (!usable_) return false;
    std::vector<unsigned char> current(static_cast<size_t>(limit) + 1);
    const int length = read(current.data(), limit + 1);
    std::string image;
    if (!compose(std::string(current.begin(), current.begin() + length), image)) return false;
    if (sharedFileSeams.beforeReplace != nullptr) sharedFileSeams.beforeReplace();
    return replace(reinterpret_cast<const unsigned char*>(image.data()),
                   static_cast<int>(image.size()));
}

// Temporaries of saves killed on their way (a crash, a power cut): old enough that no save can
// still be writing them, and no larger than a save writes.
void SharedFile::removeStrayTemporaries(int size) const {
    const std::size_t slash = name_.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : name_.substr(0, slash + 1);
    const std::string base = name_.substr(folder.size());
    WIN32_FIND_DATAW found = {};
    HANDLE listing = FindFirstFileW(wide(name_ + ".*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    do {
        const std::string entry = utf8FromWide(found.cFileName);
        const bool plainFile = (found.dwFileAttributes &
                                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        const bool old = ticksOf(now) > ticksOf(found.ftLastWriteTime) + strayTemporaryTicks;
        if (plainFile && old && found.nFileSizeHigh == 0 &&
            found.nFileSizeLow <= static_cast<DWORD>(size) && isOwnTemporaryName(entry, base)) {
            DeleteFileW(wide(folder + entry).c_str());
        }
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
}

bool SharedFile::replace(const unsigned char* data, int length) const {
    bool fallBack = false;
    if (writeThroughTemporary(data, length, fallBack)) return true;
    // A failed write of the temporary (a full disk) leaves the old file as it was.
    return fallBack && writeInPlace(data, length);
}

bool SharedFile::writeThroughTemporary(const unsigned char* data, int length,
                                       bool& fallBack) const {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%lu.%lu", GetCurrentProcessId(), GetTickCount());
    const std::wstring temporary = wide(name_ + suffix);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fallBack = true;
        return false;
    }
    bool written = writeAll(file, data, length) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
    const std::wstring target = wide(name_);
    // ReplaceFileW needs a file to replace; the first save moves the temporary into place.
    if (written && (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                    MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
        return true;
    }
    fallBack = written;
    DeleteFileW(temporary.c_str());
    return false;
}

// The one way a crash could damage the file, and only where the alternative is to lose the
// run's scores.
bool SharedFile::writeInPlace(const unsigned char* data, int length) const {
    HANDLE file = openExisting(name_, GENERIC_WRITE);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = writeAll(file, data, length) && SetEndOfFile(file) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
    return written;
}

}  // namespace vexlorn
