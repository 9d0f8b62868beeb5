#include <windows.h>

#include <gtest/gtest.h>

#include "tests/toolkit/test_form_win32.h"
#include "toolkit/toolkit_texts.h"

TEST_F(FormTest, HandlerErrorsReachTheErrorDisplayAfterTheCaptureIsCancelled) {
    TTestForm* form = MakeForm();
    HWND button = form->Button1->Handle();
    form->OnButton = [button] {
        ::SetCapture(button);
        throw EReadError(u"Error reading zip file");
    };
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"Error reading zip file.");
    EXPECT_EQ(::GetCapture(), nullptr);

    form->OnButton = [] { throw EAbort(u"silent"); };
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Errors.size(), 1u) << "the silent abort shows nothing";
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstDotLowerCasedAfterTheFirstCharacter) {
    struct Case { const char16_t* path; const char16_t* title; };
    const Case cases[] = {
        {u"C:\\Apps\\SETUP.EXE", u"Setup"},
        {u"C:\\Apps\\my.update.exe", u"my"},
        {u"C:\\Apps\\KelvoUpdater.exe", u"Kelvoupdater"},
        {u"C:\\Apps\\kELVO.exe", u"kelvo"},
        {u"C:\\\u0411\u041e\u0411.exe", u"\u0411\u043e\u0431"},
        {u"C:\\X.exe", u"X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        EXPECT_EQ(ApplicationTitle(c.path), c.title);
    }
}
