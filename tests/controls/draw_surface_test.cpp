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

TEST(BitmapSurface, WritesOnlyWhatLandsInside) {
    TBitmap32 bitmap = Filled(2, 2, {1, 2, 3, 4});
    TBitmapSurface(bitmap).WritePixels(TRect{1, -1, 3, 1}, Filled(2, 2, {9, 9, 9, 9}));  // one pixel lands
    ExpectRows([&](int x, int y) { return GetPixel(bitmap, x, y); },
               {{{1, 2, 3, 4}, {9, 9, 9, 9}}, {{1, 2, 3, 4}, {1, 2, 3, 4}}});
}

}  // namespace
