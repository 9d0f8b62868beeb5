#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "controls/skin_data_win32.h"
#include "tests/controls/test_host_win32.h"
#include "toolkit/application_win32.h"

namespace {

// TSkinProbe is a windowed control that passes its messages through its
// holder's hook, as the skinnable controls do, and counts what arrives.
class TSkinProbe : public TWinControl {
public:
    static constexpr char16_t kClassName[] = u"TSkinProbe";
    explicit TSkinProbe(TComponent* owner) : TWinControl(owner), Data(this, false) { SetBounds(0, 0, 30, 20); }
    UString ClassName() const override { return kClassName; }

    void WndProc(TMessage& message) override {
        if (message.Msg == WM_PAINT) ++Paints;
        if (message.Msg == WM_ERASEBKGND) ++Erases;
        if (message.Msg == SM_SKINCOMMAND) SkinCommands.push_back(message.WParam);
        if (ControlIsReady(this)) SkinDataHook(message, Data);
        TWinControl::WndProc(message);
    }

    TsCommonData Data;
    int Paints = 0;
    int Erases = 0;
    std::vector<WPARAM> SkinCommands;
};

class SkinDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApp = std::make_unique<TApplication>();
        FHost = FApp->CreateOwned<TTestHost>();
        FHost->SetClientSize(100, 100);
        FApp->AddForm(FHost);
        FHost->Show();
    }
    TSkinProbe* Probe() {
        auto* probe = FHost->CreateOwned<TSkinProbe>();
        probe->SetParent(FHost);
        probe->HandleNeeded();
        ::UpdateWindow(probe->Handle());
        probe->Paints = probe->Erases = 0;
        return probe;
    }

    std::unique_ptr<TApplication> FApp;
    TForm* FHost = nullptr;
};

}  // namespace

TEST_F(SkinDataTest, HasACacheBitmapOnlyWhenMadeWithOne) {
    TSkinProbe* probe = Probe();
    TsCtrlSkinData data(probe, true);
    ASSERT_NE(data.CacheBmp(), nullptr);
    EXPECT_EQ(data.CacheBmp()->Width(), 0);
    EXPECT_EQ(TsCommonData(probe, false).CacheBmp(), nullptr);
}

TEST_F(SkinDataTest, IsNeverSkinnedWithoutAManager) {
    TSkinProbe* probe = Probe();
    for (const char16_t* section : {u"", u"CHECKBOX", u"BUTTON"}) {
        TsCommonData data(probe, false);
        data.SetSkinSection(section);
        data.Loaded();
        EXPECT_FALSE(data.Skinned(false));
        EXPECT_FALSE(data.Skinned(true));
        EXPECT_FALSE(data.Updating());
        EXPECT_EQ(data.SkinIndex, -1);
    }
}

TEST_F(SkinDataTest, StoresTheSectionUpperCased) {
    TSkinProbe* probe = Probe();
    TsCommonData data(probe, false);
    data.SetSkinSection(u"checkbox");
    EXPECT_EQ(data.SkinSection(), u"CHECKBOX");
    data.SetSkinSection(u"Edit\u00e7");
    EXPECT_EQ(data.SkinSection(), u"EDIT\u00c7");
}

TEST_F(SkinDataTest, LoadedGivesAnEmptySectionTheDefaultOfItsControlCode) {
    struct Case { int code; const char16_t* preset; const char16_t* section; };
    const Case cases[] = {
        {kRadioButtonCode, u"", u"CHECKBOX"},
        {kImageCode, u"", u"CHECKBOX"},
        {7, u"", u"TSKINPROBE"},  // the class name, stored upper-cased
        {kImageCode, u"panel", u"PANEL"},
    };
    TSkinProbe* probe = Probe();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        TsCommonData data(probe, false);
        data.COC = c.code;
        data.SetSkinSection(c.preset);
        data.Loaded();
        EXPECT_FALSE(data.Loading);
        EXPECT_EQ(data.SkinSection(), c.section);
    }
}

TEST_F(SkinDataTest, InvalidateRedrawsAReadyControlWithErasure) {
    TSkinProbe* probe = Probe();
    probe->Data.Invalidate(true);
    EXPECT_EQ(probe->Paints, 0) << "nothing while the holder is loading";
    probe->Data.Loaded();
    probe->Data.Invalidate(true);
    EXPECT_EQ(probe->Paints, 1) << "painted at once";
    EXPECT_EQ(probe->Erases, 1);
    probe->Data.Invalidate(false);
    EXPECT_EQ(probe->Paints, 1) << "only invalidated";
    ::UpdateWindow(probe->Handle());
    EXPECT_EQ(probe->Paints, 2);
}

TEST_F(SkinDataTest, MovingAControlRedrawsItWithoutErasing) {
    TSkinProbe* probe = Probe();
    probe->Data.Loaded();
    probe->SetBounds(10, 10, 30, 20);
    ASSERT_FALSE(probe->SkinCommands.empty());
    EXPECT_EQ(probe->SkinCommands.back(), WPARAM(0x140001));
    const int paints = probe->Paints;
    const int erases = probe->Erases;
    ::UpdateWindow(probe->Handle());
    EXPECT_EQ(probe->Paints, paints + 1);
    EXPECT_EQ(probe->Erases, erases);
}

TEST_F(SkinDataTest, ReadyOnlyWithAWindowAParentAndNoLoading) {
    EXPECT_FALSE(ControlIsReady(nullptr));
    auto* unparented = FHost->CreateOwned<TSkinProbe>();
    EXPECT_FALSE(ControlIsReady(unparented));
    auto* noWindow = FHost->CreateOwned<TSkinProbe>();
    noWindow->IncludeState(csLoading);
    noWindow->SetParent(FHost);
    EXPECT_FALSE(ControlIsReady(noWindow));
    noWindow->ExcludeState(csLoading);
    EXPECT_TRUE(ControlIsReady(noWindow)) << "created its window when put on a shown parent";
    noWindow->IncludeState(csReading);
    EXPECT_FALSE(ControlIsReady(noWindow));
}
