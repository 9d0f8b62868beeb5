#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/radio_button_win32.h"
#include "tests/controls/test_host_win32.h"
#include "tests/support/window_driver_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/form_reader_win32.h"
#include "toolkit/form_win32.h"
#include "toolkit/theme_library_win32.h"

namespace {

// TTestForm binds the two options of a window definition by name.
class TTestForm : public TTestHost {
public:
    using TTestHost::TTestHost;
    TsRadioButton* Option1 = nullptr;
    TsRadioButton* Option2 = nullptr;
    std::vector<TFieldBinding> FieldTable() override {
        return {Field(u"Option1", Option1), Field(u"Option2", Option2)};
    }
};

const char* ButtonName(TMouseButton button) {
    return button == mbLeft ? "left" : button == mbRight ? "right" : "middle";
}

// RadioFixture: a shown window with two options on it, every event logged.
class RadioButton : public ::testing::Test {
protected:
    void SetUp() override {
        FForm = FApplication.CreateOwned<TTestForm>();
        FForm->SetClientSize(300, 200);
        FFirst = Add(u"first", 20, 20);
        FSecond = Add(u"second", 20, 60);
        FForm->Show();
        PumpMessages(nullptr, 100);
        FLog.clear();
    }

    TsRadioButton* Add(const UString& name, int left, int top, TWinControl* parent = nullptr) {
        auto* radio = FForm->CreateOwned<TsRadioButton>();
        radio->SetName(name);
        radio->SetParent(parent ? parent : FForm);
        radio->SetBounds(left, top, 20, 20);
        const std::string n = ToUtf8(name);
        radio->OnClick = [this, n](TObject*) { FLog.push_back(n + " click"); };
        radio->OnDblClick = [this, n](TObject*) { FLog.push_back(n + " dblclick"); };
        radio->OnValueChanged = [this, n, radio](TObject*) {
            FLog.push_back(n + (radio->Checked() ? " value on" : " value off"));
        };
        radio->OnMouseDown = [this, n, radio](TObject*, TMouseButton b, TShiftState s, int, int) {
            FLog.push_back(n + " down " + ButtonName(b) + ((s & ssDouble) ? " double" : "") +
                           (radio->Checked() ? " (checked)" : ""));
        };
        radio->OnMouseUp = [this, n](TObject*, TMouseButton b, TShiftState, int x, int y) {
            FLog.push_back(n + " up " + ButtonName(b) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        return radio;
    }

    void Post(TsRadioButton* radio, UINT msg, WPARAM wp, int x = 5, int y = 5) {
        ::PostMessageW(radio->Handle(), msg, wp, MAKELPARAM(x, y));
    }
    void Pump() {
        PumpMessages(nullptr, 150, [this](MSG& msg) {
            // Keys take the application's way, which moves the focus with the arrows.
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        });
    }
    static bool ShownChecked(TsRadioButton* radio) {
        return ::SendMessageW(radio->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static bool StyleTabStop(TsRadioButton* radio) {
        return (::GetWindowLongPtrW(radio->Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
    }

    TApplication FApplication;
    TFocusClickEmulation FWindowsButtonFocus;
    TTestForm* FForm = nullptr;
    TsRadioButton* FFirst = nullptr;
    TsRadioButton* FSecond = nullptr;
    std::vector<std::string> FLog;
};

using Log = std::vector<std::string>;

}  // namespace

TEST(RadioAutoSize, AddsTheGlyphToTheCaptionAndKeepsAtLeastTwentyPixelsHeight) {
    struct Case {
        TSize caption, size;
    };
    const Case cases[] = {{{0, 0}, {20, 20}}, {{0, 13}, {20, 20}}, {{50, 13}, {70, 20}},
                          {{50, 16}, {70, 20}}, {{50, 17}, {70, 21}}, {{50, 18}, {70, 22}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.caption.Width) + "x" + std::to_string(c.caption.Height));
        const TSize size = RadioAutoSize(c.caption);
        EXPECT_EQ(size.Width, c.size.Width);
        EXPECT_EQ(size.Height, c.size.Height);
    }
}

TEST_F(RadioButton, IsASystemRadioButtonUnderItsOwnClassName) {
    wchar_t name[64] = {};
    ::GetClassNameW(FFirst->Handle(), name, 64);
    EXPECT_EQ(std::wstring(name), L"TsRadioButton");
    const LONG_PTR style = ::GetWindowLongPtrW(FFirst->Handle(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_RADIOBUTTON);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_TABSTOP);
    const ULONG_PTR classStyle = ::GetClassLongPtrW(FFirst->Handle(), GCL_STYLE);
    EXPECT_TRUE(classStyle & CS_DBLCLKS);
    EXPECT_FALSE(classStyle & (CS_PARENTDC | CS_OWNDC | CS_CLASSDC | CS_GLOBALCLASS));
}

TEST_F(RadioButton, WithoutACaptionItIsTwentyByTwentyWhateverSizeItIsGiven) {
    FFirst->SetBounds(10, 10, 113, 17);
    EXPECT_EQ(FFirst->Width(), 20);
    EXPECT_EQ(FFirst->Height(), 20);
    RECT area;
    ::GetWindowRect(FFirst->Handle(), &area);
    EXPECT_EQ(area.right - area.left, 20);
    EXPECT_EQ(area.bottom - area.top, 20);
}

TEST_F(RadioButton, ACaptionWidensItAndATallFontMakesItHigher) {
    FFirst->Font().SetHeight(-30);
    FFirst->SetCaption(u"Automatic");
    const TSize caption = FFirst->CaptionExtent();
    EXPECT_GT(caption.Height, 30);
    EXPECT_EQ(FFirst->Width(), caption.Width + 20);
    EXPECT_EQ(FFirst->Height(), caption.Height + 4);
    FFirst->SetAutoSize(false);
    FFirst->SetBounds(20, 20, 113, 17);
    EXPECT_EQ(FFirst->Width(), 113);
}

TEST_F(RadioButton, WritingCheckedUnchecksTheSiblingsThenClicksThenReports) {
    FFirst->SetChecked(true);
    FLog.clear();
    FSecond->SetChecked(true);
    EXPECT_EQ(FLog, (Log{"first value off", "second click", "second value on"}));
    EXPECT_TRUE(FSecond->Checked());
    EXPECT_TRUE(ShownChecked(FSecond));
    EXPECT_TRUE(FSecond->TabStop());
    EXPECT_TRUE(StyleTabStop(FSecond));
    EXPECT_FALSE(FFirst->Checked());
    EXPECT_FALSE(ShownChecked(FFirst));
    EXPECT_FALSE(FFirst->TabStop());
    EXPECT_FALSE(StyleTabStop(FFirst));
}

TEST_F(RadioButton, WritingTrueToACheckedControlDoesNothing) {
    FFirst->SetChecked(true);
    FLog.clear();
    FFirst->SetChecked(true);
    EXPECT_TRUE(FLog.empty());
}

TEST_F(RadioButton, WritingFalseUnchecksWithoutAClickAndLeavesTheSiblings) {
    FFirst->SetChecked(true);
    auto* other = Add(u"other", 100, 100);
    other->SetChecked(true);  // unchecks first
    FFirst->SetChecked(true);
    FLog.clear();
    FFirst->SetChecked(false);
    EXPECT_EQ(FLog, (Log{"first value off"}));
    EXPECT_FALSE(FFirst->TabStop());
    EXPECT_FALSE(ShownChecked(FFirst));
    EXPECT_FALSE(other->Checked());
}

TEST_F(RadioButton, OptionsOnAnotherParentAreNotTouched) {
    auto* panel = FApplication.CreateOwned<TTestForm>();
    panel->SetClientSize(100, 100);
    auto* elsewhere = Add(u"elsewhere", 10, 10, panel);
    panel->Show();
    elsewhere->SetChecked(true);
    FFirst->SetChecked(true);
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_TRUE(FFirst->Checked());
}

TEST_F(RadioButton, ALeftClickTakesTheFocusAtThePressAndChecksAtTheRelease) {
    Post(FSecond, WM_LBUTTONDOWN, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down left", "second click", "second value on", "second up left 5,5"}));
    EXPECT_TRUE(FSecond->Focused());
    EXPECT_TRUE(ShownChecked(FSecond));
}

TEST_F(RadioButton, ALeftClickOnACheckedControlOnlyReportsTheMouse) {
    FSecond->SetChecked(true);
    FSecond->SetFocus();
    Pump();
    FLog.clear();
    Post(FSecond, WM_LBUTTONDOWN, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down left (checked)", "second up left 5,5"}));
}

TEST_F(RadioButton, ReleasingOutsideLeavesItUncheckedButReportsTheRelease) {
    Post(FSecond, WM_LBUTTONDOWN, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0, 60, -15);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down left", "second up left 60,-15"}));
    EXPECT_FALSE(FSecond->Checked());
}

TEST_F(RadioButton, RightAndMiddleClicksNeverCheck) {
    Post(FSecond, WM_RBUTTONDOWN, MK_RBUTTON);
    Post(FSecond, WM_RBUTTONUP, 0, 3, 4);
    Post(FSecond, WM_MBUTTONDOWN, MK_MBUTTON);
    Post(FSecond, WM_MBUTTONUP, 0, 6, 7);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down right", "second up right 3,4", "second down middle", "second up middle 6,7"}));
    EXPECT_FALSE(FSecond->Checked());
}

TEST_F(RadioButton, ADoubleClickClicksOnceAndReportsTheDoubleClick) {
    Post(FSecond, WM_LBUTTONDOWN, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0);
    Post(FSecond, WM_LBUTTONDBLCLK, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down left", "second click", "second value on", "second up left 5,5",
                         "second dblclick", "second down left double (checked)", "second up left 5,5"}));
}

TEST_F(RadioButton, TheSpaceKeyChecksAtItsRelease) {
    FSecond->SetChecked(true);
    FSecond->SetFocus();
    FSecond->SetChecked(false);
    Pump();
    FLog.clear();
    Post(FSecond, WM_KEYDOWN, VK_SPACE);
    Pump();
    EXPECT_FALSE(FSecond->Checked());
    Post(FSecond, WM_KEYUP, VK_SPACE);
    Pump();
    EXPECT_EQ(FLog, (Log{"second click", "second value on"}));
}

TEST_F(RadioButton, MovingTheFocusOntoAnUncheckedOptionChecksIt) {
    FFirst->SetChecked(true);
    FFirst->SetFocus();
    Pump();
    FLog.clear();
    ::PostMessageW(FFirst->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    // The application's dispatch turns the arrow into a move of the focus.
    for (int i = 0; i < 10; ++i) {
        FApplication.ProcessMessages();
        ::Sleep(15);
    }
    EXPECT_EQ(FLog, (Log{"first value off", "second click", "second value on"}));
    EXPECT_TRUE(FSecond->Focused());
}

TEST_F(RadioButton, ReadOnlyBlocksMouseAndSpaceButNotCode) {
    FSecond->SetReadOnly(true);
    Post(FSecond, WM_LBUTTONDOWN, MK_LBUTTON);
    Post(FSecond, WM_LBUTTONUP, 0);
    Pump();
    EXPECT_EQ(FLog, (Log{"second down left", "second up left 5,5"}));
    EXPECT_FALSE(FSecond->Checked());
    FLog.clear();
    Post(FSecond, WM_LBUTTONDBLCLK, MK_LBUTTON);
    Pump();
    EXPECT_TRUE(FLog.empty());
    Post(FSecond, WM_KEYDOWN, VK_SPACE);
    Post(FSecond, WM_KEYUP, VK_SPACE);
    Pump();
    EXPECT_FALSE(FSecond->Checked());
    FSecond->SetChecked(true);
    EXPECT_EQ(FLog, (Log{"second click", "second value on"}));
}

TEST_F(RadioButton, ADisabledOptionTakesNoInputButCanBeCheckedByCode) {
    FSecond->SetEnabled(false);
    RECT area;
    ::GetWindowRect(FSecond->Handle(), &area);
    // The system routes no mouse input to a disabled window: no window is found at its place.
    EXPECT_FALSE(::IsWindowEnabled(FSecond->Handle()));
    EXPECT_NE(::WindowFromPoint(POINT{area.left + 5, area.top + 5}), FSecond->Handle());
    FSecond->SetChecked(true);
    EXPECT_EQ(FLog, (Log{"second click", "second value on"}));
    EXPECT_TRUE(ShownChecked(FSecond));
}

TEST_F(RadioButton, LetsTheParentsPictureShowThroughWhileVisualStylesAreOn) {
    const HDC dc = ::GetDC(FFirst->Handle());
    const LRESULT brush =
        ::SendMessageW(FForm->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(FFirst->Handle()));
    const LRESULT erased = ::SendMessageW(FFirst->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::ReleaseDC(FFirst->Handle(), dc);
    ASSERT_TRUE(VisualStylesActive()) << "the test prefix runs with visual styles";
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(erased, 1);
}

TEST_F(RadioButton, MovingItMarksItsBackgroundStale) {
    FFirst->SkinData().SetBGChanged(false);
    FFirst->SetBounds(40, 30, 20, 20);
    PumpMessages(nullptr, 50);
    EXPECT_TRUE(FFirst->SkinData().BGChanged());
}

TEST(RadioButtonDefinition, IsCreatedByNameWithTheAutoSizeAndAnUpperCaseSection) {
    TApplication application;
    auto* form = application.CreateOwned<TTestForm>();
    ReadFormText(*form,
                 "object RadioTest: TControlsTestHost\n"
                 "  object Option1: TsRadioButton\n"
                 "    Left = 731\n    Top = 305\n    Width = 113\n    Height = 40\n    TabOrder = 1\n"
                 "    SkinData.SkinSection = \"checkbox\"\n"
                 "  end\n"
                 "end\n");
    ASSERT_NE(form->Option1, nullptr);
    EXPECT_EQ(form->Option1->Left(), 731);
    EXPECT_EQ(form->Option1->Width(), 20);
    EXPECT_EQ(form->Option1->Height(), 20);
    EXPECT_EQ(ToUtf8(form->Option1->SkinData().SkinSection()), "CHECKBOX");
    EXPECT_FALSE(form->Option1->SkinData().Skinned(false));
    EXPECT_FALSE(form->Option1->SkinData().Skinned(true));
}
