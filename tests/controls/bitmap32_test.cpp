#include "controls/bitmap32.h"

#include <gtest/gtest.h>

#include "tests/controls/pixel_test_support.h"

namespace {

const TRgba kWhite = {255, 255, 255, 0};

TEST(Bitmap32, StoresBlueGreenRedAlphaFromTheTopLeftWithoutPadding) {
    TBitmap32 b(3, 2);
    PutPixel(b, 2, 1, {10, 20, 30, 40});
    const uint8_t* data = b.Data();
    const size_t offset = (1 * 3 + 2) * 4;  // row 1, column 2, stride 3 * 4
    EXPECT_EQ(data[offset + 0], 30);
    EXPECT_EQ(data[offset + 1], 20);
    EXPECT_EQ(data[offset + 2], 10);
    EXPECT_EQ(data[offset + 3], 40);
    EXPECT_EQ(PixelValue(data + offset), 0x280A141Eu);  // blue in the low byte, alpha in the high
    EXPECT_EQ(b.Row(1), data + 12);
}

TEST(Bitmap32, NewBitmapIsWhite) {
    TBitmap32 b(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(GetPixel(b, x, y), kWhite);
}

TEST(Bitmap32, NegativeExtentsCountAsZero) {
    TBitmap32 b(-4, 3);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 3);
    b.SetSize(5, -1);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 0);
}

TEST(Bitmap32, SetSizeKeepsPixelsInsideAndFillsNewOnesWhite) {
    TBitmap32 b(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) PutPixel(b, x, y, {x, y, 7, 200});
    b.SetSize(2, 4);  // narrower and taller
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(GetPixel(b, x, y), (TRgba{x, y, 7, 200}));
    for (int y = 2; y < 4; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(GetPixel(b, x, y), kWhite);
    b.SetSize(4, 1);  // wider and shorter
    EXPECT_EQ(GetPixel(b, 0, 0), (TRgba{0, 0, 7, 200}));
    EXPECT_EQ(GetPixel(b, 1, 0), (TRgba{1, 0, 7, 200}));
    EXPECT_EQ(GetPixel(b, 2, 0), kWhite);
    EXPECT_EQ(GetPixel(b, 3, 0), kWhite);
}

TEST(Bitmap32, GrowingFromEmptyGivesWhite) {
    TBitmap32 b;
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    b.SetSize(0, 3);
    b.SetSize(2, 3);
    EXPECT_EQ(GetPixel(b, 1, 2), kWhite);
}

}  // namespace
