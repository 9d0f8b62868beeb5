#include <gtest/gtest.h>

#include "toolkit/error_text.h"

TEST(DisplayText, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    const std::pair<UStringView, UStringView> cases[] = {
        {u"data error", u"data error."},
        {u"Checksum error in \"a.txt\"", u"Checksum error in \"a.txt\""},  // '"' lies below '.'
        {u"Invalid argument.", u"Invalid argument."},
        {u"version (9.11)", u"version (9.11)"},
        {u"ends in a slash/", u"ends in a slash/."},  // '/' lies just above '.'
        {u"ends in a dash-", u"ends in a dash-"},
        {u"\u0641\u0627\u06CC\u0644", u"\u0641\u0627\u06CC\u0644."},
        {u"", u""},
    };
    for (const auto& [text, shown] : cases) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_EQ(DisplayText(Exception(UString(text))), shown);
    }
}

TEST(DisplayText, ShowsTheInnermostNonEmptyMessage) {
    auto innermost = std::make_shared<Exception>(u"disk full");
    auto empty = std::make_shared<Exception>(u"", innermost);
    EXPECT_EQ(DisplayText(Exception(u"outer", empty)), u"disk full.");
    auto blank = std::make_shared<Exception>(u"");
    EXPECT_EQ(DisplayText(Exception(u"outer", blank)), u"outer.");
}
