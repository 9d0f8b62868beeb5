// The completion window is scaled by the screen's pixels per inch / 96 when it
// is created from its definition; the main window (Scaled = False) is not. The
// screen's resolution is what the program asks GDI for, answered here as 120.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/picture_classes.h"
#include "tests/support/import_hook_win32.h"
#include "toolkit/application_win32.h"
#include "updater/done_form_win32.h"
#include "updater/main_form_win32.h"

namespace {

decltype(&::GetDeviceCaps) OriginalGetDeviceCaps = nullptr;

int WINAPI At120PixelsPerInch(HDC dc, int index) {
    if (index == LOGPIXELSX || index == LOGPIXELSY) return 120;
    return OriginalGetDeviceCaps(dc, index);
}

SIZE ClientSize(HWND wnd) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(WindowScaling, TheCompletionWindowGrowsWithTheScreenResolutionTheMainWindowDoesNot) {
    RegisterDefaultPictureClasses();
    TImportHook hook("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&At120PixelsPerInch));
    OriginalGetDeviceCaps = reinterpret_cast<decltype(&::GetDeviceCaps)>(hook.Original());
    TApplication application;
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    // Defined at 96: client 301 x 94, picture 401 x 201, font height -11.
    const SIZE completion = ClientSize(Form2->Handle());
    EXPECT_EQ(completion.cx, 376);  // 376.25
    EXPECT_EQ(completion.cy, 118);  // 117.5
    EXPECT_EQ(Form2->sImage1->Width(), 501);
    EXPECT_EQ(Form2->sImage1->Height(), 251);
    EXPECT_EQ(Form2->Font().Height(), -14);
    EXPECT_EQ(Form2->PixelsPerInch(), 120);
    const SIZE main = ClientSize(Form1->Handle());
    EXPECT_EQ(main.cx, 798);
    EXPECT_EQ(main.cy, 571);
    EXPECT_EQ(Form1->Font().Height(), -11);
    EXPECT_EQ(Form1->PixelsPerInch(), 96);
}
