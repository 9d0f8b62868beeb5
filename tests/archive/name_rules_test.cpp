#include <gtest/gtest.h>

#include "archive/name_rules.h"

namespace {

std::vector<std::string> Problems(const char16_t* name) {
    std::vector<std::string> out;
    for (const UString& p : NameProblems(name)) out.push_back(ToUtf8(p));
    return out;
}

std::vector<std::string> Clashes(std::vector<UString> names) {
    std::vector<std::string> out;
    for (const TNameClash& c : NameClashes(names)) out.push_back(std::to_string(c.Index) + " " + ToUtf8(c.Problem));
    return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(NameRules, NamesThatInstallAsTheyAreHaveNoProblems) {
    for (const char16_t* name : {u"Kelvo.exe", u"a/b/c.txt", u"empty/", u"\u06AF\u0632\u0627\u0631\u0634.rep",
                                 u"my report 1.txt", u"...x", u"console/x", u"icon.ico", u"COM10.txt", u"lpt/x", u".hidden",
                                 u"comx.txt", u"LPT\u00B4"}) {
        SCOPED_TRACE(ToUtf8(name));
        EXPECT_EQ(Problems(name), Lines{});
    }
}

TEST(NameRules, NamesTheRunRefusesGiveItsOwnText) {
    EXPECT_EQ(Problems(u"../up.txt"), Lines{"Entry \"..\\up.txt\" would be written outside the target folder"});
    EXPECT_EQ(Problems(u"a/../../up.txt"), Lines{"Entry \"a\\..\\..\\up.txt\" would be written outside the target folder"});
    EXPECT_EQ(Problems(u"/x.txt"), Lines{"Entry \"\\x.txt\" would be written outside the target folder"});
    EXPECT_EQ(Problems(u"C:\\x.txt"), Lines{"Entry \"C:\\x.txt\" would be written outside the target folder"});
    EXPECT_EQ(Problems(u"a|b"), Lines{"the update run refuses it: Invalid characters in path"});
    EXPECT_EQ(Problems(u"tab\there"), Lines{"the update run refuses it: Invalid characters in path"});
}

TEST(NameRules, NamesWindowsChangesAreNamed) {
    EXPECT_EQ(Problems(u"what?.txt"), Lines{"has * or ?, which Windows does not allow in a name"});
    EXPECT_EQ(Problems(u"ab:c/x.txt"), Lines{"has a \":\", which Windows takes for a drive or a stream"});
    EXPECT_EQ(Problems(u"./c.txt"), Lines{"has \".\", \"..\" or empty parts: Windows writes it as \"c.txt\""});
    EXPECT_EQ(Problems(u"a/../b.txt"), Lines{"has \".\", \"..\" or empty parts: Windows writes it as \"b.txt\""});
    EXPECT_EQ(Problems(u"a//b/"), Lines{"has \".\", \"..\" or empty parts: Windows writes it as \"a\\b\\\""});
    EXPECT_EQ(Problems(u"a/.."), Lines{"has \".\", \"..\" or empty parts: Windows takes it for the install folder itself"});
    EXPECT_EQ(Problems(u""), Lines{"has \".\", \"..\" or empty parts: Windows takes it for the install folder itself"});
    EXPECT_EQ(Problems(u"docs./x"), Lines{"the name part \"docs.\" ends in a dot or a space, which Windows drops"});
    EXPECT_EQ(Problems(u"x.txt "), Lines{"the name part \"x.txt \" ends in a dot or a space, which Windows drops"});
    for (const char16_t* device : {u"CON", u"nul.txt", u"a/Com1.log", u"LPT9", u"aux .x", u"com\u00B9", u"PRN/x", u"CONOUT$",
                                   u"LPT0.txt"}) {
        SCOPED_TRACE(ToUtf8(device));
        ASSERT_EQ(Problems(device).size(), 1u);
        EXPECT_NE(Problems(device)[0].find("is a device name on Windows"), std::string::npos);
    }
}

// In c:\program files (x86)\kelvo\ (29 characters) a folder of 248 characters
// stops the run; a file path of 260 is more than Windows creates.
TEST(NameRules, PathsTooLongInTheUsualInstallFolder) {
    const UString folder218(218, u'd');  // 29 + 218 = 247: the longest folder that passes
    EXPECT_EQ(Problems((folder218 + u"/x.txt").c_str()), Lines{});
    EXPECT_EQ(Problems((folder218 + u"d/x.txt").c_str()),
              Lines{"its folder in c:\\program files (x86)\\kelvo\\ has 248 characters: The specified path is too long"});
    EXPECT_EQ(Problems((folder218 + u"d/").c_str()),
              Lines{"its folder in c:\\program files (x86)\\kelvo\\ has 248 characters: The specified path is too long"});
    EXPECT_EQ(Problems(UString(230, u'f').c_str()), Lines{});  // 259
    EXPECT_EQ(Problems(UString(231, u'f').c_str()),
              Lines{"its path in c:\\program files (x86)\\kelvo\\ has 260 characters; Windows allows at most 259"});
}

TEST(NameRules, NamesWindowsTakesForOneFile) {
    EXPECT_EQ(Clashes({u"a.txt", u"b.txt", u"dir/", u"dir/x"}), Lines{});
    EXPECT_EQ(Clashes({u"Report.txt", u"REPORT.TXT"}),
              Lines{"1 is the same file as \"Report.txt\" on Windows, which writes only one of them"});
    EXPECT_EQ(Clashes({u"\u00C4.txt", u"\u00E4.txt"}),
              Lines{"1 is the same file as \"\u00C4.txt\" on Windows, which writes only one of them"});
    EXPECT_EQ(Clashes({u"\uFF21.txt", u"\uFF41.txt"}),  // full-width letters, above the surrogates
              Lines{"1 is the same file as \"\uFF21.txt\" on Windows, which writes only one of them"});
    EXPECT_EQ(Clashes({u"a.txt", u"x/../a.txt"}),
              Lines{"1 is the same file as \"a.txt\" on Windows, which writes only one of them"});
    EXPECT_EQ(Clashes({u"a", u"A/b.txt"}), Lines{"1 needs a folder \"A\" where \"a\" is a file"});
    EXPECT_EQ(Clashes({u"a/b.txt", u"A"}), Lines{"1 is a file where \"a/b.txt\" needs a folder of the same name"});
    EXPECT_EQ(Clashes({u"a", u"a/"}), Lines{"1 is a folder where \"a\" is a file of the same name"});
    EXPECT_EQ(Clashes({u"dir/", u"DIR/"}), Lines{});  // one folder, made twice
}
