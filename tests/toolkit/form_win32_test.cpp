#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "tests/support/expect_raises.h"
#include "tests/support/import_hook_win32.h"
#include "tests/support/window_driver_win32.h"
#include "tests/support/client_pixels_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/button_win32.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_win32.h"
#include "toolkit/label_win32.h"
#include "toolkit/theme_library_win32.h"
#include "base/base_texts.h"
#include "toolkit/toolkit_texts.h"

namespace {

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

TRgb ButtonFace() { return RgbOf(::GetSysColor(COLOR_BTNFACE)); }

}  // namespace

TEST_F(FormTest, DefinitionSetsFrameCaptionClientSizeAndOwner) {
    TTestForm* form = MakeForm();
    HWND wnd = form->Handle();
    RECT client;
    ::GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    wchar_t caption[64] = {};
    ::GetWindowTextW(wnd, caption, 64);
    EXPECT_EQ(FromW(caption), u"\u0622\u0632\u0645\u0627\u06cc\u0634");
    const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(::GetWindow(wnd, GW_OWNER), FApp->Handle());
    EXPECT_FALSE(::IsWindowVisible(wnd));
}

TEST_F(FormTest, ButtonHasItsOwnBoldFontAndRunsItsBoundHandler) {
    TTestForm* form = MakeForm();
    HWND button = form->Button1->Handle();
    wchar_t className[32] = {};
    ::GetClassNameW(button, className, 32);
    EXPECT_EQ(FromW(className), u"TButton");
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(FromW(font.lfFaceName), u"Tahoma");
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_FALSE(::GetWindowLongPtrW(button, GWL_STYLE) & BS_DEFPUSHBUTTON);
    // The label takes the form's font: the class default, Tahoma -11.
    EXPECT_EQ(form->Label1->Font().Height(), -11);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(form->Clicks, 1);
}

TEST_F(FormTest, GraphicControlsPaintInCreationOrderTranslatedAndClipped) {
    TTestForm* form = MakeForm();
    const TRgb red{255, 0, 0}, blue{0, 0, 255};
    TClientPixels pixels(form->Handle(), 200, 100);
    EXPECT_EQ(pixels.At(5, 5), ButtonFace());
    EXPECT_EQ(pixels.At(10, 10), red);   // top-left of Red: translated, not at 0, 0
    EXPECT_EQ(pixels.At(15, 15), red);
    EXPECT_EQ(pixels.At(45, 25), blue);  // Blue was created after Red
    EXPECT_EQ(pixels.At(45, 15), red);   // above Blue: its overdraw is clipped
    EXPECT_EQ(pixels.At(8, 15), ButtonFace());   // left of Red
    EXPECT_EQ(pixels.At(92, 30), ButtonFace());  // right of Blue
    EXPECT_EQ(pixels.At(50, 62), ButtonFace());  // below Blue

    form->Blue->SetVisible(false);
    TClientPixels hidden(form->Handle(), 200, 100);
    EXPECT_EQ(hidden.At(45, 25), red);
}

TEST_F(FormTest, LabelShowsAmpersandsLiterallyAndSizesToItsCaption) {
    TTestForm* form = MakeForm();
    TLabel* label = form->Label1;
    const int oneWidth = label->Width();
    EXPECT_GT(oneWidth, 0);
    TClientPixels pixels(form->Handle(), 200, 100);
    int inked = 0;
    for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
        for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
            if (pixels.At(x, y).R < 128) ++inked;
    EXPECT_GT(inked, 0) << "a lone \"&\" is drawn, not taken as a prefix";

    label->SetCaption(u"&&");
    EXPECT_GT(label->Width(), oneWidth) << "two ampersands show as two";
    label->SetCaption(u"");
    EXPECT_GT(label->Height(), 0);
}

TEST_F(FormTest, LabelIsTransparentExactlyWhileVisualStylesAreActive) {
    const char text[] = R"(object TestForm: TTestForm
  ClientWidth = 100
  ClientHeight = 60
  object Red: TSolid
    Left = 0
    Top = 0
    Width = 100
    Height = 60
    Color = 255
  end
  object Label1: TLabel
    Left = 10
    Top = 10
    Caption = "i"
  end
end
)";
    TTestForm* form = MakeForm(text);
    TClientPixels pixels(form->Handle(), 100, 60);
    // The label's top-left corner lies beside the thin "i".
    const TRgb corner = pixels.At(10, 10);
    const bool themed = VisualStylesActive();
    const TRgb expected = themed ? TRgb{255, 0, 0} : ButtonFace();
    EXPECT_EQ(corner, expected) << "themed " << themed;
}

TEST_F(FormTest, PaintingAnAreaTooLargeForABufferRaisesOutOfResources) {
    TTestForm* form = MakeForm();
    TWindowDC screen(nullptr);
    ExpectRaises<EOutOfResources>([&] { form->PaintContent(screen.Get(), RECT{0, 0, 200000, 200000}); },
                                  u"Some operation could not be performed because the system is out of resources. "
                                  u"Close some windows and try again.");
}

TEST_F(FormTest, OnShowRunsBeforeTheWindowIsVisible) {
    TTestForm* form = MakeForm();
    form->Show();
    EXPECT_EQ(form->Shows, 1);
    EXPECT_FALSE(form->VisibleAtShow);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(::GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FormTest, AnErrorInOnShowIsShownAndTheWindowAppearsAllTheSame) {
    TTestForm* form = MakeForm();
    form->FailOnShow = true;
    form->Show();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"Show failed.");
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST_F(FormTest, HandlerErrorsReachTheErrorDisplayAfterTheCaptureIsCancelled) {
    TTestForm* form = MakeForm();
    HWND button = form->Button1->Handle();
    form->OnButton = [button] {
        ::SetCapture(button);
        throw EReadError(u"Error reading zip file");
    };
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"Error reading zip file.");
    EXPECT_EQ(::GetCapture(), nullptr);

    form->OnButton = [] { throw EAbort(u"silent"); };
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Errors.size(), 1u) << "the silent abort shows nothing";
}

TEST_F(FormTest, ClosingTheMainWindowEndsTheProgram) {
    TTestForm* form = MakeForm();
    form->Show();
    ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(FormTest, ClosingAnotherWindowRunsOnCloseAndHidesIt) {
    TTestForm* main = MakeForm();
    const std::string withClose = std::string(kTestForm).replace(std::string(kTestForm).find("  OnShow"), 0,
                                                                 "  OnClose = FormClose\n");
    TTestForm* second = MakeForm(withClose.c_str());
    main->Show();
    second->Show();
    EXPECT_FALSE(QuitPosted());
    ::SendMessageW(second->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitPosted()) << "its OnClose terminates";
    EXPECT_FALSE(::IsWindowVisible(second->Handle()));
    EXPECT_TRUE(::IsWindowVisible(main->Handle()));
}

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

std::ostream& operator<<(std::ostream& out, const TTopMostRequests::TRequest& r) {
    return out << r.Window << (r.TopMost ? " topmost" : " not topmost");
}

TEST_F(FormTest, StayOnTopIsGivenUpForAModalBoxAndRegainedAfterIt) {
    TTestForm* main = MakeForm();
    TTestForm* second = MakeForm();
    main->Show();
    second->Show();
    ::SetForegroundWindow(main->Handle());
    TTopMostRequests requests;
    std::vector<TTopMostRequests::TRequest> whileShown;
    TDialogDriver box(L"Box caption", [&](HWND dialog) {
        whileShown = requests.Taken();
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    FApp->MessageBox(u"a modal box", u"Box caption", MB_OK);
    box.Join();
    ASSERT_TRUE(box.Found()) << "the box never appeared";
    using R = TTopMostRequests::TRequest;
    EXPECT_EQ(whileShown, (std::vector<R>{{main->Handle(), false}, {second->Handle(), false}}));
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), true}, {second->Handle(), true}}));
}

TEST_F(FormTest, StayOnTopStepsBackForOtherApplicationsExceptTheMainWindow) {
    TTestForm* main = MakeForm();
    TTestForm* second = MakeForm();
    main->Show();
    second->Show();
    TTopMostRequests requests;
    using R = TTopMostRequests::TRequest;
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    ::SendMessageW(main->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{second->Handle(), false}})) << "the main window keeps its place";
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{second->Handle(), true}}));
    FApp->NormalizeTopMosts();
    FApp->NormalizeTopMosts();  // nested: only the outer pair asks
    ::SendMessageW(second->Handle(), WM_ACTIVATEAPP, TRUE, 0);  // no topmost while a box is up
    FApp->RestoreTopMosts();
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), false}, {second->Handle(), false}, {second->Handle(), false}}));
    FApp->RestoreTopMosts();
    EXPECT_EQ(requests.Taken(), (std::vector<R>{{main->Handle(), true}, {second->Handle(), true}}));
}

TEST_F(FormTest, ScaledFormsGrowWithTheScreenResolution) {
    TTestForm* form = MakeForm();
    form->ScaleToScreen(120);
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 125);
    EXPECT_EQ(form->Red->Left(), 13);   // 12.5
    EXPECT_EQ(form->Red->Width(), 63);  // 62.5
    EXPECT_EQ(form->Red->Height(), 50);
    EXPECT_EQ(form->Font().Height(), -14);  // -13.75
    EXPECT_EQ(form->Button1->Font().Height(), -15);
}

TEST_F(FormTest, ReaderRejectsUnknownPropertiesHandlersAndClasses) {
    struct Case { const char* name; const char* text; const char16_t* message; };
    const Case cases[] = {
        {"property", "object T: TTestForm\n  Bogus = 1\nend\n", u"Property Bogus does not exist"},
        {"handler", "object T: TTestForm\n  OnShow = Nope\nend\n", u"Method Nope not found"},
        {"handler kind", "object T: TTestForm\n  OnClose = FormShow\nend\n", u"Method FormShow does not fit OnClose"},
        {"field", "object T: TTestForm\n  object Green: TSolid\n  end\nend\n", u"Field Green not found"},
        {"class", "object T: TTestForm\n  object Red: TLabel\n  end\nend\n", u"Field Red is not of class TLabel"},
        {"value", "object T: TTestForm\n  Scaled = 1\nend\n", u"Invalid property value: Scaled"},
        {"enum", "object T: TTestForm\n  BorderStyle = bsRound\nend\n", u"Invalid property value: BorderStyle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestForm* form = FApp->CreateOwned<TTestForm>();
        ExpectRaises<EReadError>([&] { ReadFormText(*form, c.text); }, c.message);
    }
}

TEST_F(FormTest, TabMovesAmongTabStopsInTabOrder) {
    TTestForm* form = MakeForm();
    form->Show();
    ::SetForegroundWindow(form->Handle());
    form->SelectNext(nullptr, true, true);
    EXPECT_TRUE(form->Button1->Focused());
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstDotLowerCasedAfterTheFirstCharacter) {
    struct Case { const char16_t* path; const char16_t* title; };
    const Case cases[] = {
        {u"C:\\Apps\\SETUP.EXE", u"Setup"},
        {u"C:\\Apps\\my.update.exe", u"my"},
        {u"C:\\Apps\\KelvoUpdater.exe", u"Kelvoupdater"},
        {u"C:\\Apps\\kELVO.exe", u"kelvo"},
        {u"C:\\\u0411\u041e\u0411.exe", u"\u0411\u043e\u0431"},
        {u"C:\\X.exe", u"X"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        EXPECT_EQ(ApplicationTitle(c.path), c.title);
    }
}
