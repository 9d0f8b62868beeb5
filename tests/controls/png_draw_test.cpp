#include "controls/png_draw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controls/draw_surface.h"
#include "tests/controls/picture_files.h"
#include "tests/controls/pixel_test_support.h"

namespace {

// DrawOnto draws a picture file into r of a w x h surface of one colour.
TBitmap32 DrawOnto(const std::string& file, int w, int h, TRgba ground, const TRect& r) {
    TBitmap32 surface = Filled(w, h, ground);
    TBitmapSurface target(surface);
    LoadPng(file).Draw(target, r);
    return surface;
}

TEST(PngDrawPartial, MixesByAlphaWithRoundedDivision) {
    // ((255 - a) * d + a * s + 127) div 255; alpha 0 leaves, 255 replaces.
    struct Case { const char* name; TRgba ground; TRgbaRows rows; };
    const Case cases[] = {
        {"over black", {0, 0, 0, 7}, kRgbaOverBlack},
        {"over white", {255, 255, 255, 7},
         {{{255, 0, 0, 0}, {255, 255, 255, 0}, {255, 255, 255, 0}},
          {{0, 0, 0, 0}, {254, 255, 254, 0}, {101, 150, 200, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap32 s = DrawOnto("rgba_3x2.png", 3, 2, c.ground, TRect{0, 0, 3, 2});
        ExpectRows([&](int x, int y) { return GetColour(s, x, y); }, c.rows);
        for (int x = 0; x < 3; ++x) EXPECT_EQ(GetPixel(s, x, 0)[3], 7) << "the surface keeps its alpha";
    }
}

TEST(PngMix, SampleMixIsTheNearestWholeNumberOverTheWholeTable) {
    // ((255 - a) * d + a * s + 127) div 255 is x / 255 rounded to the nearest
    // whole number (255 is odd, so x / 255 never lies halfway).
    int wrong = 0;
    for (int a = 0; a < 256; ++a)
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s) {
                const long nearest = std::lround(((255 - a) * d + a * s) / 255.0);
                if (MixChannel(d, s, a) != nearest && wrong++ < 5) ADD_FAILURE() << "a " << a << " d " << d << " s " << s;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(PngMix, PaletteMixRoundsUpIn256thsOverTheWholeTable) {
    // (a * p + (255 - a) * d + 255) shr 8 is x / 256 rounded up.
    int wrong = 0;
    for (int a = 0; a < 256; ++a)
        for (int d = 0; d < 256; ++d)
            for (int p = 0; p < 256; ++p) {
                const double up = std::ceil((a * p + (255 - a) * d) / 256.0);
                if (MixPaletteChannel(d, p, a) != up && wrong++ < 5) ADD_FAILURE() << "a " << a << " d " << d << " p " << p;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(PngDrawPartial, GreyWithAlphaGivesItsGreyToAllChannels) {
    // Grey 200 at alpha 128 over black: (128 * 200 + 127) div 255 = 100.
    const TBitmap32 s = DrawOnto("grey_alpha_2x1.png", 2, 1, {0, 0, 0, 0}, TRect{0, 0, 2, 1});
    EXPECT_EQ(GetColour(s, 0, 0), (TRgba{100, 100, 100, 0}));
    EXPECT_EQ(GetColour(s, 1, 0), (TRgba{10, 10, 10, 0}));
}

TEST(PngDrawPartial, PaletteTakesTrnsAlphaAndItsOwnRule) {
    // (a * p + (255 - a) * d + 255) shr 8 over 200: entry 1 (white, alpha
    // 128) gives 58295 shr 8 = 227 where the sample rule would give 228;
    // entry 2 has alpha 0, entry 3 lies past the tRNS chunk (alpha 255).
    const TBitmap32 s = DrawOnto("palette_partial_4x1.png", 4, 1, {200, 200, 200, 0}, TRect{0, 0, 4, 1});
    ExpectRows([&](int x, int y) { return GetColour(s, x, y); }, kPalettePartialOverGrey);
}

TEST(PngDrawPartial, ScalesByTruncatedDivision) {
    // Picture column of target column i is Trunc(i / fx), fx = target / picture width.
    struct Case { const char* name; TRect r; std::vector<int> redOfRow0; };
    const Case cases[] = {
        {"twice as wide", TRect{0, 0, 6, 2}, {255, 255, 128, 128, 0, 0}},
        {"5 over 3: 0, 0, 1, 1, 2", TRect{0, 0, 5, 2}, {255, 255, 128, 128, 0}},
        {"2 over 3: 0, 1", TRect{0, 0, 2, 2}, {255, 128, 0, 0, 0, 0}},
        {"1 over 3, one row: 0", TRect{0, 0, 1, 1}, {255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap32 s = DrawOnto("rgba_3x2.png", 6, 2, {0, 0, 0, 0}, c.r);
        for (size_t x = 0; x < c.redOfRow0.size(); ++x) EXPECT_EQ(GetPixel(s, static_cast<int>(x), 0)[0], c.redOfRow0[x]) << x;
    }
}

TEST(PngDrawPartial, RectangleReachingOffTheSurfaceDrawsTheInsidePart) {
    // Picture pixel (1, 1) (green, alpha 1) lands on (0, 0); the rest is off the surface.
    const TBitmap32 s = DrawOnto("rgba_3x2.png", 2, 2, {0, 0, 0, 0}, TRect{-1, -1, 2, 1});
    EXPECT_EQ(GetColour(s, 0, 0), (TRgba{0, 1, 0, 0}));
    EXPECT_EQ(GetColour(s, 1, 0), (TRgba{100, 149, 199, 0}));
    EXPECT_EQ(GetColour(s, 0, 1), (TRgba{0, 0, 0, 0}));
}

TEST(PngDraw, EmptyRectangleOrPictureDrawsNothing) {
    for (const TRect& r : {TRect{1, 1, 1, 3}, TRect{0, 2, 3, 2}, TRect{3, 2, 0, 0}}) {
        for (const char* file : {"rgba_3x2.png", "rgb_2x2.png", "rgb_trns_2x2.png"}) {
            SCOPED_TRACE(file);
            const TBitmap32 s = DrawOnto(file, 3, 3, {9, 9, 9, 9}, r);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x) EXPECT_EQ(GetPixel(s, x, y), (TRgba{9, 9, 9, 9}));
        }
    }
    TBitmap32 surface = Filled(2, 2, {9, 9, 9, 9});
    TBitmapSurface target(surface);
    TPngImage empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
    empty.Draw(target, TRect{0, 0, 2, 2});
    EXPECT_EQ(GetPixel(surface, 0, 0), (TRgba{9, 9, 9, 9}));
}

TEST(PngDraw, OpaquePictureIsCopiedScaled) {
    const TBitmap32 s = DrawOnto("rgb_2x2.png", 5, 4, {1, 2, 3, 0}, TRect{1, 0, 5, 4});
    ExpectRows([&](int x, int y) { return GetColour(s, x, y); }, kRgbDoubledFromColumnOne);
    EXPECT_EQ(GetPixel(s, 1, 0)[3], 255) << "its pixels are opaque";
}

TEST(PngDraw, OneTransparentColourIsLeftOut) {
    struct Case { const char* file; TRect r; std::vector<TRgba> expected; };  // row 0 of a 1-row draw
    const Case cases[] = {
        // (40, 50, 60) is the tRNS colour: pixel (1, 0) shows the ground.
        {"rgb_trns_2x2.png", TRect{0, 0, 2, 1}, {{10, 20, 30, 0}, {1, 2, 3, 0}}},
        // Palette entry 1 is the one entry below 255.
        {"palette_one_3x1.png", TRect{0, 0, 3, 1}, {{250, 0, 0, 0}, {1, 2, 3, 0}, {0, 0, 250, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const TBitmap32 s = DrawOnto(c.file, 3, 1, {1, 2, 3, 0}, c.r);
        for (size_t x = 0; x < c.expected.size(); ++x) EXPECT_EQ(GetColour(s, static_cast<int>(x), 0), c.expected[x]) << x;
    }
}

}  // namespace
