#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/current_folder.h"
#include "tests/support/import_hook_win32.h"
#include "tests/support/temp_dir.h"
#include "base/system_library_win32.h"

namespace fs = std::filesystem;

namespace {

// The planted DLL of the end-to-end scenario, as Wine's Z: drive names it; it
// writes NAME.loaded beside itself when loaded.
fs::path PlantedLibrary() {
    std::string path = "Z:" KELVO_PLANTED_LIBRARY;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.rfind(L'\\'));
    ::CharLowerW(folder.data());
    return folder;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    ::CharLowerW(folder);
    return std::wstring(folder, length);
}

}  // namespace

TEST(SystemLibrary, LoadsFromTheSystemFolderWithAndWithoutSearchFlags) {
    for (const auto load : {LoadSystemLibrary, LoadSystemLibraryByPath}) {
        const TUniqueModule theme = load(L"uxtheme.dll");
        ASSERT_TRUE(theme.Valid());
        EXPECT_EQ(FolderOf(theme.Get()), SystemFolder());
        EXPECT_FALSE(load(L"no-such-library.dll").Valid());
    }
}

TEST(SystemLibrary, NeverLoadsALibraryOfTheNameFromTheCurrentFolder) {
    TTempDir dir;
    fs::copy_file(PlantedLibrary(), dir / "kelvo_planted.dll");
    TCurrentFolder current(dir.Path());
    EXPECT_FALSE(LoadSystemLibrary(L"kelvo_planted.dll").Valid());
    EXPECT_FALSE(LoadSystemLibraryByPath(L"kelvo_planted.dll").Valid());
    EXPECT_FALSE(fs::exists(dir / "kelvo_planted.dll.loaded"));
    // The plain search of this test program does look there: the library is loadable.
    const TUniqueModule plain(::LoadLibraryW(L"kelvo_planted.dll"));
    EXPECT_TRUE(plain.Valid());
    EXPECT_TRUE(fs::exists(dir / "kelvo_planted.dll.loaded"));
}

namespace {

struct TPolicyCall {
    int Calls = 0;
    int Policy = -1;
    DWORD Flags = 0;
    SIZE_T Size = 0;
};
TPolicyCall PolicyCall;

BOOL WINAPI RecordPolicy(int policy, PVOID buffer, SIZE_T size) {
    ++PolicyCall.Calls;
    PolicyCall.Policy = policy;
    PolicyCall.Size = size;
    std::memcpy(&PolicyCall.Flags, buffer, sizeof PolicyCall.Flags);
    return FALSE;  // refused, as Windows before 10 22H2 refuses the policy: nothing may change
}

}  // namespace

// The redirection trust policy is asked for by run-time look-up, enforcing;
// where the system lacks the function or refuses the policy the step does nothing more.
TEST(SystemLibrary, AsksToFollowOnlyAdministratorsLinksWhereTheSystemOffersIt) {
    {
        const TLibraryEntryHook hook("SetProcessMitigationPolicy", reinterpret_cast<void*>(&RecordPolicy));
        TrustOnlyAdministratorsLinks();
    }
    EXPECT_EQ(PolicyCall.Calls, 1);
    EXPECT_EQ(PolicyCall.Policy, 16);  // ProcessRedirectionTrustPolicy
    EXPECT_EQ(PolicyCall.Flags, 1u);   // EnforceRedirectionTrust
    EXPECT_EQ(PolicyCall.Size, sizeof(DWORD));
    const TLibraryEntryHook missing("SetProcessMitigationPolicy", nullptr);
    TrustOnlyAdministratorsLinks();  // Windows 7: no such function, and no failure
    EXPECT_EQ(PolicyCall.Calls, 1);
}
