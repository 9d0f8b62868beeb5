// The install search's questions answered with Windows' own error codes and
// share modes, on real files in a folder of the test's own.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/data_flush.h"
#include "base/file_system.h"
#include "base/win32_handles.h"
#include "tests/support/import_hook_win32.h"
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

namespace {

// The owner every file answers with while a TOwnerHook lives, as SDDL ("BA"):
// under Wine every file has one owner, so the rule is driven through the hook.
const wchar_t* HookedOwner = nullptr;

DWORD WINAPI OwnerAsHooked(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID* owner, PSID*, PACL*, PACL*,
                           PSECURITY_DESCRIPTOR* descriptor) {
    const std::wstring sddl = std::wstring(L"O:") + HookedOwner;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor, nullptr)) {
        return ::GetLastError();
    }
    BOOL defaulted = FALSE;
    ::GetSecurityDescriptorOwner(*descriptor, owner, &defaulted);
    return ERROR_SUCCESS;
}

// The build's folder link, as Wine's Z: drive names it.
fs::path LinkFixture() {
    std::string path = "Z:" KELVO_LINK_FIXTURE;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

// A folder link carries the reparse-point bit, and a folder level that is one
// is held only when its owner is the Administrators group, SYSTEM or
// TrustedInstaller; a plain folder is held whoever owns it.
TEST(FileSystemWin32, AFolderLinkIsFollowedOnlyWhenAnAdministratorMadeIt) {
    const fs::path dir = LinkFixture();
    EXPECT_NE(PathAttributes(Text(dir / "link")).Attributes & kFileAttributeReparsePoint, 0u);
    const TImportHook hook("advapi32.dll", "GetSecurityInfo", reinterpret_cast<void*>(&OwnerAsHooked));
    const std::pair<const wchar_t*, bool> owners[] = {
        {L"BA", true},  // Administrators
        {L"SY", true},  // SYSTEM
        {L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},  // TrustedInstaller
        {L"S-1-5-21-1004336348-1177238915-682003330-1001", false},                  // an ordinary user
        {L"S-1-5-32-545", false},                                                   // Users
    };
    for (const auto& [owner, followed] : owners) {
        SCOPED_TRACE(fs::path(owner).string());
        HookedOwner = owner;
        for (const char* level : {"real", "link"}) {
            std::vector<TNativeFile> holds;
            UString refused;
            const uint32_t error = HoldFolderPath(Text(dir / level), holds, refused);
            for (TNativeFile hold : holds) CloseNativeFile(hold);
            const bool isLink = std::string(level) == "link";
            EXPECT_EQ(error, isLink && !followed ? kErrorUntrustedLink : 0u) << level;
            if (error != 0) {
                EXPECT_EQ(ToUtf8(refused), (dir / level).string());
            }
        }
    }
}

// The data flush answers a file whose flush failed (one opened only for
// reading cannot be flushed), and lets go of every file it was given: after
// Finish, or freed without it, each can be renamed and removed.
TEST(FileSystemWin32, TheDataFlushReportsAFailedFlushAndLetsGoOfItsFiles) {
    const TTempDir dir;
    WriteWholeFile(dir / "file.txt", {'x'});
    std::vector<TNativeFile> holds;
    UString refused;
    ASSERT_EQ(HoldFolderPath(dir.Path().u16string(), holds, refused), 0u);
    const THeldFolder folder = HeldFolder(holds.back(), dir.Path().u16string());
    for (const bool finish : {true, false}) {
        TNativeFile written = 0;
        TNativeFile readOnly = 0;
        ASSERT_EQ(OpenFileAt(folder, u"new.bin", faReadWrite, fdCreateNew, written), 0u);
        ASSERT_EQ(OpenFileAt(folder, u"file.txt", faRead, fdOpenExisting, readOnly), 0u);
        {
            TDataFlush flush;
            EXPECT_EQ(flush.Add(written, 0), 0u);
            EXPECT_EQ(flush.Add(readOnly, 1), 0u);
            CloseNativeFile(written);
            CloseNativeFile(readOnly);
            if (finish) {
                EXPECT_EQ(flush.Finish(folder), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
            }
        }
        RemoveFileAt(folder, u"new.bin");
        EXPECT_FALSE(fs::exists(dir / "new.bin")) << "finished: " << finish;
        EXPECT_EQ(ReplaceFileAt(folder, u"file.txt", u"moved.txt"), 0u) << "finished: " << finish;
        EXPECT_EQ(ReplaceFileAt(folder, u"moved.txt", u"file.txt"), 0u);
    }
    for (TNativeFile hold : holds) CloseNativeFile(hold);
}
