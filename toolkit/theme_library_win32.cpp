#include "toolkit/theme_library_win32.h"

#include "base/system_library_win32.h"

TThemeLibrary::TThemeLibrary(TUniqueModule module) : FModule(std::move(module)) {
    const HMODULE theme = FModule.Get();
    FIsAppThemed = LibraryEntry<decltype(FIsAppThemed)>(theme, "IsAppThemed");
    FIsThemeActive = LibraryEntry<decltype(FIsThemeActive)>(theme, "IsThemeActive");
    FSetWindowTheme = LibraryEntry<decltype(FSetWindowTheme)>(theme, "SetWindowTheme");
    FDrawThemeParentBackground = LibraryEntry<decltype(FDrawThemeParentBackground)>(theme, "DrawThemeParentBackground");
}

bool TThemeLibrary::VisualStylesActive() const {
    return FIsAppThemed && FIsThemeActive && FIsAppThemed() && FIsThemeActive();
}

HRESULT TThemeLibrary::SetWindowTheme(HWND wnd, const wchar_t* appName, const wchar_t* idList) const {
    return FSetWindowTheme ? FSetWindowTheme(wnd, appName, idList) : E_NOTIMPL;
}

HRESULT TThemeLibrary::DrawThemeParentBackground(HWND wnd, HDC dc, const RECT* area) const {
    // The function only reads the area; the mingw header drops the documented const.
    return FDrawThemeParentBackground ? FDrawThemeParentBackground(wnd, dc, const_cast<RECT*>(area)) : E_NOTIMPL;
}

const TThemeLibrary& ThemeLibrary() {
    // The one library the program loads itself, kept for the process's life.
    static const TThemeLibrary library(LoadSystemLibrary(L"uxtheme.dll"));
    return library;
}

bool VisualStylesActive() { return ThemeLibrary().VisualStylesActive(); }
