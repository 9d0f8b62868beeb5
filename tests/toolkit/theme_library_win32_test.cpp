#include <windows.h>

#include <gtest/gtest.h>

#include "base/system_library_win32.h"
#include "toolkit/theme_library_win32.h"

TEST(ThemeLibrary, WithoutUxthemeBehavesAsWithoutVisualStyles) {
    const TThemeLibrary missing{TUniqueModule()};
    EXPECT_FALSE(missing.VisualStylesActive());
    EXPECT_EQ(missing.SetWindowTheme(::GetDesktopWindow(), nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(missing.DrawThemeParentBackground(::GetDesktopWindow(), nullptr, nullptr), E_NOTIMPL);
}

TEST(ThemeLibrary, FindsTheFunctionsOfTheSystemUxtheme) {
    const TThemeLibrary theme(LoadSystemLibrary(L"uxtheme.dll"));
    EXPECT_TRUE(theme.VisualStylesActive()) << "the test prefix runs with visual styles";
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(theme.SetWindowTheme(button, nullptr, nullptr), S_OK);
    ::DestroyWindow(button);
}
