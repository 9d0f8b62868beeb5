#include "toolkit/common_controls_win32.h"

#include "base/win32_handles.h"

HMODULE CommonControls() {
    // The manifest's assembly answers the name first; after the start-up step
    // the only other place searched is the system folder.
    static const TUniqueModule library(::LoadLibraryW(L"comctl32.dll"));
    return library.Get();
}
