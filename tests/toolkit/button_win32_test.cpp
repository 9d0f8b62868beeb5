#include <windows.h>

#include <gtest/gtest.h>

#include "tests/toolkit/test_form_win32.h"

TEST_F(FormTest, ButtonHasItsOwnBoldFontAndRunsItsBoundHandler) {
    TTestForm* form = MakeForm();
    HWND button = form->Button1->Handle();
    wchar_t className[32] = {};
    ::GetClassNameW(button, className, 32);
    EXPECT_EQ(FromW(className), u"TButton");
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(FromW(font.lfFaceName), u"Tahoma");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_FALSE(::GetWindowLongPtrW(button, GWL_STYLE) & BS_DEFPUSHBUTTON);
    // The label takes the form's font: the class default, Tahoma -11.
    EXPECT_EQ(form->Label1->Font().Height(), -11);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(form->Clicks, 1);
}
