#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/window_driver_win32.h"
#include "tests/toolkit/test_form_win32.h"

TEST_F(FormTest, StayOnTopIsGivenUpForAModalBoxAndRegainedAfterIt) {
    TTestForm* main = MakeForm();
    TTestForm* second = MakeForm();
    main->Show();
    second->Show();
    ::SetForegroundWindow(main->Handle());
    TTopMostRequests requests;
    std::vector<TTopMostRequests::TRequest> whileShown;
    TDialogDriver box(L"Box caption", [&](HWND dialog) {
        whileShown = requests.Taken();
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    FApp->MessageBox(u"a modal box", u"Box caption", MB_OK);
    box.Join();
    ASSERT_TRUE(box.Found()) << "the box never appeared";
    using R = TTopMostRequests::TRequest;
    EXPECT_EQ(whileShown, (std::vector<R>{{main->Handle(), false}, {second->Handle(), false}}));
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), true}, {second->Handle(), true}}));
}
