#include "controls/draw_surface.h"

#include <gtest/gtest.h>

#include "tests/controls/pixel_test_support.h"

namespace {

TEST(BitmapSurface, ReadsWhiteOutsideTheBitmap) {
    TBitmap32 bitmap = Filled(2, 2, {1, 2, 3, 4});
    ExpectReadsWhiteOutside(TBitmapSurface(bitmap));
}

}  // namespace
