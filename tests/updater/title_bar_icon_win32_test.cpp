// The title bar icons of the two windows: the main window shows the program's
// icon, the completion window (a dialog frame) shows none.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/picture_classes.h"
#include "toolkit/application_win32.h"
#include "updater/done_form_win32.h"
#include "updater/main_form_win32.h"

namespace {

HICON SentIcon(HWND wnd, WPARAM kind) {
    return reinterpret_cast<HICON>(::SendMessageW(wnd, WM_GETICON, kind, 0));
}

HICON ClassIcon(HWND wnd, int index) { return reinterpret_cast<HICON>(::GetClassLongPtrW(wnd, index)); }

}  // namespace

TEST(TitleBarIcon, OnlyTheMainWindowHasAnIcon) {
    RegisterDefaultPictureClasses();
    TApplication application;
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    const HWND main = Form1->Handle();
    const HWND completion = Form2->Handle();

    EXPECT_NE(SentIcon(main, ICON_BIG), nullptr);
    EXPECT_NE(SentIcon(main, ICON_SMALL), nullptr);
    EXPECT_EQ(SentIcon(completion, ICON_BIG), nullptr);
    EXPECT_EQ(SentIcon(completion, ICON_SMALL), nullptr);
    // Neither window class brings an icon of its own, so the dialog frame has
    // nothing to fall back on.
    for (const HWND wnd : {main, completion}) {
        EXPECT_EQ(ClassIcon(wnd, GCLP_HICON), nullptr);
        EXPECT_EQ(ClassIcon(wnd, GCLP_HICONSM), nullptr);
    }
}
