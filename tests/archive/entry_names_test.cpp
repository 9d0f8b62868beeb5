#include <gtest/gtest.h>

#include "archive/entry_names.h"
#include "archive/zip_texts.h"
#include "tests/support/expect_raises.h"

namespace {
TBytes B(const std::string& s) { return TBytes(s.begin(), s.end()); }
}  // namespace

TEST(EntryNames, StrictUtf8DecodesValidText) {
    EXPECT_EQ(DecodeEntryName(B("a/b.txt"), true), u"a/b.txt");
    EXPECT_EQ(DecodeEntryName(B("\xD8\xAF\xD8\xA7\xD8\xAF\xD9\x87"), true), u"\u062F\u0627\u062F\u0647");
    EXPECT_EQ(DecodeEntryName(B("\xE2\x82\xAC"), true), u"\u20AC");
    EXPECT_EQ(DecodeEntryName(B("\xF0\x9F\x98\x80"), true), u"\U0001F600");
    EXPECT_EQ(DecodeEntryName(B(std::string("a\0b", 3)), true), UString(u"a\0b", 3));
    EXPECT_EQ(DecodeEntryName(B(""), true), u"");
}

TEST(EntryNames, StrictUtf8RejectsEveryInvalidSequence) {
    const char* cases[] = {
        "\xC3(",           // continuation missing
        "\xFF",            // never a lead byte
        "\x80",            // lone continuation
        "\xC0\xAF",        // overlong "/"
        "\xE0\x80\xAF",    // overlong "/" in three bytes
        "\xED\xA0\x80",    // a surrogate
        "\xE2\x82",        // cut short
        "\xF4\x90\x80\x80" // above U+10FFFF
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        ExpectRaises<EEncodingError>([&] { DecodeEntryName(B(c), true); }, UString(kNoUnicodeMapping));
    }
}

TEST(EntryNames, CodePage437MapsEveryByte) {
    EXPECT_EQ(DecodeEntryName(B("\x80\x81\x9B\xA4\xB0\xC9\xE1\xE4\xF8\xFD\xFE\xFF"), false),
              u"\u00C7\u00FC\u00A2\u00F1\u2591\u2554\u00DF\u03A3\u00B0\u00B2\u25A0\u00A0");
    EXPECT_EQ(DecodeEntryName(B("\x01\x1F\x7F"), false), u"\u0001\u001F\u007F");
    TBytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
    EXPECT_EQ(DecodeEntryName(all, false).size(), 256u);
}
