#include <gtest/gtest.h>

#include "tests/support/expect_raises.h"
#include "toolkit/system_text.h"
#include "updater/locale_text_win32.h"

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

TEST(ProcessLocale, IsReadAtStartAndAgainFromTheUsersDefaultOnASettingsChange) {
    const LCID user = ::GetUserDefaultLCID();
    EXPECT_EQ(ProcessLocale(), user);
    ASSERT_TRUE(::SetThreadLocale(kTurkish));
    EXPECT_EQ(ProcessLocale(), user);
    RefreshProcessLocale();
    EXPECT_EQ(::GetThreadLocale(), user);
    EXPECT_EQ(ProcessLocale(), user);
}
