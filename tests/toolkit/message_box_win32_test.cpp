#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "tests/support/window_driver_win32.h"
#include "toolkit/application_win32.h"
#include "toolkit/theme_library_win32.h"

namespace {

// Under Simplified Chinese the system's own OK button reads "确定".
constexpr LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const UString kSystemOkInChinese = u"\u786E\u5B9A";

// TThreadLanguage gives this thread another locale and user-interface language
// for one scope: the system's resources (button texts) follow them.
class TThreadLanguage {
public:
    explicit TThreadLanguage(LANGID language)
        : FLocale(::GetThreadLocale()), FLanguage(::GetThreadUILanguage()) {
        ::SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
        ::SetThreadUILanguage(language);
    }
    ~TThreadLanguage() {
        ::SetThreadLocale(FLocale);
        ::SetThreadUILanguage(FLanguage);
    }
    TThreadLanguage(const TThreadLanguage&) = delete;
    TThreadLanguage& operator=(const TThreadLanguage&) = delete;

private:
    LCID FLocale;
    LANGID FLanguage;
};

struct TBoxButtons {
    std::vector<UString> Texts;
    bool PressedAsOk = false;  // the button has the OK button's id
    bool Classic = false;      // a classic message box: its text is the static of id 0xFFFF
};

TBoxButtons ButtonsOf(HWND box) {
    TBoxButtons buttons;
    std::vector<HWND> children;
    ::EnumChildWindows(
        box,
        [](HWND wnd, LPARAM list) CALLBACK -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        if (::IsWindowVisible(child) && std::wstring(name) == L"Button") buttons.Texts.push_back(WindowText(child));
    }
    return buttons;
}

// ShownButtons runs show, which opens a box captioned title, reads the box's
// buttons from another thread and presses its OK button (or, without one,
// closes the box, so that the test cannot hang on it).
TBoxButtons ShownButtons(const UString& title, const std::function<void()>& show) {
    TBoxButtons buttons;
    TDialogDriver driver(reinterpret_cast<const wchar_t*>(title.c_str()), [&buttons](HWND box) {
        buttons = ButtonsOf(box);
        buttons.Classic = ::GetDlgItem(box, 0xFFFF) != nullptr;
        HWND ok = ::GetDlgItem(box, IDOK);
        buttons.PressedAsOk = ok != nullptr;
        if (ok) ::PostMessageW(ok, BM_CLICK, 0, 0);
        else ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    show();
    driver.Join();
    EXPECT_TRUE(driver.Found()) << "no box captioned with the title appeared";
    return buttons;
}

}  // namespace

TEST(PlainMessage, HasOneButtonLabelledOkWhateverTheSystemsLanguage) {
    auto app = std::make_unique<TApplication>();
    const TThreadLanguage chinese(kChinese);
    const UString title = app->Title();
    const TBoxButtons system = ShownButtons(title, [&] { app->MessageBox(u"system", title, MB_OK); });
    ASSERT_EQ(system.Texts, std::vector<UString>{kSystemOkInChinese})
        << "the system's own OK button must read otherwise under this language, or the test shows nothing";
    ASSERT_TRUE(VisualStylesActive()) << "the task dialog form needs the system's visual style";

    struct Case { const char* form; bool classic; std::function<void()> show; };
    const Case cases[] = {
        {"task dialog", false, [&] { app->ShowPlainMessage(u"Velmora v9.11"); }},
        {"classic box", true, [&] { app->ShowClassicPlainMessage(u"Velmora v9.11"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        const TBoxButtons plain = ShownButtons(title, c.show);
        EXPECT_EQ(plain.Classic, c.classic);
        EXPECT_EQ(plain.Texts, std::vector<UString>{u"OK"});
        EXPECT_TRUE(plain.PressedAsOk) << "the button answers as the OK button";
    }
}
