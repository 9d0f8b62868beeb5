#include <windows.h>

#include <gtest/gtest.h>

#include "tests/toolkit/test_form_win32.h"
#include "toolkit/theme_library_win32.h"

TEST_F(FormTest, LabelShowsAmpersandsLiterallyAndSizesToItsCaption) {
    TTestForm* form = MakeForm();
    TLabel* label = form->Label1;
    const int oneWidth = label->Width();
    EXPECT_GT(oneWidth, 0);
    TClientPixels pixels(form->Handle(), 200, 100);
    int inked = 0;
    for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
        for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
            if (pixels.At(x, y).R < 128) ++inked;
    EXPECT_GT(inked, 0) << "a lone \"&\" is drawn, not taken as a prefix";

    label->SetCaption(u"&&");
    EXPECT_GT(label->Width(), oneWidth) << "two ampersands show as two";
    label->SetCaption(u"");
    EXPECT_GT(label->Height(), 0);
}

TEST_F(FormTest, LabelIsTransparentExactlyWhileVisualStylesAreActive) {
    const char text[] = R"(object TestForm: TTestForm
  ClientWidth = 100
  ClientHeight = 60
  object Red: TSolid
    Left = 0
    Top = 0
    Width = 100
    Height = 60
    Color = 255
  end
  object Label1: TLabel
    Left = 10
    Top = 10
    Caption = "i"
  end
end
)";
    TTestForm* form = MakeForm(text);
    TClientPixels pixels(form->Handle(), 100, 60);
    // The label's top-left corner lies beside the thin "i".
    const TRgb corner = pixels.At(10, 10);
    const bool themed = VisualStylesActive();
    const TRgb expected = themed ? TRgb{255, 0, 0} : ButtonFace();
    EXPECT_EQ(corner, expected) << "themed " << themed;
}
