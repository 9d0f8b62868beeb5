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
    TBitmapSurface(bitmap).WritePixels(TRect{2, 0, 4, 2}, Filled(2, 2, {7, 7, 7, 7}));  // wholly right of it: none
    ExpectRows([&](int x, int y) { return GetPixel(bitmap, x, y); },
               {{{1, 2, 3, 4}, {9, 9, 9, 9}}, {{1, 2, 3, 4}, {1, 2, 3, 4}}});
}

// Shrunk to one pixel wide and two high, a 1 x 4 picture shows its rows 0 and
// 2; row 2 is the transparent colour, which leaves the ground.
TEST(BitmapSurface, StretchCopyShowsEachPixelsOwnSourceInsideTheRectangle) {
    TBitmap32 picture = Filled(1, 4, {10, 20, 30, 40});
    PutPixel(picture, 0, 1, {50, 60, 70, 80});
    PutPixel(picture, 0, 2, {1, 2, 3, 4});
    const uint32_t transparent = ColourValue(1, 2, 3);
    TBitmap32 bitmap = Filled(2, 2, {9, 9, 9, 9});
    TBitmapSurface(bitmap).StretchCopy(TRect{0, 0, 1, 2}, picture, &transparent);
    const TRgba ground = {9, 9, 9, 9};
    ExpectRows([&](int x, int y) { return GetPixel(bitmap, x, y); }, {{{10, 20, 30, 40}, ground}, {ground, ground}});
    for (const TBitmap32& empty : {TBitmap32(0, 2), TBitmap32(2, 0)}) {  // a picture without pixels shows nothing
        StretchInto(bitmap, empty, nullptr);
        EXPECT_EQ(GetPixel(bitmap, 1, 1), ground);
    }
}

}  // namespace
