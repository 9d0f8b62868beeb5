#include <windows.h>

#include <gtest/gtest.h>

#include "tests/toolkit/test_form_win32.h"

TEST_F(FormTest, DefinitionSetsFrameCaptionClientSizeAndOwner) {
    TTestForm* form = MakeForm();
    HWND wnd = form->Handle();
    RECT client;
    ::GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    wchar_t caption[64] = {};
    ::GetWindowTextW(wnd, caption, 64);
    EXPECT_EQ(FromW(caption), u"\u0622\u0632\u0645\u0627\u06cc\u0634");
    const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(::GetWindow(wnd, GW_OWNER), FApp->Handle());
    EXPECT_FALSE(::IsWindowVisible(wnd));
}

TEST_F(FormTest, OnShowRunsBeforeTheWindowIsVisible) {
    TTestForm* form = MakeForm();
    form->Show();
    EXPECT_EQ(form->Shows, 1);
    EXPECT_FALSE(form->VisibleAtShow);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(::GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FormTest, AnErrorInOnShowIsShownAndTheWindowAppearsAllTheSame) {
    TTestForm* form = MakeForm();
    form->FailOnShow = true;
    form->Show();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"Show failed.");
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST_F(FormTest, ClosingTheMainWindowEndsTheProgram) {
    TTestForm* form = MakeForm();
    form->Show();
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(FormTest, ClosingAnotherWindowRunsOnCloseAndHidesIt) {
    TTestForm* main = MakeForm();
    const std::string withClose = std::string(kTestForm).replace(std::string(kTestForm).find("  OnShow"), 0,
                                                                 "  OnClose = FormClose\n");
    TTestForm* second = MakeForm(withClose.c_str());
    main->Show();
    second->Show();
    EXPECT_FALSE(QuitPosted());
    ::SendMessageW(second->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitPosted()) << "its OnClose terminates";
    EXPECT_FALSE(::IsWindowVisible(second->Handle()));
    EXPECT_TRUE(::IsWindowVisible(main->Handle()));
}

TEST_F(FormTest, StayOnTopStepsBackForOtherApplicationsExceptTheMainWindow) {
    TTestForm* main = MakeForm();
    TTestForm* second = MakeForm();
    main->Show();
    second->Show();
    TTopMostRequests requests;
    using R = TTopMostRequests::TRequest;
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    ::SendMessageW(main->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{second->Handle(), false}})) << "the main window keeps its place";
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{second->Handle(), true}}));
    FApp->NormalizeTopMosts();
    FApp->NormalizeTopMosts();  // nested: only the outer pair asks
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, TRUE, 0);  // no topmost while a box is up
    FApp->RestoreTopMosts();
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), false}, {second->Handle(), false}, {second->Handle(), false}}));
    FApp->RestoreTopMosts();
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), true}, {second->Handle(), true}}));
}

TEST_F(FormTest, ScaledFormsGrowWithTheScreenResolution) {
    TTestForm* form = MakeForm();
    form->ScaleToScreen(120);
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 125);
    EXPECT_EQ(form->Red->Left(), 13);   // 12.5
    EXPECT_EQ(form->Red->Width(), 63);  // 62.5
    EXPECT_EQ(form->Red->Height(), 50);
    EXPECT_EQ(form->Font().Height(), -14);  // -13.75
    EXPECT_EQ(form->Button1->Font().Height(), -15);
}
