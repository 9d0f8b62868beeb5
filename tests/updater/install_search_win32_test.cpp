// The install search with the system's own answers, on the test prefix's
// drives D: to M:.
#include <gtest/gtest.h>

#include "tests/updater/drive_files_win32.h"
#include "updater/install_files.h"
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
