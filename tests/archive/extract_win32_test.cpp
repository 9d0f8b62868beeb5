// Windows only: replacing a target that another handle holds without sharing
// or that has attributes in the way, and a drive that does not exist.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "archive/zip_texts.h"
#include "tests/archive/support/update_run.h"
#include "tests/support/expect_raises.h"
#include "tests/support/import_hook_win32.h"
#include "base/system_text.h"
#include "base/win32_handles.h"

namespace fs = std::filesystem;

// A file in use at the end of the update (a running Kelvo holds it): the run
// stops there and the installation is as it was.
TEST(ExtractWin32, ATargetHeldOpenWithoutSharingStopsTheRunAndChangesNothing) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "Kelvo.exe", "running program");
    WriteText(f.Out() / "a.txt", "old first");
    const auto before = Tree(f.Out());
    const UString target = U(f.Out() / "Kelvo.exe");
    TUniqueFile held(::CreateFileW(W(target), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.Valid());
    ExpectRaises<EFCreateError>(
        [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add("sub/c.txt", "x").Add("Kelvo.exe", "new program", 8).Build()); },
        Format(kCannotCreateFile, {target, SystemErrorText(ERROR_SHARING_VIOLATION)}));
    held.Reset();
    EXPECT_EQ(Tree(f.Out()), before);
}

// What CREATE_ALWAYS keeps of a replaced file and a rename would lose: its
// name as spelled on disk, its security and its creation time. ReplaceFileW
// keeps the last two on Windows (Wine keeps no creation time of its own, so
// the test sees the request): it is asked for the file as the folder spells it.
std::vector<std::u16string> GReplaced;
void* GReplaceFileW = nullptr;  // the system's, while hooked
BOOL WINAPI RecordReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                               LPVOID reserved) {
    GReplaced.push_back(reinterpret_cast<const char16_t*>(replaced));
    decltype(&::ReplaceFileW) original = nullptr;
    std::memcpy(&original, &GReplaceFileW, sizeof original);
    return original(replaced, replacement, backup, flags, exclude, reserved);
}

TEST(ExtractWin32, AReplacedFileKeepsItsSpellingAndIsReplacedByReplaceFileW) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "Kelvo.exe", "old program");
    GReplaced.clear();
    {
        TImportHook hook("kernel32.dll", "ReplaceFileW", reinterpret_cast<void*>(&RecordReplaceFileW));
        GReplaceFileW = hook.Original();
        f.Run(ZipBuilder().Add("kelvo.exe", "new program", 8).Build());
    }
    ASSERT_EQ(GReplaced.size(), 1u);
    EXPECT_EQ(ToUtf8(GReplaced[0]), ToUtf8(U(f.Out() / "Kelvo.exe")));
    WIN32_FIND_DATAW found{};
    const TUniqueFind find(::FindFirstFileW(W(U(f.Out() / "Kelvo.exe")), &found));
    ASSERT_TRUE(find.Valid());
    EXPECT_EQ(ToUtf8(FromW(found.cFileName)), "Kelvo.exe");
    EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "new program");
    EXPECT_EQ(EntriesBelow(f.Out()), 1);
}

// A target whose own path is legal is updated even where the staged file's
// and the old copy's longer names beside it pass 259 characters. Wine opens
// long paths that Windows refuses, so CreateFileW here refuses them as
// Windows does (ERROR_FILENAME_EXCED_RANGE) unless they have the "\\?\" form.
void* GCreateFileW = nullptr;  // the system's, while hooked
HANDLE WINAPI CreateFileWithinMaxPath(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                      DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (std::wcslen(name) >= MAX_PATH && std::wcsncmp(name, L"\\\\?\\", 4) != 0) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    decltype(&::CreateFileW) original = nullptr;
    std::memcpy(&original, &GCreateFileW, sizeof original);
    return original(name, access, share, security, disposition, flags, templateFile);
}

TEST(ExtractWin32, ATargetOfALegalLengthIsUpdatedWhateverTheHelperNamesLength) {
    TUpdateFolder f;
    const size_t base = U(f.Out()).size() + 1;
    ASSERT_LT(base, 200u) << "the test folder's path is too long for this test";
    const std::string deep(245 - base, 'd');  // the folder's full path: 245 characters
    fs::create_directories(f.Out() / deep);
    WriteText(f.Out() / deep / "a.dll", "old library");
    {
        TImportHook hook("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(&CreateFileWithinMaxPath));
        GCreateFileW = hook.Original();
        f.Run(ZipBuilder().Add(deep + "/a.dll", "new library").Add(deep + "/b.dll", "new too").Build());
    }
    EXPECT_EQ(ReadText(f.Out() / deep / "a.dll"), "new library");
    EXPECT_EQ(ReadText(f.Out() / deep / "b.dll"), "new too");
    EXPECT_EQ(EntriesBelow(f.Out()), 3);
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
        EXPECT_EQ(EntriesBelow(f.Out()), 1);  // a.txt was only staged; no staged file left
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
