#include "controls/picture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/base_texts.h"
#include "controls/controls_texts.h"
#include "controls/draw_surface.h"
#include "controls/picture_classes.h"
#include "tests/controls/picture_files.h"
#include "tests/controls/pixel_test_support.h"
#include "tests/support/expect_raises.h"

namespace {

TEST(Bitmap, IsAnOpaquePictureOfItsPixelsSize) {
    const TBitmap bitmap(Filled(3, 2, {1, 2, 3, 4}));
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_FALSE(bitmap.Transparent());
    for (const TBitmap& empty : {TBitmap(), TBitmap(TBitmap32(0, 2)), TBitmap(TBitmap32(2, 0))})
        EXPECT_TRUE(empty.Empty());
}

TEST(Bitmap, IsNeverReadFromStoredData) {
    TBitmap bitmap(Filled(1, 1, {1, 2, 3, 4}));
    const uint8_t data[] = {1, 2, 3};
    ExpectRaises<EInvalidGraphic>([&] { bitmap.LoadFromBytes(data, sizeof data); }, u"Bitmap image is not valid");
    EXPECT_EQ(bitmap.Width(), 1) << "the pixels stay";
}

TEST(Bitmap, DrawCopiesItsPixelsScaledAndAnEmptyOneDrawsNothing) {
    TBitmap32 pixels = Filled(2, 1, {10, 20, 30, 40});
    PutPixel(pixels, 1, 0, {50, 60, 70, 80});
    TBitmap32 target = Filled(4, 2, {9, 9, 9, 9});
    TBitmapSurface surface(target);
    TBitmap().Draw(surface, TRect{0, 0, 4, 2});
    EXPECT_EQ(GetPixel(target, 0, 0), (TRgba{9, 9, 9, 9}));
    TBitmap(pixels).Draw(surface, TRect{0, 0, 4, 1});
    const std::vector<TRgba> row0 = {{10, 20, 30, 40}, {10, 20, 30, 40}, {50, 60, 70, 80}, {50, 60, 70, 80}};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(target, x, 0), row0[static_cast<size_t>(x)]) << x;
    EXPECT_EQ(GetPixel(target, 0, 1), (TRgba{9, 9, 9, 9})) << "outside the rectangle";
}

TEST(Picture, ReportsEveryNewGraphic) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    picture.SetGraphic(std::make_unique<TBitmap>(TBitmap32(5, 4)));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 4);
    picture.SetGraphic(nullptr);
    picture.SetGraphic(nullptr);
    EXPECT_EQ(changes, 3) << "setting no graphic again is a change too";
}

TEST(Picture, LoadsStoredDataThroughItsPictureClass) {
    RegisterDefaultPictureClasses();
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    picture.LoadFromData(MakePictureData("TPngImage", PictureFile("rgb_2x2.png")));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture.Width(), 2);
    picture.LoadFromData(MakePictureData("TNobodysPicture", {1, 2}));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(picture.Graphic(), nullptr) << "an unknown class leaves the picture empty";
}

TEST(Picture, DataTooShortForItsNameRaisesAndKeepsThePicture) {
    TPicture picture;
    picture.SetGraphic(std::make_unique<TBitmap>(TBitmap32(5, 4)));
    int changes = 0;
    picture.OnChange = [&] { ++changes; };
    ExpectRaises<EReadError>([&] { picture.LoadFromData({9, 'T'}); }, u"Stream read error");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(picture.Width(), 5);
}

}  // namespace
