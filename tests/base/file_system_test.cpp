// The install search's questions to the file system, on real files in a
// folder of the test's own. The exact error codes are the system's own and
// differ between Windows and Linux: file_system_win32_test.cpp checks Windows'.
#include "base/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

UString Text(const fs::path& path) { return path.u16string(); }

class FileSystemQuestions : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(Dir / "file.txt", {'x'});
        fs::create_directories(Dir / "folder");
    }
    TTempDir Dir;
};

}  // namespace

TEST_F(FileSystemQuestions, AttributesTellFilesFromFoldersAndMissingPaths) {
    const TPathAttributes file = PathAttributes(Text(Dir / "file.txt"));
    EXPECT_TRUE(file.Found);
    EXPECT_EQ(file.Attributes & (kFileAttributeDirectory | kFileAttributeReparsePoint), 0u);
    const TPathAttributes folder = PathAttributes(Text(Dir / "folder"));
    EXPECT_TRUE(folder.Found);
    EXPECT_EQ(folder.Attributes & (kFileAttributeDirectory | kFileAttributeReparsePoint), kFileAttributeDirectory);
    const TPathAttributes missing = PathAttributes(Text(Dir / "missing.txt"));
    EXPECT_FALSE(missing.Found);
    EXPECT_NE(missing.Error, 0u);
}

TEST_F(FileSystemQuestions, FindingAnEntryTellsFilesFromFolders) {
    const TPathEntry file = FindPathEntry(Text(Dir / "file.txt"));
    EXPECT_TRUE(file.Found);
    EXPECT_FALSE(file.Directory);
    const TPathEntry folder = FindPathEntry(Text(Dir / "folder"));
    EXPECT_TRUE(folder.Found);
    EXPECT_TRUE(folder.Directory);
    EXPECT_FALSE(FindPathEntry(Text(Dir / "missing.txt")).Found);
}

TEST_F(FileSystemQuestions, OnlyAnExistingFileOpensForReading) {
    EXPECT_EQ(OpenForReadingError(Text(Dir / "file.txt")), 0u);
    EXPECT_NE(OpenForReadingError(Text(Dir / "missing.txt")), 0u);
    EXPECT_NE(OpenForReadingError(Text(Dir / "folder")), 0u);
}

TEST_F(FileSystemQuestions, TheErrorModeAnswersThePreviousOne) {
    constexpr uint32_t kNoOpenFileErrorBox = 0x8000;
    const uint32_t original = ChangeProcessErrorMode(kErrorModeFailCriticalErrors);
    EXPECT_EQ(ChangeProcessErrorMode(kNoOpenFileErrorBox), kErrorModeFailCriticalErrors);
    EXPECT_EQ(ChangeProcessErrorMode(original), kNoOpenFileErrorBox);
}

TEST_F(FileSystemQuestions, TheCurrentFolderIsTheOneMadeCurrent) {
    const TCurrentFolder here(Dir / "folder");
    EXPECT_TRUE(fs::equivalent(fs::path(CurrentFolder()), Dir / "folder"));
}

#ifndef _WIN32
// Windows' links answer for themselves: a link carries the reparse-point bit,
// and the folder bit when it leads to a folder; Linux answers the same way.
TEST_F(FileSystemQuestions, LinksAnswerForThemselves) {
    fs::create_symlink(Dir / "file.txt", Dir / "to_file");
    fs::create_directory_symlink(Dir / "folder", Dir / "to_folder");
    fs::create_symlink(Dir / "missing.txt", Dir / "dangling");
    EXPECT_EQ(PathAttributes(Text(Dir / "to_file")).Attributes, kFileAttributeReparsePoint);
    EXPECT_EQ(PathAttributes(Text(Dir / "to_folder")).Attributes, kFileAttributeReparsePoint | kFileAttributeDirectory);
    const TPathAttributes dangling = PathAttributes(Text(Dir / "dangling"));
    EXPECT_TRUE(dangling.Found);
    EXPECT_EQ(dangling.Attributes, kFileAttributeReparsePoint);
    EXPECT_NE(OpenForReadingError(Text(Dir / "dangling")), 0u);
    EXPECT_EQ(OpenForReadingError(Text(Dir / "to_file")), 0u);
}
#endif
