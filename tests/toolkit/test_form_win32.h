// The toolkit's window tests share one test form: two solid graphic controls
// that overlap, a label and a button, read from a definition, on an
// application whose error display records the texts instead of showing them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "base/base_texts.h"
#include "tests/support/client_pixels_win32.h"
#include "tests/support/import_hook_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/button_win32.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_win32.h"
#include "toolkit/label_win32.h"

// TSolid paints its colour over more than its own rectangle, so the paint
// shows where the form translates and clips it.
class TSolid : public TGraphicControl {
public:
    static constexpr char16_t kClassName[] = u"TSolid";
    using TGraphicControl::TGraphicControl;
    UString ClassName() const override { return kClassName; }

protected:
    void Paint(HDC dc) override {
        TUniqueGdiObject brush(::CreateSolidBrush(ColorToRGB(Color())));
        RECT beyond{-10, -10, Width() + 10, Height() + 10};
        ::FillRect(dc, &beyond, static_cast<HBRUSH>(brush.Get()));
    }
};

class TTestForm : public TForm {
public:
    static constexpr char16_t kClassName[] = u"TTestForm";
    using TForm::TForm;
    UString ClassName() const override { return kClassName; }

    TSolid* Red = nullptr;
    TSolid* Blue = nullptr;
    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;

    int Clicks = 0;
    int Shows = 0;
    bool VisibleAtShow = true;
    bool FailOnShow = false;
    std::function<void()> OnButton;

    void ButtonClick(TObject*) {
        ++Clicks;
        if (OnButton) OnButton();
    }
    void FormShow(TObject*) {
        ++Shows;
        VisibleAtShow = ::IsWindowVisible(Handle()) != 0;
        if (FailOnShow) throw EOSError(u"Show failed");
    }
    void FormClose(TObject*, TCloseAction&) { Application->Terminate(); }

    std::vector<TFieldBinding> FieldTable() override {
        return {Field(u"Red", Red), Field(u"Blue", Blue), Field(u"Label1", Label1), Field(u"Button1", Button1)};
    }
    std::vector<TMethodBinding> MethodTable() override {
        return {Method(u"ButtonClick", this, &TTestForm::ButtonClick),
                Method(u"FormShow", this, &TTestForm::FormShow),
                Method(u"FormClose", this, &TTestForm::FormClose)};
    }
};

const char kTestForm[] = R"(object TestForm: TTestForm
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSingle
  Caption = "آزمایش"
  ClientWidth = 200
  ClientHeight = 100
  FormStyle = fsStayOnTop
  Position = poDesktopCenter
  Scaled = False
  OnShow = FormShow
  object Red: TSolid
    Left = 10
    Top = 10
    Width = 50
    Height = 40
    Color = 255
  end
  object Blue: TSolid
    Left = 40
    Top = 20
    Width = 50
    Height = 40
    Color = 16711680
  end
  object Label1: TLabel
    Left = 100
    Top = 5
    Caption = "&"
  end
  object Button1: TButton
    Left = 120
    Top = 60
    Width = 70
    Height = 25
    Caption = "Go"
    Font.Height = -12
    Font.Name = "Tahoma"
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 0
    OnClick = ButtonClick
  end
end
)";

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApp = std::make_unique<TApplication>();
        FApp->OnException = [this](const UString& text) { Errors.push_back(text); };
    }
    void TearDown() override {
        FApp.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    TTestForm* MakeForm(const char* text = kTestForm) {
        TTestForm* form = FApp->CreateOwned<TTestForm>();
        ReadFormText(*form, text);
        FApp->AddForm(form);
        form->HandleNeeded();
        return form;
    }
    static bool QuitPosted() {
        MSG msg;
        return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    }

    std::unique_ptr<TApplication> FApp;
    std::vector<UString> Errors;
};

inline TRgb ButtonFace() { return RgbOf(::GetSysColor(COLOR_BTNFACE)); }

// TTopMostRequests records every SetWindowPos call of the program that puts a
// window into or out of the topmost band. Wine 8 keeps an owned window topmost
// whatever it is asked, so the requests, not the screen, show the rule here.
class TTopMostRequests {
public:
    struct TRequest {
        HWND Window;
        bool TopMost;
        bool operator==(const TRequest& o) const { return Window == o.Window && TopMost == o.TopMost; }
    };
    TTopMostRequests() : FHook("user32.dll", "SetWindowPos", reinterpret_cast<void*>(&Recording)) {
        FOriginal = reinterpret_cast<decltype(&::SetWindowPos)>(FHook.Original());
        FCurrent = this;
    }
    ~TTopMostRequests() { FCurrent = nullptr; }
    std::vector<TRequest> Taken() {
        std::lock_guard<std::mutex> lock(FMutex);
        std::vector<TRequest> all;
        all.swap(FRequests);
        return all;
    }

private:
    static BOOL WINAPI Recording(HWND wnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
        if (FCurrent && (flags & SWP_NOZORDER) == 0 && (after == HWND_TOPMOST || after == HWND_NOTOPMOST)) {
            std::lock_guard<std::mutex> lock(FCurrent->FMutex);
            FCurrent->FRequests.push_back({wnd, after == HWND_TOPMOST});
        }
        return FOriginal(wnd, after, x, y, cx, cy, flags);
    }

    TImportHook FHook;
    std::mutex FMutex;
    std::vector<TRequest> FRequests;
    static inline decltype(&::SetWindowPos) FOriginal = nullptr;
    static inline TTopMostRequests* FCurrent = nullptr;
};

inline std::ostream& operator<<(std::ostream& out, const TTopMostRequests::TRequest& r) {
    return out << r.Window << (r.TopMost ? " topmost" : " not topmost");
}
