#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "controls/image_win32.h"
#include "controls/picture_classes.h"
#include "tests/controls/test_host_win32.h"
#include "tests/support/client_pixels_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/form_reader_win32.h"

namespace {

TBitmap32 Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    TBitmap32 pixels(w, h);
    pixels.Fill(r, g, b, a);
    return pixels;
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDefaultPictureClasses();
        FApp = std::make_unique<TApplication>();
        FApp->OnException = [this](const UString& text) { Errors.push_back(text); };
    }
    void TearDown() override { FApp.reset(); }

    // Host makes a window of the given client size holding one image.
    TsImage* Host(int width, int height) {
        auto* host = FApp->CreateOwned<TTestHost>();
        host->SetClientSize(width, height);
        FApp->AddForm(host);
        host->HandleNeeded();
        FHost = host;
        TsImage* image = host->CreateOwned<TsImage>();
        image->SetParent(host);
        return image;
    }
    TClientPixels Paint() { return TClientPixels(FHost->Handle(), FHost->ClientWidth(), FHost->ClientHeight()); }

    std::unique_ptr<TApplication> FApp;
    TForm* FHost = nullptr;
    std::vector<UString> Errors;
};

}  // namespace

TEST_F(ImageTest, TheTestDesktopUsesTheWindowsButtonFace) {
    EXPECT_EQ(RgbOf(::GetSysColor(COLOR_BTNFACE)), (TRgb{240, 240, 240}));
}

TEST_F(ImageTest, CentredPictureIsComposedByItsAlphaWithBlendAndGrey) {
    struct Case { const char* name; bool grayed; uint8_t blend; TRgb centre; };
    const Case cases[] = {
        {"plain", false, 0, {255, 0, 0}},
        {"grey", true, 0, {85, 85, 85}},
        {"half blended", false, 50, {255, 128, 128}},
        {"fully blended", false, 100, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TsImage* image = Host(20, 20);
        image->SetBounds(0, 0, 10, 10);
        image->Picture().SetGraphic(std::make_unique<TBitmap>(Solid(4, 4, 255, 0, 0, 255)));
        image->SetCenter(true);
        image->SetGrayed(c.grayed);
        image->SetBlend(c.blend);
        TClientPixels pixels = Paint();
        EXPECT_EQ(pixels.At(3, 3), c.centre);
        EXPECT_EQ(pixels.At(6, 6), c.centre);
        EXPECT_EQ(pixels.At(2, 2), (TRgb{255, 255, 255})) << "the new buffer is white";
        EXPECT_EQ(pixels.At(7, 7), (TRgb{255, 255, 255}));
        EXPECT_EQ(pixels.At(12, 12), RgbOf(::GetSysColor(COLOR_BTNFACE)));
    }
}

TEST_F(ImageTest, TransparentImageCopiesWhatLiesBeneath) {
    TsImage* image = Host(20, 20);
    image->SetBounds(0, 0, 10, 10);
    image->Picture().SetGraphic(std::make_unique<TBitmap>(Solid(4, 4, 0, 0, 255, 128)));
    image->SetTransparent(true);
    TClientPixels pixels = Paint();
    // Blue at alpha 128 over (240, 240, 240): 240 + (0 - 240) * 128 / 256 = 120, 240 + 15 * 128 / 256 = 247.
    EXPECT_EQ(pixels.At(1, 1), (TRgb{120, 120, 247}));
    EXPECT_EQ(pixels.At(5, 5), (TRgb{240, 240, 240}));
}

TEST_F(ImageTest, ComputeImageSizeFitsTheStretchedPicture) {
    struct Case { const char* name; int pw, ph, cw, ch; bool proportional, reflected; int w, h; };
    const Case cases[] = {
        {"fill", 200, 100, 100, 90, false, false, 100, 90},
        {"fill above a reflection", 200, 100, 100, 90, false, true, 100, 60},
        {"wide, proportional", 200, 100, 100, 100, true, false, 100, 50},
        {"wide, limited by the height", 200, 100, 100, 30, true, false, 60, 30},
        {"tall, proportional", 100, 200, 100, 100, true, false, 50, 100},
        {"tall above a reflection", 100, 200, 100, 100, true, true, 33, 66},
        {"tall, limited by the width", 100, 300, 20, 100, true, false, 20, 60},
        {"empty picture", 0, 0, 100, 100, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TsImage* image = Host(10, 10);
        image->SetBounds(0, 0, c.cw, c.ch);
        image->Picture().SetGraphic(std::make_unique<TBitmap>(TBitmap32(c.pw, c.ph)));
        image->SetProportional(c.proportional);
        image->SetReflected(c.reflected);
        const TSize natural = image->ComputeImageSize(false);
        EXPECT_EQ(natural.Width, c.pw);
        EXPECT_EQ(natural.Height, c.ph);
        const TSize scaled = image->ComputeImageSize(true);
        EXPECT_EQ(scaled.Width, c.w);
        EXPECT_EQ(scaled.Height, c.h);
    }
}

TEST_F(ImageTest, OnlyAnUntransparentPictureCoveringTheControlMakesItOpaque) {
    TsImage* image = Host(10, 10);
    image->SetBounds(0, 0, 10, 10);
    EXPECT_FALSE(image->ControlStyle() & csOpaque) << "no picture";
    image->Picture().SetGraphic(std::make_unique<TBitmap>(TBitmap32(10, 10)));
    EXPECT_TRUE(image->ControlStyle() & csOpaque);
    image->Picture().SetGraphic(std::make_unique<TBitmap>(TBitmap32(9, 10)));
    EXPECT_FALSE(image->ControlStyle() & csOpaque) << "smaller than the control";
    image->SetStretch(true);
    EXPECT_TRUE(image->ControlStyle() & csOpaque) << "stretched over it";
    EXPECT_TRUE(image->Empty() == false);
}

TEST_F(ImageTest, AnImageListEntryReplacesThePicture) {
    TsImage* image = Host(10, 10);
    image->SetBounds(0, 0, 4, 4);
    image->Picture().SetGraphic(std::make_unique<TBitmap>(Solid(4, 4, 255, 0, 0, 255)));
    auto list = std::make_unique<TCustomImageList>(4, 4);
    list->Add(Solid(4, 4, 0, 255, 0, 255));
    image->SetImages(list.get());
    image->SetImageIndex(0);
    EXPECT_EQ(Paint().At(1, 1), (TRgb{0, 255, 0}));
    list.reset();
    EXPECT_EQ(image->Images(), nullptr) << "a destroyed list is let go";
    // Not transparent: the red is composed over the buffer's green of the last paint.
    EXPECT_EQ(Paint().At(1, 1), (TRgb{254, 0, 0}));
}
