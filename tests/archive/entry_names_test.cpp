#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <vector>

#include "archive/entry_names.h"
#include "archive/zip_texts.h"
#include "tests/support/expect_raises.h"

namespace {
TBytes B(const std::string& s) { return TBytes(s.begin(), s.end()); }

// The system's converter for code page 437: an independent table to hold ours against.
UString SystemCp437(const TBytes& bytes) {
#ifdef _WIN32
    std::wstring out(bytes.size(), L'\0');
    const int n = ::MultiByteToWideChar(437, 0, reinterpret_cast<const char*>(bytes.data()), int(bytes.size()),
                                        out.data(), int(out.size()));
    if (n <= 0) ADD_FAILURE() << "code page 437 is not installed";
    return UString(out.begin(), out.begin() + std::max(n, 0));
#else
    iconv_t cd = ::iconv_open("UTF-16LE", "CP437");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv has no CP437";
        return {};
    }
    std::vector<char> in(bytes.begin(), bytes.end()), out(bytes.size() * 4);
    char *from = in.data(), *to = out.data();
    size_t left = in.size(), room = out.size();
    if (::iconv(cd, &from, &left, &to, &room) == size_t(-1)) ADD_FAILURE() << "iconv failed";
    ::iconv_close(cd);
    UString text;
    for (char* p = out.data(); p + 1 < to; p += 2) text.push_back(char16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8));
    return text;
#endif
}
}  // namespace

TEST(EntryNames, StrictUtf8DecodesValidText) {
    EXPECT_EQ(DecodeEntryName(B("a/b.txt"), true), u"a/b.txt");
    EXPECT_EQ(DecodeEntryName(B("\xD8\xAF\xD8\xA7\xD8\xAF\xD9\x87"), true), u"\u062F\u0627\u062F\u0647");
    EXPECT_EQ(DecodeEntryName(B("\xC2\x80"), true), u"\u0080");  // the first two-byte code point
    EXPECT_EQ(DecodeEntryName(B("\xDF\xBF"), true), u"\u07FF");  // the last two-byte lead
    EXPECT_EQ(DecodeEntryName(B("\xE2\x82\xAC"), true), u"\u20AC");
    EXPECT_EQ(DecodeEntryName(B("\xE0\xA0\x80"), true), u"\u0800");  // the first three-byte code point
    EXPECT_EQ(DecodeEntryName(B("\xEF\xBF\xBD"), true), u"\uFFFD");  // the last three-byte lead
    // The last one-byte code point, those either side of the surrogates and the last of three bytes.
    EXPECT_EQ(DecodeEntryName(B("\x7F\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"), true), u"\u007F\uD7FF\uE000\uFFFF");
    EXPECT_EQ(DecodeEntryName(B("\xF0\x9F\x98\x80"), true), u"\U0001F600");
    EXPECT_EQ(DecodeEntryName(B("\xF0\x90\x80\x80"), true), u"\U00010000");  // the first surrogate pair
    EXPECT_EQ(DecodeEntryName(B("\xF4\x8F\xBF\xBF"), true), u"\U0010FFFF");  // the last code point
    EXPECT_EQ(DecodeEntryName(B(std::string("a\0b", 3)), true), UString(u"a\0b", 3));
    EXPECT_EQ(DecodeEntryName(B(""), true), u"");
}

TEST(EntryNames, StrictUtf8RejectsEveryInvalidSequence) {
    const char* cases[] = {
        "\xC3(",           // continuation missing
        "\xFF",            // never a lead byte
        "a\xFF",           // never a lead byte, after a good one
        "\x80",            // lone continuation
        "\x81\x80\x80",    // a continuation never leads, whatever follows it
        "\x81\x80\x80\x80",
        "\xC0\xAF",        // overlong "/"
        "\xE0\x80\xAF",    // overlong "/" in three bytes
        "\xE0\x9F\xBF",    // overlong U+07FF in three bytes
        "\xF0\x8F\xBF\xBF", // overlong U+FFFF in four bytes
        "\xED\xA0\x80",    // a surrogate
        "\xED\xBF\xBF",    // the last surrogate
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
    EXPECT_EQ(DecodeEntryName(all, false), SystemCp437(all));  // every byte, against the system's own table
}
