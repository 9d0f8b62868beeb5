#include "controls/draw_surface.h"

#include <gtest/gtest.h>

#include "tests/controls/pixel_test_support.h"

namespace {

TEST(BitmapSurface, ReadsWhiteOutsideTheBitmap) {
    TBitmap32 bitmap = Filled(2, 2, {1, 2, 3, 4});
    ExpectReadsWhiteOutside(TBitmapSurface(bitmap));
    TBitmap32 reused = Filled(2, 2, {9, 9, 9, 9});  // what a reused bitmap held must not show
    TBitmapSurface(bitmap).ReadPixels(TRect{1, -1, 3, 1}, reused);
    EXPECT_EQ(GetPixel(reused, 0, 0), (TRgba{255, 255, 255, 0}));
}

}  // namespace
