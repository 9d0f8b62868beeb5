#include <gtest/gtest.h>

#include "tests/updater/drive_files_win32.h"
#include "updater/file_system_win32.h"
#include "updater/install_search.h"

namespace {

std::string U8(const UString& text) { return ToUtf8(text); }

}  // namespace

TEST(SystemFileExists, TellsFilesFromFoldersAndMissingPaths) {
    TDriveFiles made;
    made.File(u"D:\\Probe\\Kelvo.exe");
    made.Folder(u"D:\\Probe\\Folder\\Kelvo.exe");
    made.File(u"D:\\Probe\\Held.bin");
    ASSERT_NE(made.Held(u"D:\\Probe\\Held.bin"), INVALID_HANDLE_VALUE);
    struct Case {
        const char16_t* path;
        bool exists;
    };
    const Case cases[] = {
        {u"D:\\Probe\\Kelvo.exe", true},
        {u"d:\\PROBE\\kelvo.EXE", true},
        {u"D:\\Probe\\Folder\\Kelvo.exe", false},
        {u"D:\\Probe\\Held.bin", true},
        {u"D:\\Probe\\Missing.exe", false},
        {u"D:\\Nowhere\\Kelvo.exe", false},
        {u"Q:\\Program Files\\Kelvo\\Kelvo.exe", false},
        {u"C:\\bad|name.txt", false},
    };
    TSystemFileSystem files;
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.path));
        EXPECT_EQ(FileExists(files, c.path), c.exists);
    }
}

TEST(SystemFileSystem, AnswersWithTheSystemsErrorCodes) {
    TDriveFiles made;
    made.File(u"E:\\Probe\\Kelvo.exe");
    TSystemFileSystem files;
    const TAttributesResult missingFolder = files.Attributes(u"E:\\Nowhere\\Kelvo.exe");
    EXPECT_FALSE(missingFolder.Found);
    EXPECT_EQ(missingFolder.Error, 3u);
    const TAttributesResult missingFile = files.Attributes(u"E:\\Probe\\Other.exe");
    EXPECT_FALSE(missingFile.Found);
    EXPECT_EQ(missingFile.Error, 2u);
    const TFindResult found = files.FindEntry(u"E:\\Probe\\Kelvo.exe");
    EXPECT_TRUE(found.Found);
    EXPECT_FALSE(found.Directory);
    const TFindResult folder = files.FindEntry(u"E:\\Probe");
    EXPECT_TRUE(folder.Found);
    EXPECT_TRUE(folder.Directory);
    EXPECT_EQ(files.OpenForReading(u"E:\\Probe\\Kelvo.exe"), 0u);
    EXPECT_EQ(files.OpenForReading(u"E:\\Probe\\Other.exe"), 2u);
}

TEST(SystemFileSystem, ChangesAndRestoresTheErrorMode) {
    TSystemFileSystem files;
    const uint32_t original = files.ChangeErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(files.ChangeErrorMode(original), static_cast<uint32_t>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(::GetErrorMode(), original);
}

TEST(SystemInstallSearch, FindsKelvoOnAMappedDriveAndSkipsDrivesIAndM) {
    TDriveFiles made;
    made.File(u"I:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    made.File(u"M:\\Program Files\\Kelvo\\Kelvo.exe");
    made.Folder(u"E:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    made.File(u"K:\\Program Files\\Kelvo\\Kelvo.exe");
    TSystemFileSystem files;
    UString probe;
    EXPECT_EQ(U8(SearchInstallation(files, probe)), "K:\\Program Files\\Kelvo\\Kelvo.exe");
}
