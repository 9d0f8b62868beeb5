#include "controls/draw_surface.h"

#include <gtest/gtest.h>

#include "tests/controls/pixel_test_support.h"

namespace {

TEST(BitmapSurface, ReadsWhiteOutsideTheBitmap) {
    TBitmap32 bitmap = Filled(2, 2, {1, 2, 3, 4});
    const TBitmapSurface surface(bitmap);
    TBitmap32 out;
    surface.ReadPixels(TRect{1, -1, 3, 1}, out);
    ASSERT_EQ(out.Width(), 2);
    ASSERT_EQ(out.Height(), 2);
    EXPECT_EQ(GetPixel(out, 0, 1), (TRgba{1, 2, 3, 4}));
    for (const TPoint& p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{1, 1}}) EXPECT_EQ(GetPixel(out, p.X, p.Y), (TRgba{255, 255, 255, 0}));
}

}  // namespace
