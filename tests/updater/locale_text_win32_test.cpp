#include <gtest/gtest.h>

#include <vector>

#include "tests/support/expect_raises.h"
#include "tests/support/import_hook_win32.h"
#include "toolkit/application_win32.h"
#include "base/system_text.h"
#include "updater/locale_text_win32.h"
#include "base/base_texts.h"

namespace {

constexpr LCID kTurkish = 0x041F;
constexpr LCID kUsEnglish = 0x0409;

}  // namespace

TEST(LocaleText, LowerCasesByTheLocalesLinguisticRules) {
    struct Case {
        LCID locale;
        const char16_t* text;
        const char16_t* lowered;
    };
    const Case cases[] = {
        {kUsEnglish, u"C:\\Program Files (x86)\\KELVO\\Kelvo.EXE", u"c:\\program files (x86)\\kelvo\\kelvo.exe"},
        {kUsEnglish, u"D:\\\u03a3\u0130", u"d:\\\u03c3i"},
        {kTurkish, u"D:\\APPS\\KELVO.EXE", u"d:\\apps\\kelvo.exe"},
        {kTurkish, u"D:\\IMAGES\\\u0130", u"d:\\\u0131mages\\i"},
        {kUsEnglish, u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        TSystemLocaleText text(c.locale);
        EXPECT_EQ(ToUtf8(text.Lower(c.text)), ToUtf8(c.lowered));
    }
}

TEST(LocaleText, ComparesCaseSensitively) {
    TSystemLocaleText text(kUsEnglish);
    EXPECT_TRUE(text.Same(u"kelvo.exe", u"kelvo.exe"));
    EXPECT_FALSE(text.Same(u"Kelvo.exe", u"kelvo.exe"));
    EXPECT_FALSE(text.Same(u"kelvo.ex_", u"kelvo.exe"));
}

TEST(LocaleText, AFailedLowerCasingRaisesTheSystemsError) {
    TSystemLocaleText text(0x7FFF1234);
    ExpectRaises<EOSError>([&] { text.Lower(u"D:\\Apps\\Kelvo.exe"); },
                           u"System Error.  Code: 87.\r\n" + SystemErrorText(87));
}

// TThreadLocaleAnswer makes GetThreadLocale answer a given value and records
// what SetThreadLocale is asked: the user default can then differ from the
// value the program started with, which a test cannot arrange on the system.
class TThreadLocaleAnswer {
public:
    explicit TThreadLocaleAnswer(LCID answer)
        : FGet("kernel32.dll", "GetThreadLocale", reinterpret_cast<void*>(&Get)),
          FSet("kernel32.dll", "SetThreadLocale", reinterpret_cast<void*>(&Set)) {
        Answer = answer;
        Requested.clear();
    }
    static inline LCID Answer = 0;
    static inline std::vector<LCID> Requested;

private:
    static LCID WINAPI Get() { return Answer; }
    static BOOL WINAPI Set(LCID locale) {
        Requested.push_back(locale);
        return TRUE;
    }
    TImportHook FGet;
    TImportHook FSet;
};

TEST(ProcessLocale, IsReadAgainFromTheUsersDefaultOnASettingsChange) {
    const LCID start = ProcessLocale();
    EXPECT_EQ(start, ::GetUserDefaultLCID()) << "read at start from the thread locale";
    const LCID changed = start == kTurkish ? kUsEnglish : kTurkish;
    {
        TThreadLocaleAnswer answer(changed);
        EXPECT_EQ(ProcessLocale(), start) << "not read again before the settings change";
        TApplication application;
        application.OnSettingChange = RefreshProcessLocale;
        ::SendMessageW(application.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
        EXPECT_EQ(TThreadLocaleAnswer::Requested, std::vector<LCID>{LOCALE_USER_DEFAULT});
        EXPECT_EQ(ProcessLocale(), changed);
    }
    RefreshProcessLocale();
    EXPECT_EQ(ProcessLocale(), start);
}

LCID WINAPI TurkishUserDefault() { return kTurkish; }

TEST(ProcessLocale, AThreadLocaleOfZeroMeansUsEnglish) {
    {
        TThreadLocaleAnswer answer(0);
        // Not the user default either, even where that is another locale.
        TImportHook userDefault("kernel32.dll", "GetUserDefaultLCID", reinterpret_cast<void*>(&TurkishUserDefault));
        RefreshProcessLocale();
        EXPECT_EQ(ProcessLocale(), kUsEnglish);
    }
    RefreshProcessLocale();
}
