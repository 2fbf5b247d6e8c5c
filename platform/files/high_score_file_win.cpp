// Locking, re-reading and replacing the hall-of-fame file on Windows.
//
// The lock is a lock file beside the hall of fame, made to vanish when its last handle closes:
// while one copy of the game holds it, a second one opening it waits; once the holder's handle
// is closed and the file deleted, nobody can open it again until every other handle on it is
// gone, so at most one lock file exists at a time. Locking the hall of fame itself would not do:
// Windows' locks are mandatory, and a copy starting meanwhile could not read the table.
//
// The save goes through a temporary written and flushed beside the file, which then replaces
// it (ReplaceFileW keeps the old file's attributes and security; MoveFileExW with write-through
// where there is no old file). Where no temporary can be made or the replace is refused, the
// bytes are written over the old file in place.
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/files/high_score_file.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

namespace {

// A copy that hangs in the middle of its save must not keep this one from ever ending: after
// three seconds the save goes on without the lock.
constexpr int lockAttempts = 300;
constexpr DWORD lockRetryMs = 10;

std::wstring wide(const char* path) {
    return wideFromUtf8(path);
}

// A disk file (not a directory, device or pipe) or nothing at all may be replaced.
bool replaceable(const char* path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

HANDLE openLockFile(const char* path) {
    return CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool lockWhole(HANDLE file) {
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

}  // namespace

HighScoreFile::HighScoreFile(const char* name) {
    if (std::snprintf(path_, sizeof path_, "%s", name) >= static_cast<int>(sizeof path_)) return;
    if (std::snprintf(lockPath_, sizeof lockPath_, "%s.lock", name) >=
        static_cast<int>(sizeof lockPath_)) {
        return;
    }
    if (replaceable(path_)) lock();
}

HighScoreFile::~HighScoreFile() {
    releaseLockFile();
}

void HighScoreFile::lock() {
    for (int attempt = 0; attempt < lockAttempts; ++attempt) {
        // Refused while another copy's lock file waits to vanish, and while another holds it.
        HANDLE file = openLockFile(lockPath_);
        if (file != INVALID_HANDLE_VALUE) {
            if (lockWhole(file)) {
                lockFd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
                usable_ = true;
                return;
            }
            CloseHandle(file);
        } else if (GetLastError() != ERROR_ACCESS_DENIED &&
                   GetLastError() != ERROR_SHARING_VIOLATION) {
            break;  // a folder that takes no lock file: the save goes on without it
        }
        Sleep(lockRetryMs);
    }
    usable_ = true;
}

bool HighScoreFile::lockFile(bool) {
    return false;
}

void HighScoreFile::lockBeside(bool) {}

void HighScoreFile::releaseLockFile() {
    if (lockFd_ < 0) return;
    _close(lockFd_);  // closes the handle: the lock goes, and the lock file with it
    lockFd_ = -1;
}

int HighScoreFile::read(unsigned char* out, int capacity) const {
    HANDLE file = CreateFileW(wide(path_).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool HighScoreFile::write(const unsigned char* data, int length) {
    if (!usable_) return false;
    bool noTemporary = false;
    if (writeThroughTemporary(data, length, noTemporary)) return true;
    return writeInPlace(data, length);
}

bool HighScoreFile::writeThroughTemporary(const unsigned char* data, int length,
                                          bool& noTemporary) const {
    char temporary[PATH_MAX];
    std::snprintf(temporary, sizeof temporary, "%s.%lu.%lu", path_, GetCurrentProcessId(),
                  GetTickCount());
    const std::wstring temporaryName = wide(temporary);
    HANDLE file = CreateFileW(temporaryName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        noTemporary = true;
        return false;
    }
    bool written = writeAll(file, data, length) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
    const std::wstring target = wide(path_);
    // ReplaceFileW needs a file to replace; the first save moves the temporary into place.
    const bool replaced =
        written && (ReplaceFileW(target.c_str(), temporaryName.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                    MoveFileExW(temporaryName.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!replaced) DeleteFileW(temporaryName.c_str());
    return replaced;
}

void HighScoreFile::takeOldModeAndOwner(int) const {}

// The one way a crash could damage the file, and only where the alternative is to lose the
// run's scores on every exit.
bool HighScoreFile::writeInPlace(const unsigned char* data, int length) const {
    HANDLE file = CreateFileW(wide(path_).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = writeAll(file, data, length) && SetEndOfFile(file) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
    return written;
}

}  // namespace vexlorn
