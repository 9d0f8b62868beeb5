#include <gtest/gtest.h>

#include "base/system_text.h"
#include "base/text.h"

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(Format(u"Cannot open file \"%s\". %s", {u"C:\\a.dat", u"Access is denied"}),
              u"Cannot open file \"C:\\a.dat\". Access is denied");
    EXPECT_EQ(Format(u"%s and %s", {u"one"}), u"one and %s");
    EXPECT_EQ(Format(u"100% sure", {u"x"}), u"100% sure");
}

TEST(Utf8, RoundTripsPersianAndAstralText) {
    const UString text = u"آپدیت نرم افزار \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00e9"), "\xc3\xa9");
}

TEST(Utf8, InvalidSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xc3(\xff"), u"a\uFFFD(\uFFFD");
    EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");       // overlong
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(FromUtf8("\xe2\x82"), u"\uFFFD\uFFFD");        // cut short
}

TEST(AsciiLower, LowersOnlyLatinCapitals) {
    EXPECT_EQ(AsciiLower(u"/VMVER \u0130\u00c9"), u"/vmver \u0130\u00c9");
}

TEST(SystemText, DropsTrailingBlanksAndFullStops) {
    EXPECT_EQ(TrimSystemText(u"Access is denied.\r\n"), u"Access is denied");
    EXPECT_EQ(TrimSystemText(u"a. . \t"), u"a");
}
