// uxtheme's functions, found at run time. The program imports nothing from
// uxtheme: it is not one of the system's known DLLs, so Windows would look for
// a static import of it in the program's folder first. Without uxtheme the
// program behaves as it does without visual styles.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "base/win32_handles.h"

class TThemeLibrary {
public:
    // TThemeLibrary takes the loaded uxtheme, or an invalid handle when there is none.
    explicit TThemeLibrary(TUniqueModule module);

    // VisualStylesActive: the desktop's visual style is in force for this
    // program (IsAppThemed and IsThemeActive).
    bool VisualStylesActive() const;
    // SetWindowTheme and DrawThemeParentBackground answer E_NOTIMPL without uxtheme.
    HRESULT SetWindowTheme(HWND wnd, const wchar_t* appName, const wchar_t* idList) const;
    HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const RECT* area) const;

private:
    TUniqueModule FModule;
    decltype(&::IsAppThemed) FIsAppThemed = nullptr;
    decltype(&::IsThemeActive) FIsThemeActive = nullptr;
    decltype(&::SetWindowTheme) FSetWindowTheme = nullptr;
    decltype(&::DrawThemeParentBackground) FDrawThemeParentBackground = nullptr;
};

// ThemeLibrary is the program's uxtheme from the system folder, loaded at the
// first call (after the start-up has restricted the library search) and
// released at exit.
const TThemeLibrary& ThemeLibrary();

// VisualStylesActive is ThemeLibrary().VisualStylesActive().
bool VisualStylesActive();
