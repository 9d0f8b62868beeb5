// The install search's questions answered with Windows' own error codes and
// share modes, on real files in a folder of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_system.h"
#include "base/win32_handles.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

UString Text(const fs::path& path) { return FromW(path.wstring().c_str()); }

TUniqueFile Hold(const fs::path& path, DWORD share) {
    return TUniqueFile(::CreateFileW(path.wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

TEST(FileSystemWin32, AnswersWithTheSystemsErrorCodes) {
    TTempDir dir;
    fs::create_directories(dir / "Probe");
    WriteWholeFile(dir / "Probe" / "Kelvo.exe", {'x'});
    const TPathAttributes missingFolder = PathAttributes(Text(dir / "Nowhere" / "Kelvo.exe"));
    EXPECT_FALSE(missingFolder.Found);
    EXPECT_EQ(missingFolder.Error, 3u);
    const TPathAttributes missingFile = PathAttributes(Text(dir / "Probe" / "Other.exe"));
    EXPECT_FALSE(missingFile.Found);
    EXPECT_EQ(missingFile.Error, 2u);
    const TPathEntry found = FindPathEntry(Text(dir / "Probe" / "Kelvo.exe"));
    EXPECT_TRUE(found.Found);
    EXPECT_FALSE(found.Directory);
    const TPathEntry folder = FindPathEntry(Text(dir / "Probe"));
    EXPECT_TRUE(folder.Found);
    EXPECT_TRUE(folder.Directory);
    EXPECT_EQ(OpenForReadingError(Text(dir / "Probe" / "Kelvo.exe")), 0u);
    EXPECT_EQ(OpenForReadingError(Text(dir / "Probe" / "Other.exe")), 2u);
}

TEST(FileSystemWin32, OpensBesideOtherReadersButNotBesideAnExclusiveHolder) {
    TTempDir dir;
    WriteWholeFile(dir / "shared.bin", {'x'});
    WriteWholeFile(dir / "exclusive.bin", {'x'});
    const TUniqueFile shared = Hold(dir / "shared.bin", FILE_SHARE_READ);
    const TUniqueFile exclusive = Hold(dir / "exclusive.bin", 0);
    ASSERT_TRUE(shared.Valid());
    ASSERT_TRUE(exclusive.Valid());
    EXPECT_EQ(OpenForReadingError(Text(dir / "shared.bin")), 0u);
    EXPECT_EQ(OpenForReadingError(Text(dir / "exclusive.bin")), static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
}

TEST(FileSystemWin32, ChangesAndRestoresTheErrorMode) {
    const uint32_t original = ChangeProcessErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(ChangeProcessErrorMode(original), static_cast<uint32_t>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(::GetErrorMode(), original);
}
