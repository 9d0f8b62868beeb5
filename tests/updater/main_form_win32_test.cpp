// The main window built from its definition, driven by messages: the state of
// every control after every event of the install discovery.
#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>
#include <objbase.h>

#include <optional>
#include <string>

#include "controls/picture_classes.h"
#include "tests/support/import_hook_win32.h"
#include "tests/support/window_driver_win32.h"
#include "tests/updater/drive_files_win32.h"
#include "toolkit/application_win32.h"
#include "updater/main_form_win32.h"

namespace {

const UString kDots(111, u'.');
const UString kX86 = u"D:\\Program Files (x86)\\Kelvo\\Kelvo.exe";
const UString kX86Marker = u"D:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl";

struct TState {
    bool Start;
    bool Warning;
    bool AutomaticEnabled, AutomaticChecked;
    bool ManualEnabled, ManualChecked;
    UString Found, Chosen, Folder;
};

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterDefaultPictureClasses(); }
    void SetUp() override {
        InstallFolder.clear();
        FApplication.OnException = [this](const UString& text) { FErrors.push_back(ToUtf8(text)); };
        FApplication.CreateForm(Form1);
    }
    void TearDown() override {
        EXPECT_TRUE(FErrors.empty()) << FErrors.front();
        InstallFolder.clear();
    }

    void Show() {
        Form1->Show();
        Pump(200);
    }
    // PumpUntil runs the application's own dispatch, which moves the focus with the arrow keys.
    bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
        const DWORD until = ::GetTickCount() + DWORD(milliseconds);
        for (;;) {
            FApplication.ProcessMessages();
            if (done && done()) return true;
            if (::GetTickCount() >= until) return done ? done() : true;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    void Pump(int milliseconds = 150) { PumpUntil(nullptr, milliseconds); }
    void Release(TsRadioButton* radio, UINT down, UINT up, WPARAM keys, int x = 5, int y = 5) {
        ::PostMessageW(radio->Handle(), down, keys, MAKELPARAM(5, 5));
        ::PostMessageW(radio->Handle(), up, 0, MAKELPARAM(x, y));
    }
    // Pick presses and releases a mouse button over the manual option and
    // answers the open dialog with a path, or cancels it when there is none.
    bool Pick(std::optional<UString> path, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP,
              WPARAM keys = MK_LBUTTON, int x = 5, int y = 5) {
        TDialogDriver driver(L"Open", [&](HWND dialog) {
            FDialogOwner = ::GetWindow(dialog, GW_OWNER);
            FMainEnabledWhileOpen = ::IsWindowEnabled(Form1->Handle()) != 0;
            // Wine keeps the window's topmost style through the step back; the
            // application's own account of it is what can be read here.
            FMainTopMostWhileOpen = FApplication.TopMostAllowed();
            FManualCheckedWhileOpen = ::SendMessageW(Form1->sRadioButton2->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
            FAutomaticCheckedWhileOpen = Form1->sRadioButton1->Checked();
            FStartEnabledWhileOpen = Form1->Button1->Enabled();
            FChosenWhileOpen = Form1->Label1->Caption();
            if (path) ChooseInOpenDialog(dialog, *path);
            else CancelDialog(dialog);
        });
        Release(Form1->sRadioButton2, down, up, keys, x, y);
        PumpUntil([&] { return driver.Done(); }, 10000);
        driver.Join();
        Pump();
        return driver.Found();
    }

    TState State() const {
        return {Form1->Button1->Enabled(),           Form1->sImage2->Visible(),
                Form1->sRadioButton1->Enabled(),     Form1->sRadioButton1->Checked(),
                Form1->sRadioButton2->Enabled(),     Form1->sRadioButton2->Checked(),
                Form1->Label2->Caption(),            Form1->Label1->Caption(),
                InstallFolder};
    }
    static void ExpectState(const TState& actual, const TState& expected) {
        EXPECT_EQ(actual.Start, expected.Start);
        EXPECT_EQ(actual.Warning, expected.Warning);
        EXPECT_EQ(actual.AutomaticEnabled, expected.AutomaticEnabled);
        EXPECT_EQ(actual.AutomaticChecked, expected.AutomaticChecked);
        EXPECT_EQ(actual.ManualEnabled, expected.ManualEnabled);
        EXPECT_EQ(actual.ManualChecked, expected.ManualChecked);
        EXPECT_EQ(ToUtf8(actual.Found), ToUtf8(expected.Found));
        EXPECT_EQ(ToUtf8(actual.Chosen), ToUtf8(expected.Chosen));
        EXPECT_EQ(ToUtf8(actual.Folder), ToUtf8(expected.Folder));
        // The windows follow the controls.
        EXPECT_EQ(::IsWindowEnabled(Form1->Button1->Handle()) != 0, expected.Start);
        EXPECT_EQ(::IsWindowEnabled(Form1->sRadioButton1->Handle()) != 0, expected.AutomaticEnabled);
        EXPECT_EQ(::SendMessageW(Form1->sRadioButton1->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED,
                  expected.AutomaticChecked);
        EXPECT_EQ(::SendMessageW(Form1->sRadioButton2->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED,
                  expected.ManualChecked);
    }
    // Accepted: Kelvo found with its marker at start-up.
    void StartAccepted() {
        FFiles.File(kX86);
        FFiles.File(kX86Marker);
        Show();
        ASSERT_TRUE(Form1->Button1->Enabled());
    }

    TDriveFiles FFiles;
    TApplication FApplication;
    TFocusClickEmulation FWindowsButtonFocus;
    std::vector<std::string> FErrors;
    HWND FDialogOwner = nullptr;
    bool FMainEnabledWhileOpen = true;
    bool FMainTopMostWhileOpen = true;
    bool FStartEnabledWhileOpen = true;
    bool FManualCheckedWhileOpen = false;
    bool FAutomaticCheckedWhileOpen = false;
    UString FChosenWhileOpen;
};

}  // namespace

TEST_F(MainWindow, BeforeItIsShownEverythingIsAsDefined) {
    ExpectState(State(), {true, true, true, false, true, false, kDots, kDots, u""});
}

TEST_F(MainWindow, StartUpFoundWithTheMarkerAcceptsTheFolder) {
    StartAccepted();
    ExpectState(State(), {true, false, true, true, true, false, kX86, kDots, u"d:\\program files (x86)\\kelvo\\"});
}

TEST_F(MainWindow, StartUpFoundWithoutTheMarkerKeepsTheStartDisabled) {
    FFiles.File(u"E:\\Program Files\\Kelvo\\Kelvo.exe");
    FFiles.Folder(u"E:\\Program Files\\Kelvo\\dbrtsl100.bpl");
    Show();
    ExpectState(State(), {false, false, true, true, true, false, u"E:\\Program Files\\Kelvo\\Kelvo.exe", kDots,
                          u"E:\\Program Files\\Kelvo\\Kelvo.exe"});
}

TEST_F(MainWindow, TheX86FolderWinsEvenWithoutItsMarker) {
    FFiles.File(kX86);
    FFiles.File(u"D:\\Program Files\\Kelvo\\Kelvo.exe");
    FFiles.File(u"D:\\Program Files\\Kelvo\\dbrtsl100.bpl");
    Show();
    EXPECT_EQ(ToUtf8(Form1->Label2->Caption()), ToUtf8(kX86));
    EXPECT_FALSE(Form1->Button1->Enabled());
}

TEST_F(MainWindow, StartUpNothingFoundShowsTheWarningAndDisablesTheAutomaticOption) {
    FFiles.File(u"I:\\Program Files\\Kelvo\\Kelvo.exe");
    FFiles.File(u"M:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    FFiles.Folder(u"F:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    Show();
    ExpectState(State(), {false, true, false, true, true, false, u"", kDots, u"L:\\Program Files\\Kelvo\\Kelvo.exe"});
}

TEST_F(MainWindow, ACancelledDialogDisablesTheStartAndKeepsTheFolder) {
    StartAccepted();
    ASSERT_TRUE(Pick(std::nullopt));
    EXPECT_FALSE(FStartEnabledWhileOpen);
    EXPECT_EQ(FChosenWhileOpen, kDots);
    ExpectState(State(), {false, false, true, false, true, true, kX86, kDots, u"d:\\program files (x86)\\kelvo\\"});
}

TEST_F(MainWindow, TheDialogIsOwnedByTheApplicationWindowAndTheProgramStepsBack) {
    StartAccepted();
    ASSERT_TRUE(Pick(std::nullopt));
    EXPECT_EQ(FDialogOwner, FApplication.Handle());
    EXPECT_FALSE(FMainEnabledWhileOpen);
    EXPECT_FALSE(FMainTopMostWhileOpen);
    EXPECT_TRUE(::IsWindowEnabled(Form1->Handle()));
    EXPECT_TRUE(::GetWindowLongPtrW(Form1->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainWindow, ManualPicksThatAreNotAcceptedShowThePathOnly) {
    FFiles.File(u"D:\\Apps\\dbrtsl100.bpl");
    FFiles.File(u"D:\\Apps\\Kelvo.exe.bak");
    FFiles.File(u"D:\\Apps\\oldkelvo.exe");
    FFiles.File(u"D:\\Bare\\Kelvo.exe");
    FFiles.File(u"D:\\Odd\\Kelvo.exe");
    FFiles.Folder(u"D:\\Odd\\dbrtsl100.bpl");
    StartAccepted();
    const char16_t* picks[] = {u"D:\\Apps\\Kelvo.exe.bak", u"D:\\Apps\\oldkelvo.exe", u"D:\\Bare\\Kelvo.exe",
                               u"D:\\Odd\\Kelvo.exe"};
    for (const char16_t* pick : picks) {
        SCOPED_TRACE(ToUtf8(pick));
        ASSERT_TRUE(Pick(UString(pick)));
        ExpectState(State(), {false, false, true, false, true, true, kX86, pick, u"d:\\program files (x86)\\kelvo\\"});
    }
}

TEST_F(MainWindow, AManualPickWithTheMarkerBesideItIsAccepted) {
    FFiles.File(u"D:\\Apps\\KELVO.EXE");
    FFiles.File(u"D:\\Apps\\dbrtsl100.bpl");
    Show();  // nothing found
    ASSERT_TRUE(Pick(UString(u"D:\\Apps\\KELVO.EXE")));
    ExpectState(State(), {true, true, false, false, true, true, u"", u"D:\\Apps\\KELVO.EXE", u"d:\\apps\\"});
}

TEST_F(MainWindow, TheMarkerIsLookedForBesideThePickedFileOnly) {
    FFiles.File(u"D:\\Kelvo.exe.old\\Kelvo.exe");
    FFiles.File(u"D:\\Kelvo.exe.old\\dbrtsl100.bpl");
    Show();
    ASSERT_TRUE(Pick(UString(u"D:\\Kelvo.exe.old\\Kelvo.exe")));
    EXPECT_TRUE(Form1->Button1->Enabled());
    EXPECT_EQ(ToUtf8(InstallFolder), "d:\\kelvo.exe.old\\");
}

TEST_F(MainWindow, APathWithAnAmpersandIsShownAsItIs) {
    FFiles.File(u"D:\\R&D\\Kelvo.exe");
    Show();
    ASSERT_TRUE(Pick(UString(u"D:\\R&D\\Kelvo.exe")));
    EXPECT_EQ(ToUtf8(Form1->Label1->Caption()), "D:\\R&D\\Kelvo.exe");
}

TEST_F(MainWindow, TheDialogStartsInTheCurrentDirectory) {
    FFiles.File(u"D:\\Start\\Kelvo.exe");
    FFiles.File(u"D:\\Start\\dbrtsl100.bpl");
    Show();
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(L"D:\\Start\\"));
    const bool found = Pick(UString(u"Kelvo.exe"));
    ::SetCurrentDirectoryW(previous);
    ASSERT_TRUE(found);
    EXPECT_EQ(ToUtf8(Form1->Label1->Caption()), "D:\\Start\\Kelvo.exe");
    EXPECT_EQ(ToUtf8(InstallFolder), "d:\\start\\");
}

// TClassicDialogRequest makes the shell's dialog unavailable and records what
// the program asks the classic dialog for (found at run time in comdlg32),
// answering as a cancel.
class TClassicDialogRequest {
public:
    TClassicDialogRequest()
        : FNoShell("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&NoShell)),
          FDialog("GetOpenFileNameW", reinterpret_cast<void*>(&Record)) {
        Asked = 0;
    }
    static inline int Asked = 0;
    static inline std::wstring Filter, Folder;
    static inline DWORD FilterIndex = 0, Flags = 0;
    static inline HWND Owner = nullptr;

private:
    static HRESULT WINAPI NoShell(REFCLSID, IUnknown*, DWORD, REFIID, LPVOID* out) {
        *out = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    static BOOL WINAPI Record(OPENFILENAMEW* dialog) {
        ++Asked;
        const wchar_t* end = dialog->lpstrFilter;
        while (end[0] != 0 || end[1] != 0) ++end;  // the list ends with two nulls
        Filter.assign(dialog->lpstrFilter, end + 2);
        Folder = dialog->lpstrInitialDir ? dialog->lpstrInitialDir : L"(none)";
        FilterIndex = dialog->nFilterIndex;
        Flags = dialog->Flags;
        Owner = dialog->hwndOwner;
        return FALSE;
    }
    TImportHook FNoShell;
    TLibraryEntryHook FDialog;
};

TEST_F(MainWindow, TheManualPickAsksForItsFilterIndexOptionsAndFolder) {
    FFiles.File(u"D:\\Start\\Kelvo.exe");
    Show();
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(L"D:\\Start\\"));
    {
        TClassicDialogRequest request;
        Release(Form1->sRadioButton2, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
        PumpUntil([] { return TClassicDialogRequest::Asked > 0; }, 5000);
    }
    ::SetCurrentDirectoryW(previous);
    ASSERT_EQ(TClassicDialogRequest::Asked, 1);
    EXPECT_EQ(TClassicDialogRequest::Filter, std::wstring(L"\u0628\u0631\u0646\u0627\u0645\u0647 \u062d\u0633\u0627\u0628\u062f\u0627\u0631\u06cc "
                                                          L"\u06a9\u0644\u0648\u0648\0Kelvo.exe\0\0", 32));
    EXPECT_EQ(TClassicDialogRequest::FilterIndex, 2u);
    // File-must-exist is the one option; the hook and the explorer frame only serve the placement.
    EXPECT_EQ(TClassicDialogRequest::Flags & ~DWORD(OFN_ENABLEHOOK | OFN_EXPLORER), DWORD(OFN_FILEMUSTEXIST));
    EXPECT_EQ(TClassicDialogRequest::Folder, L"D:\\Start");
    EXPECT_EQ(TClassicDialogRequest::Owner, FApplication.Handle());
}

TEST_F(MainWindow, RightAndMiddleReleasesOpenTheDialogWithoutChecking) {
    StartAccepted();
    ASSERT_TRUE(Pick(std::nullopt, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON));
    ExpectState(State(), {false, false, true, true, true, false, kX86, kDots, u"d:\\program files (x86)\\kelvo\\"});
    ASSERT_TRUE(Pick(std::nullopt, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON));
    EXPECT_TRUE(Form1->sRadioButton1->Checked());
    EXPECT_FALSE(Form1->sRadioButton2->Checked());
}

TEST_F(MainWindow, AReleaseOutsideTheOptionOpensTheDialogWithoutChecking) {
    StartAccepted();
    ASSERT_TRUE(Pick(std::nullopt, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, -200, 40));
    // What the release did; when the dialog closes, the focus the press gave
    // the option comes back to it, and what that does is the system button's.
    EXPECT_TRUE(FAutomaticCheckedWhileOpen);
    EXPECT_FALSE(FManualCheckedWhileOpen);
    EXPECT_FALSE(FStartEnabledWhileOpen);
}

TEST_F(MainWindow, CheckingTheAutomaticOptionAgainRepeatsTheSearch) {
    FFiles.File(u"D:\\Apps\\Kelvo.exe");
    FFiles.File(u"D:\\Apps\\dbrtsl100.bpl");
    StartAccepted();
    ASSERT_TRUE(Pick(UString(u"D:\\Apps\\Kelvo.exe")));
    ASSERT_EQ(ToUtf8(InstallFolder), "d:\\apps\\");
    Release(Form1->sRadioButton1, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    Pump();
    ExpectState(State(), {true, false, true, true, true, false, kX86, u"D:\\Apps\\Kelvo.exe",
                          u"d:\\program files (x86)\\kelvo\\"});
}

TEST_F(MainWindow, AClickOnTheCheckedAutomaticOptionChangesNothing) {
    FFiles.File(kX86);
    Show();
    FFiles.File(kX86Marker);  // would be accepted if the search ran again
    Release(Form1->sRadioButton1, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
    Pump();
    ExpectState(State(), {false, false, true, true, true, false, kX86, kDots, kX86});
}

TEST_F(MainWindow, ChoosingTheManualOptionByKeyboardNeverOpensTheDialog) {
    StartAccepted();
    Form1->sRadioButton1->SetFocus();
    Pump();
    TDialogDriver driver(L"Open", [](HWND dialog) { CancelDialog(dialog); }, 1500);
    ::PostMessageW(Form1->sRadioButton1->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    PumpUntil([&] { return driver.Done(); }, 3000);
    driver.Join();
    EXPECT_FALSE(driver.Found());
    ExpectState(State(), {true, false, true, false, true, true, kX86, kDots, u"d:\\program files (x86)\\kelvo\\"});
}

TEST_F(MainWindow, CheckingTheAutomaticOptionByKeyboardRepeatsTheSearch) {
    FFiles.File(u"D:\\Apps\\Kelvo.exe");
    FFiles.File(u"D:\\Apps\\dbrtsl100.bpl");
    StartAccepted();
    ASSERT_TRUE(Pick(UString(u"D:\\Apps\\Kelvo.exe")));
    Form1->sRadioButton2->SetFocus();
    Pump();
    ::PostMessageW(Form1->sRadioButton2->Handle(), WM_KEYDOWN, VK_UP, 0);
    Pump(300);
    ExpectState(State(), {true, false, true, true, true, false, kX86, u"D:\\Apps\\Kelvo.exe",
                          u"d:\\program files (x86)\\kelvo\\"});
}
