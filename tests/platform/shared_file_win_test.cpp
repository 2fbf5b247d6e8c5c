// The shared file's save on Windows (Linux has its own in tests/reliability): a save that went on
// without the lock re-reads and merges with what another copy saved meanwhile, and temporaries
// that killed saves left are cleared, the player's own files kept.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/files/shared_file.h"
#include "platform/files/wide_path.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

constexpr int tableSize = 8;

std::string contents(const std::string& path) {
    std::string text;
    if (std::FILE* file = openFile(path.c_str(), "rb")) {
        char block[64];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
        std::fclose(file);
    }
    return text;
}

void put(const std::string& path, const std::string& text, int ageSeconds = 0) {
    std::FILE* file = openFile(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    if (ageSeconds == 0) return;
    HANDLE handle = CreateFileW(wideFromUtf8(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER then;
    then.LowPart = now.dwLowDateTime;
    then.HighPart = now.dwHighDateTime;
    then.QuadPart -= static_cast<ULONGLONG>(ageSeconds) * 10000000ULL;
    FILETIME old = {then.LowPart, then.HighPart};
    SetFileTime(handle, nullptr, nullptr, &old);
    CloseHandle(handle);
}

// A table of letters: each save adds its own to what the file holds.
ComposeFile adding(char letter) {
    return [letter](const unsigned char* current, int length, unsigned char* image) {
        std::string table(reinterpret_cast<const char*>(current), static_cast<size_t>(length));
        table += letter;
        table.resize(tableSize, '.');
        std::copy(table.begin(), table.end(), image);
    };
}

std::string otherCopysFile;

// Another copy, which stopped waiting for the lock, saves between this one's read and replace.
void anotherCopySaves() {
    put(otherCopysFile, "o");
    sharedFileSeams.beforeReplace = nullptr;
}

TEST(SharedFileWindows, AStalledSaveMergesWithTheSaveAnotherCopyMadeMeanwhile) {
    TempDir dir;
    otherCopysFile = dir.path() + "/Zo\xc3\xab.hi";
    {
        SharedFile file(otherCopysFile.c_str());
        ASSERT_TRUE(file.usable());
        sharedFileSeams.beforeReplace = anotherCopySaves;
        EXPECT_TRUE(file.save(tableSize, adding('m')));
        sharedFileSeams = SharedFileSeams{};
    }
    EXPECT_EQ(contents(otherCopysFile), "om......");
}

TEST(SharedFileWindows, OldTemporariesOfKilledSavesAreRemovedOthersKept) {
    TempDir dir;
    const std::string name = dir.path() + "/vexlorn.hi";
    put(name + ".1234.98765", std::string(tableSize, 'x'), 120);  // a killed save's
    put(name + ".77.1", "", 120);                                 // killed before it wrote
    put(name + ".1234.98766", std::string(tableSize, 'x'), 5);    // perhaps saving now
    put(name + ".old", std::string(tableSize, 'x'), 120);         // the player's own files
    put(name + ".1.backup", std::string(tableSize, 'x'), 120);
    put(name + ".1234.5", std::string(4096, 'x'), 120);  // larger than any save
    {
        SharedFile file(name.c_str());
        EXPECT_TRUE(file.save(tableSize, adding('n')));
    }
    EXPECT_EQ(contents(name), "n.......");
    for (const char* gone : {".1234.98765", ".77.1"}) {
        EXPECT_EQ(describePath((name + gone).c_str()).kind, PathKind::Missing) << gone;
    }
    for (const char* kept : {".1234.98766", ".old", ".1.backup", ".1234.5"}) {
        EXPECT_EQ(describePath((name + kept).c_str()).kind, PathKind::File) << kept;
    }
}

}  // namespace
}  // namespace vexlorn
#endif
