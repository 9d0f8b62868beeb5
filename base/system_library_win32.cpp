#include "base/system_library_win32.h"

// The executable's load configuration. Its dependent-load flags (the field
// the mingw headers still call Reserved1) make Windows 10 1607 and later look
// for the static imports in the system folder only, before any code of ours
// runs. It sits beside RestrictLibrarySearch so that each program calling the
// step links it. Newer linkers register it in the PE header by its name; ours
// does not, so it has a section of its own, which a step after the link
// registers (cmake/pe_load_config.py).
namespace {
constexpr IMAGE_LOAD_CONFIG_DIRECTORY SystemFolderImports() {
    IMAGE_LOAD_CONFIG_DIRECTORY config{};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return config;
}
}  // namespace

extern "C" __attribute__((section(".kcfg"))) const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used =
    SystemFolderImports();

namespace {

HMODULE Kernel32() { return ::GetModuleHandleW(L"kernel32.dll"); }

// SearchFlagsAvailable: the loader takes LOAD_LIBRARY_SEARCH_* flags (Windows 8,
// or Windows 7 with its loader update); AddDllDirectory came with them.
bool SearchFlagsAvailable() { return ::GetProcAddress(Kernel32(), "AddDllDirectory") != nullptr; }

}  // namespace

void RestrictLibrarySearch() {
    // Looked up: a static import of it would stop the program on systems without it.
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDefault = LibraryEntry<TSetDefaultDllDirectories>(Kernel32(), "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

void TrustOnlyAdministratorsLinks() {
    // ProcessRedirectionTrustPolicy, with PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY's
    // EnforceRedirectionTrust bit; both newer than the headers we build with.
    constexpr int kRedirectionTrustPolicy = 16;
    constexpr DWORD kEnforceRedirectionTrust = 1;
    // Looked up: Windows 7 has no SetProcessMitigationPolicy.
    using TSetProcessMitigationPolicy = BOOL(WINAPI*)(int, PVOID, SIZE_T);
    const auto setPolicy = LibraryEntry<TSetProcessMitigationPolicy>(Kernel32(), "SetProcessMitigationPolicy");
    DWORD flags = kEnforceRedirectionTrust;
    if (setPolicy) setPolicy(kRedirectionTrustPolicy, &flags, sizeof flags);
}

TUniqueModule LoadSystemLibrary(const wchar_t* name) {
    if (!SearchFlagsAvailable()) return LoadSystemLibraryByPath(name);
    return TUniqueModule(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

TUniqueModule LoadSystemLibraryByPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TUniqueModule();
    const UString path = FromW(folder, length) + u"\\" + FromW(name);
    // The altered search path looks for the library's own imports beside it.
    return TUniqueModule(::LoadLibraryExW(W(path), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
