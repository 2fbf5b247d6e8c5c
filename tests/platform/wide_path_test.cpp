// Names in any language: the file layer, the data file and the command line with letters far
// outside ASCII and Latin-1. On Windows (the unit tests run under Wine) these go through the
// wide calls; a narrow call anywhere on the way misses the file.
#include "platform/files/wide_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/assets.h"
#include "platform/system/program_arguments.h"
#include "test_support/headless_allegro.h"
#include "test_support/temp_dir.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

// "Łukasz 张/Vexlörn Prüfung" in UTF-8, spaces included.
const std::string playerFolder = "\xc5\x81ukasz \xe5\xbc\xa0";
const std::string gameFolder =
    "Vexl\xc3\xb6rn Pr\xc3\xbc"
    "fung";

bool writeText(const std::string& path, const std::string& text) {
    std::FILE* file = openFile(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

std::string readText(const std::string& path) {
    std::string text;
    std::FILE* file = openFile(path.c_str(), "rb");
    if (file == nullptr) return text;
    char block[256];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    std::fclose(file);
    return text;
}

TEST(WidePath, FilesUnderNamesInAnyLanguageAreMadeSeenListedRenamedAndRemoved) {
    TempDir dir;
    const std::string folder = dir.path() + "/" + playerFolder + "/" + gameFolder;
    ASSERT_TRUE(makeFolders(folder));
    EXPECT_TRUE(makeFolders(folder)) << "a folder that is there already";
    EXPECT_EQ(describePath(folder.c_str()).kind, PathKind::Folder);

    const std::string first = folder + "/Zo\xc3\xab.hi";
    const std::string second = folder + "/\xd1\x80\xd0\xb0\xd1\x83\xd0\xbd\xd0\xb4.vxr";  // раунд
    ASSERT_TRUE(writeText(first, "twelve bytes"));
    const PathFacts facts = describePath(first.c_str());
    EXPECT_EQ(facts.kind, PathKind::File);
    EXPECT_EQ(facts.size, 12u);
    EXPECT_EQ(folderNames(folder), std::vector<std::string>{"Zo\xc3\xab.hi"});

    // Over a file of the new name, as the saves rely on.
    ASSERT_TRUE(writeText(second, "old"));
    ASSERT_TRUE(renameFile(first, second));
    EXPECT_EQ(describePath(first.c_str()).kind, PathKind::Missing);
    EXPECT_EQ(readText(second), "twelve bytes");

    EXPECT_TRUE(removeFile(second));
    EXPECT_FALSE(removeFile(second));
    EXPECT_TRUE(folderNames(folder).empty());
    EXPECT_EQ(describePath((folder + "/nothing").c_str()).kind, PathKind::Missing);
    EXPECT_EQ(openFile((folder + "/nothing").c_str(), "rb"), nullptr);
}

TEST(WidePath, TheDataFileLoadsFromAFolderNamedInAnyLanguage) {
    ensureHeadlessAllegro();
    TempDir dir;
    const std::string folder = dir.path() + "/" + playerFolder + "/" + gameFolder;
    ASSERT_TRUE(makeFolders(folder));
    const std::vector<unsigned char> image = TestDataFile::gameLike().image();
    const std::string path = folder + "/vexlorn-demo.dat";
    ASSERT_TRUE(writeText(path, std::string(image.begin(), image.end())));
    char error[1024] = "";
    EXPECT_TRUE(loadAssetsFrom(path.c_str(), error, sizeof error)) << error;
    freeAssets();
    // And a missing one is reported as missing, under its own name.
    const std::string missing = folder + "/gone.dat";
    EXPECT_FALSE(loadAssetsFrom(missing.c_str(), error, sizeof error));
    EXPECT_NE(std::string(error).find("is missing"), std::string::npos) << error;
    EXPECT_NE(std::string(error).find(gameFolder), std::string::npos) << error;
}

#ifdef _WIN32

TEST(WidePath, OnlyValidTextConverts) {
    EXPECT_EQ(wideFromUtf8("Zo\xc3\xab"), std::wstring(L"Zo\u00eb"));
    EXPECT_EQ(utf8FromWide(L"\u0141ukasz \u5f20"), playerFolder);
    EXPECT_EQ(utf8FromWide(std::wstring{0xD83D, 0xDE00}), "\xf0\x9f\x98\x80");
    EXPECT_EQ(wideFromUtf8("\xf0\x9f\x98\x80"), (std::wstring{0xD83D, 0xDE00}));
    // Broken UTF-8: a stray continuation byte, an overlong slash, a surrogate, a cut sequence.
    for (const char* broken : {"a\xff", "\xc0\xaf", "\xed\xa0\x80", "Zo\xc3"}) {
        EXPECT_EQ(wideFromUtf8(broken), std::wstring()) << broken;
    }
    // Halves of surrogate pairs alone, at either end and in the middle.
    for (const std::wstring& broken : {std::wstring{L'a', 0xD800}, std::wstring{0xDC00, L'a'},
                                       std::wstring{L'a', 0xDBFF, L'b'}}) {
        EXPECT_EQ(utf8FromWide(broken), std::string());
    }
    EXPECT_EQ(openFile("a\xff", "rb"), nullptr);
    EXPECT_EQ(describePath("a\xff").kind, PathKind::Missing);
}

TEST(ProgramArguments, TheWideCommandLineArrivesAsUtf8) {
    std::vector<std::string> arguments;
    std::string error;
    ASSERT_TRUE(argumentsFromCommandLine(
        L"vexlorn.exe -replay \"C:\\\u041f\u0440\u043e\u0433\u043e\u043d\u044b\\r 1.vxr\" \"\"",
        arguments, error))
        << error;
    const std::vector<std::string> expected = {
        "vexlorn.exe", "-replay",
        "C:\\\xd0\x9f\xd1\x80\xd0\xbe\xd0\xb3\xd0\xbe\xd0\xbd\xd1\x8b\\r 1.vxr", ""};
    EXPECT_EQ(arguments, expected);

    const std::wstring broken = std::wstring(L"vexlorn.exe -replay ") + wchar_t(0xD800) + L".vxr";
    EXPECT_FALSE(argumentsFromCommandLine(broken.c_str(), arguments, error));
    EXPECT_TRUE(arguments.empty());
    EXPECT_NE(error.find("Argument 2"), std::string::npos) << error;
}

#else

TEST(ProgramArguments, LinuxArgumentsArePassedOnAsTheyAre) {
    const char* const argv[] = {"vexlorn", "-replay", "Zo\xc3\xab \xff.vxr"};
    std::vector<std::string> arguments;
    std::string error;
    ASSERT_TRUE(programArguments(3, argv, arguments, error));
    EXPECT_EQ(arguments, (std::vector<std::string>{argv[0], argv[1], argv[2]}));
}

#endif

}  // namespace
}  // namespace vexlorn
