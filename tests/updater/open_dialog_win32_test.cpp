// The open dialog driven from a second thread: typed names, cancelling, the
// filter, the file-must-exist check and the classic dialog's placement.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <optional>

#include "tests/support/window_driver_win32.h"
#include "tests/updater/drive_files_win32.h"
#include "base/win32_handles.h"
#include "updater/open_dialog.h"
#include "updater/open_dialog_win32.h"

namespace {

const char16_t kPersianFilter[] = u"برنامه حسابداری کلوو";

class OpenDialog : public ::testing::TestWithParam<TOpenDialogKind> {
protected:
    void SetUp() override {
        ::OleInitialize(nullptr);
        FOwner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
        FFiles.File(u"D:\\Dialog\\Kelvo.exe");
    }
    void TearDown() override {
        ::DestroyWindow(FOwner);
        ::OleUninitialize();
    }
    TOpenDialogSettings Settings() const {
        return {kPersianFilter, u"Kelvo.exe", 2, u"D:\\Dialog", FOwner, FOwner};
    }
    std::optional<UString> Run(const std::function<void(HWND)>& steps) {
        TDialogDriver driver(L"Open", steps);
        const std::optional<UString> chosen = RunOpenDialogOfKind(Settings(), GetParam());
        driver.Join();
        EXPECT_TRUE(driver.Found());
        return chosen;
    }

    TDriveFiles FFiles;
    HWND FOwner = nullptr;
};

// FilterTexts lists the entries of the dialog's file-type box.
std::vector<UString> FilterTexts(HWND dialog) {
    std::vector<UString> texts;
    HWND box = FindDescendant(dialog, 1136);  // the classic dialog's type box
    if (!box) {
        // The shell's dialog: the combo box whose entries name the pattern.
        ::EnumChildWindows(
            dialog,
            [](HWND wnd, LPARAM lp) CALLBACK -> BOOL {
                wchar_t name[32] = {};
                ::GetClassNameW(wnd, name, 32);
                if (std::wstring(name) != L"ComboBox") return TRUE;
                wchar_t first[256] = {};
                if (::SendMessageW(wnd, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first)) == CB_ERR) return TRUE;
                if (std::wstring(first).find(L"\u06a9\u0644\u0648\u0648") == std::wstring::npos) return TRUE;
                *reinterpret_cast<HWND*>(lp) = wnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&box));
    }
    if (!box) return texts;
    const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(FromW(text));
    }
    return texts;
}

}  // namespace

TEST_P(OpenDialog, AnswersTheTypedPath) {
    const auto chosen = Run([](HWND dialog) { ChooseInOpenDialog(dialog, u"D:\\Dialog\\KELVO.EXE"); });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(ToUtf8(AsciiLower(*chosen)), "d:\\dialog\\kelvo.exe");
}

TEST_P(OpenDialog, StartsInTheGivenFolder) {
    const auto chosen = Run([](HWND dialog) { ChooseInOpenDialog(dialog, u"Kelvo.exe"); });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(ToUtf8(AsciiLower(*chosen)), "d:\\dialog\\kelvo.exe");
}

TEST_P(OpenDialog, AnswersNothingWhenCancelled) {
    EXPECT_FALSE(Run([](HWND dialog) { CancelDialog(dialog); }).has_value());
}

TEST_P(OpenDialog, OffersTheOneFilterAndIsOwnedByTheGivenWindow) {
    std::vector<UString> filters;
    HWND owner = nullptr;
    Run([&](HWND dialog) {
        filters = FilterTexts(dialog);
        owner = ::GetWindow(dialog, GW_OWNER);
        CancelDialog(dialog);
    });
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_NE(filters[0].find(kPersianFilter), UString::npos) << ToUtf8(filters[0]);
    EXPECT_EQ(owner, FOwner);
}

TEST_P(OpenDialog, RefusesANameThatDoesNotExist) {
    bool warned = false;
    Run([&](HWND dialog) {
        ChooseInOpenDialog(dialog, u"D:\\Dialog\\Missing.exe");
        // The dialog says so in a box of its own and stays open.
        for (int i = 0; i < 60 && !warned; ++i) {
            ::Sleep(50);
            ::EnumThreadWindows(
                ::GetWindowThreadProcessId(dialog, nullptr),
                [](HWND wnd, LPARAM lp) CALLBACK -> BOOL {
                    wchar_t name[32] = {};
                    ::GetClassNameW(wnd, name, 32);
                    if (std::wstring(name) != L"#32770" || !::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER) == nullptr)
                        return TRUE;
                    wchar_t title[64] = {};
                    ::GetWindowTextW(wnd, title, 64);
                    if (std::wstring(title) == L"Open") return TRUE;
                    *reinterpret_cast<bool*>(lp) = true;
                    ::PostMessageW(wnd, WM_COMMAND, IDOK, 0);
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&warned));
        }
        ::Sleep(300);
        CancelDialog(dialog);
    });
    EXPECT_TRUE(warned);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OpenDialog, ::testing::Values(odShell, odClassic),
                         [](const ::testing::TestParamInfo<TOpenDialogKind>& kind) { return kind.param == odShell ? "Shell" : "Classic"; });

TEST(ClassicOpenDialog, IsPlacedAtOneThirdOfTheMonitorsFreeHeight) {
    HWND beside = ::CreateWindowExW(0, L"STATIC", L"beside", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
    RECT placed{};
    bool readOnlyBox = false;
    TDialogDriver driver(L"Open", [&](HWND dialog) {
        ::GetWindowRect(dialog, &placed);
        HWND box = FindDescendant(dialog, 1040);
        readOnlyBox = box && ::IsWindowVisible(box);
        CancelDialog(dialog);
    });
    RunOpenDialogOfKind({kPersianFilter, u"Kelvo.exe", 2, u"", beside, beside}, odClassic);
    driver.Join();
    ASSERT_TRUE(driver.Found());
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(beside, MONITOR_DEFAULTTONEAREST), &monitor);
    const int width = placed.right - placed.left, height = placed.bottom - placed.top;
    const int freeWidth = (monitor.rcWork.right - monitor.rcWork.left) - width;
    const int freeHeight = (monitor.rcWork.bottom - monitor.rcWork.top) - height;
    EXPECT_EQ(placed.left, monitor.rcWork.left + freeWidth / 2);
    EXPECT_EQ(placed.top, monitor.rcWork.top + freeHeight / 3);
    EXPECT_TRUE(readOnlyBox) << "without the hide-read-only option the check box shows";
    ::DestroyWindow(beside);
}
