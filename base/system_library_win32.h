// Where this process loads libraries from. The updater runs as administrator
// and is started from wherever the user put it, often a downloads folder full
// of files nobody chose: a DLL lying there under a system library's name must
// never run. Libraries come from the system folder only.
#pragma once

#include <windows.h>

#include <cstring>

#include "base/win32_handles.h"

// RestrictLibrarySearch is the first start-up step of each program: every
// later load by name, ours or a system library's, searches the system folder
// only, and never the current folder. Where the system lacks search flags (an
// unpatched Windows 7) only the current folder is taken out of the search.
void RestrictLibrarySearch();

// TrustOnlyAdministratorsLinks is the first start-up step of each program:
// where Windows offers it (10 22H2 and later), the process follows no
// junction or symbolic link that a non-administrator made (the redirection
// trust mitigation, enforcing). Elsewhere, or when refused, nothing changes.
void TrustOnlyAdministratorsLinks();

// LoadSystemLibrary loads the library of the bare file name NAME
// (L"uxtheme.dll") from the system folder; the handle is invalid when the
// library is not there. A library of that name elsewhere is never loaded.
TUniqueModule LoadSystemLibrary(const wchar_t* name);

// LoadSystemLibraryByPath does the same through the system folder's full
// path, for loaders that lack the search flags (LoadSystemLibrary falls back
// to it there).
TUniqueModule LoadSystemLibraryByPath(const wchar_t* name);

// LibraryEntry is the function NAME of a loaded library, typed as FUNCTION;
// null when the library or the function is missing.
template <class Function>
Function LibraryEntry(HMODULE module, const char* name) {
    const FARPROC entry = module ? ::GetProcAddress(module, name) : nullptr;
    Function function = nullptr;
    static_assert(sizeof function == sizeof entry, "function pointers have one size");
    std::memcpy(&function, &entry, sizeof function);
    return function;
}
