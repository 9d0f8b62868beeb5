// Windows only: replacing a target that another handle holds without sharing
// or that has attributes in the way, and a drive that does not exist.
#include <gtest/gtest.h>
#include <windows.h>

#include "archive/zip_texts.h"
#include "tests/archive/support/update_run.h"
#include "tests/support/expect_raises.h"
#include "base/system_text.h"
#include "base/win32_handles.h"

namespace fs = std::filesystem;

TEST(ExtractWin32, ATargetHeldOpenWithoutSharingFailsAndKeepsItsContent) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "Kelvo.exe", "running program");
    const UString target = U(f.Out() / "Kelvo.exe");
    TUniqueFile held(::CreateFileW(W(target), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.Valid());
    ExpectRaises<EFCreateError>(
        [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add("Kelvo.exe", "new program", 8).Add("c.txt", "x").Build()); },
        Format(kCannotCreateFile, {target, SystemErrorText(ERROR_SHARING_VIOLATION)}));
    held.Reset();
    EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "running program");
    EXPECT_EQ(ReadText(f.Out() / "a.txt"), "first");
    EXPECT_FALSE(fs::exists(f.Out() / "c.txt"));
    EXPECT_EQ(EntriesBelow(f.Out()), 2);  // no temporary left
}

// CreateFileW with CREATE_ALWAYS and normal attributes refuses a read-only
// file, and a hidden or system one: the run stops there, before anything is
// written or replaced, and the file keeps its content and attributes.
TEST(ExtractWin32, AHiddenSystemOrReadOnlyFileInTheWayStopsTheRunAndStaysAsItWas) {
    struct Case { const char* name; DWORD attributes; };
    const Case cases[] = {
        {"hidden", FILE_ATTRIBUTE_HIDDEN},
        {"system", FILE_ATTRIBUTE_SYSTEM},
        {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"read-only", FILE_ATTRIBUTE_READONLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TUpdateFolder f;
        fs::create_directories(f.Out());
        WriteText(f.Out() / "Kelvo.exe", "old program");
        const UString target = U(f.Out() / "Kelvo.exe");
        ASSERT_TRUE(::SetFileAttributesW(W(target), c.attributes | FILE_ATTRIBUTE_ARCHIVE));
        const DWORD before = ::GetFileAttributesW(W(target));
        ExpectRaises<EFCreateError>(
            [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add("Kelvo.exe", "new", 8).Add("c.txt", "x").Build()); },
            Format(kCannotCreateFile, {target, SystemErrorText(ERROR_ACCESS_DENIED)}));
        EXPECT_EQ(::GetFileAttributesW(W(target)), before);
        ::SetFileAttributesW(W(target), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
        EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "old program");
        EXPECT_EQ(ReadText(f.Out() / "a.txt"), "first");
        EXPECT_FALSE(fs::exists(f.Out() / "c.txt"));
        EXPECT_EQ(EntriesBelow(f.Out()), 2);  // no temporary left
    }
}

TEST(ExtractWin32, TheArchiveHeldOpenCannotBeOpened) {
    TTempDir dir;
    WriteWholeFile(dir / "Data.dat", ZipBuilder().Add("a.txt", "x").Build());
    const UString archive = U(dir / "Data.dat");
    TUniqueFile held(::CreateFileW(W(archive), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.Valid());
    TZipFile zip;
    ExpectRaises<EFOpenError>([&] { zip.Open(archive, zmReadWrite); },
                              Format(kCannotOpenFile, {archive, SystemErrorText(ERROR_SHARING_VIOLATION)}));
}

TEST(ExtractWin32, TheArchiveIsOpenedWithoutSharingEitherWay) {
    TTempDir dir;
    WriteWholeFile(dir / "Data.dat", ZipBuilder().Add("a.txt", "x").Build());
    const UString archive = U(dir / "Data.dat");
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    {
        // While the container holds it, no other open succeeds, not even one that shares everything.
        TZipFile zip;
        zip.Open(archive, zmReadWrite);
        TUniqueFile other(::CreateFileW(W(archive), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_FALSE(other.Valid());
        EXPECT_EQ(::GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    // Someone reading it with full sharing makes the open fail: the container shares nothing.
    TUniqueFile reader(::CreateFileW(W(archive), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.Valid());
    TZipFile zip;
    ExpectRaises<EFOpenError>([&] { zip.Open(archive, zmReadWrite); },
                              Format(kCannotOpenFile, {archive, SystemErrorText(ERROR_SHARING_VIOLATION)}));
}

TEST(ExtractWin32, AMissingDriveCannotBeFound) {
    RegisterDefaultCompressionHandlers();
    ASSERT_EQ(::GetLogicalDrives() & (1u << ('Q' - 'A')), 0u) << "drive Q: exists here";
    TBytesStream stream(ZipBuilder().Add("a.txt", "x").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    ExpectRaises<EDirectoryNotFoundException>([&] { zip.ExtractAll(u"Q:\\Kelvo\\"); }, UString(kDriveNotFound));
}

TEST(ExtractWin32, NamesDecodeAsTheSystemDecodesThem) {
    TTestEntry cp437;
    cp437.Name = "\x80\x9B\xE4\xFF.txt";
    cp437.Flag = 0;
    TBytesStream stream(ZipBuilder().Add(cp437).Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(zip.FileName(0), u"\u00C7\u00A2\u03A3\u00A0.txt");
}
