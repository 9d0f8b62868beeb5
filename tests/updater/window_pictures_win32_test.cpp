// The pictures of the program's two windows, as they paint from their definitions.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "controls/picture_classes.h"
#include "tests/support/client_pixels_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/form_reader_win32.h"
#include "updater/done_form_win32.h"
#include "updater/main_form_win32.h"

namespace {

class WindowPictures : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDefaultPictureClasses();
        FApp = std::make_unique<TApplication>();
    }
    void TearDown() override { FApp.reset(); }

    template <class T>
    T* RealForm() {
        T* form = FApp->CreateOwned<T>();
        ReadFormResource(*form);
        FApp->AddForm(form);
        form->HandleNeeded();
        return form;
    }

    std::unique_ptr<TApplication> FApp;
};

const TRgb kYellowOnButtonFace{254, 248, 95};
const TRgb kBarOnButtonFace{254, 252, 232};

}  // namespace

TEST_F(WindowPictures, MainWindowComposesItsPicturesOverTheWindowColour) {
    TForm1* form = RealForm<TForm1>();
    EXPECT_EQ(form->sImage1->Width(), 1024);
    EXPECT_EQ(form->sImage1->SkinData().SkinSection(), u"CHECKBOX");
    TClientPixels pixels(form->Handle(), 798, 571);
    EXPECT_EQ(pixels.At(20, 400), kYellowOnButtonFace);
    EXPECT_EQ(pixels.At(797, 200), kYellowOnButtonFace);
    EXPECT_EQ(pixels.At(129, 316), (TRgb{254, 0, 0})) << "opaque red of the warning over the bar";
    EXPECT_EQ(pixels.At(458, 317), (TRgb{254, 0, 0}));
    EXPECT_EQ(pixels.At(286, 313), kBarOnButtonFace) << "transparent warning pixels leave the bar unchanged";
}

TEST_F(WindowPictures, HidingTheWarningRepaintsItsRectangleWithWhatLiesBeneath) {
    TForm1* form = RealForm<TForm1>();
    form->Show();
    ::UpdateWindow(form->Handle());
    form->sImage2->SetVisible(false);
    RECT dirty{};
    EXPECT_TRUE(::GetUpdateRect(form->Handle(), &dirty, FALSE));
    EXPECT_EQ(dirty.left, 86);
    EXPECT_EQ(dirty.top, 309);
    TClientPixels hidden(form->Handle(), 798, 571);
    EXPECT_EQ(hidden.At(129, 316), kBarOnButtonFace);
    form->sImage2->SetVisible(true);
    TClientPixels shown(form->Handle(), 798, 571);
    EXPECT_EQ(shown.At(129, 316), (TRgb{254, 0, 0}));
}

TEST_F(WindowPictures, CompletionWindowShowsItsPictureExactlyOnEveryPaint) {
    TForm2* form = RealForm<TForm2>();
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 301);
    EXPECT_EQ(client.bottom, 94);
    for (int paint = 0; paint < 2; ++paint) {
        SCOPED_TRACE(paint);
        TClientPixels pixels(form->Handle(), 301, 94);
        EXPECT_EQ(pixels.At(0, 0), (TRgb{247, 248, 175}));
        EXPECT_EQ(pixels.At(300, 93), (TRgb{247, 248, 175}));
        EXPECT_EQ(pixels.At(255, 20), (TRgb{38, 38, 27}));
        EXPECT_EQ(pixels.At(254, 19), (TRgb{135, 135, 95}));
    }
}
