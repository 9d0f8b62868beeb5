#include <gtest/gtest.h>

#include "base/system_text.h"
#include "base/text.h"

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(Format(u"Cannot open file \"%s\". %s", {u"C:\\a.dat", u"Access is denied"}),
              u"Cannot open file \"C:\\a.dat\". Access is denied");
    EXPECT_EQ(Format(u"%s and %s", {u"one"}), u"one and %s");
    EXPECT_EQ(Format(u"100% sure", {u"x"}), u"100% sure");
    EXPECT_EQ(Format(UStringView(u"a%s", 2), {u"x"}), u"a%");  // a "%" that ends the pattern, whatever follows in memory
}

TEST(Utf8, RoundTripsPersianAndAstralText) {
    const UString text = u"آپدیت نرم افزار \U0001F600\uFFFF";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00e9"), "\xc3\xa9");
    EXPECT_EQ(ToUtf8(u"\U00010000\U0010FFFF"), "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf");  // the first and last pairs
    EXPECT_EQ(FromUtf8("\xf0\x90\x80\x80"), u"\U00010000");
    EXPECT_EQ(FromUtf8(std::string_view("\0\xc2\x80\xe0\xa0\x80", 6)), (UString{0, 0x80, 0x800}));  // the first of each length
    EXPECT_EQ(ToUtf8(u"\u007F\u0080\u07FF\u0800\uFFFF"), "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf");  // where the lengths change
    EXPECT_EQ(ToUtf8(u"\uE000"), "\xee\x80\x80");  // the first character after the surrogates
    // A high surrogate that ends the text is alone, whatever follows it in memory.
    EXPECT_EQ(ToUtf8(UStringView(u"\U0001F600").substr(0, 1)), "\xef\xbf\xbd");
    EXPECT_EQ(ToUtf8(UString{0xD800, 0xE000}), "\xef\xbf\xbd\xee\x80\x80");  // also before a character above the low ones
    EXPECT_EQ(ToUtf8(UString{0xD7FF, 0xDC00}), "\xed\x9f\xbf\xef\xbf\xbd");  // the character before them pairs with none
    EXPECT_EQ(ToUtf8(UString{0xDBFF, 0xDFFF, 0xDC00, 0xDC00, 0xD800, 0xDBFF}),  // the last pair; two low, two high ones
              "\xf4\x8f\xbf\xbf\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
}

TEST(Utf8, InvalidSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xc3(\xff"), u"a\uFFFD(\uFFFD");
    EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");       // overlong
    EXPECT_EQ(FromUtf8("\xc1\xbf"), u"\uFFFD\uFFFD");       // overlong U+007F, the largest in two bytes
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(FromUtf8("\xed\xbf\xbf"), u"\uFFFD\uFFFD\uFFFD");  // the last surrogate
    EXPECT_EQ(FromUtf8("\xed\x9f\xbf"), u"\uD7FF");                // the last character before them
    EXPECT_EQ(FromUtf8("\xee\x80\x80"), u"\uE000");                // and the first after them
    EXPECT_EQ(FromUtf8("\xe2\x82"), u"\uFFFD\uFFFD");        // cut short
    EXPECT_EQ(FromUtf8(std::string_view("\xc3\xa9", 1)), u"\uFFFD");  // whatever follows in memory
    EXPECT_EQ(FromUtf8("\x80"), u"\uFFFD");                   // a continuation byte alone
    EXPECT_EQ(FromUtf8("\xf4\x8f\xbf\xbf\xf4\x90\x80\x80"), u"\U0010FFFF\uFFFD\uFFFD\uFFFD\uFFFD");  // the last; beyond it
}

TEST(AsciiLower, LowersOnlyLatinCapitals) {
    EXPECT_EQ(AsciiLower(u"/VMVER \u0130\u00c9"), u"/vmver \u0130\u00c9");
    EXPECT_EQ(AsciiLower(u"@AZ["), u"@az[");
}

TEST(SystemText, DropsTrailingBlanksAndFullStops) {
    EXPECT_EQ(TrimSystemText(u"Access is denied.\r\n"), u"Access is denied");
    EXPECT_EQ(TrimSystemText(u"a. . \t"), u"a");
}
