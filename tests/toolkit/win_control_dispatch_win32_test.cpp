#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/expect_raises.h"
#include "tests/toolkit/test_form_win32.h"
#include "toolkit/toolkit_texts.h"

TEST_F(FormTest, GraphicControlsPaintInCreationOrderTranslatedAndClipped) {
    TTestForm* form = MakeForm();
    const TRgb red{255, 0, 0}, blue{0, 0, 255};
    TClientPixels pixels(form->Handle(), 200, 100);
    EXPECT_EQ(pixels.At(5, 5), ButtonFace());
    EXPECT_EQ(pixels.At(10, 10), red);   // top-left of Red: translated, not at 0, 0
    EXPECT_EQ(pixels.At(15, 15), red);
    EXPECT_EQ(pixels.At(45, 25), blue);  // Blue was created after Red
    EXPECT_EQ(pixels.At(45, 15), red);   // above Blue: its overdraw is clipped
    EXPECT_EQ(pixels.At(8, 15), ButtonFace());   // left of Red
    EXPECT_EQ(pixels.At(92, 30), ButtonFace());  // right of Blue
    EXPECT_EQ(pixels.At(50, 62), ButtonFace());  // below Blue

    form->Blue->SetVisible(false);
    TClientPixels hidden(form->Handle(), 200, 100);
    EXPECT_EQ(hidden.At(45, 25), red);
}

TEST_F(FormTest, PaintingAnAreaTooLargeForABufferRaisesOutOfResources) {
    TTestForm* form = MakeForm();
    TWindowDC screen(nullptr);
    ExpectRaises<EOutOfResources>([&] { form->PaintContent(screen.Get(), RECT{0, 0, 200000, 200000}); },
                                  u"Some operation could not be performed because the system is out of resources. "
                                  u"Close some windows and try again.");
}
