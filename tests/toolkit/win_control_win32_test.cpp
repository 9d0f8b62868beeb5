#include <windows.h>

#include <gtest/gtest.h>

#include "tests/toolkit/test_form_win32.h"

TEST_F(FormTest, TabMovesAmongTabStopsInTabOrder) {
    TTestForm* form = MakeForm();
    form->Show();
    ::SetForegroundWindow(form->Handle());
    form->SelectNext(nullptr, true, true);
    EXPECT_TRUE(form->Button1->Focused());
}
