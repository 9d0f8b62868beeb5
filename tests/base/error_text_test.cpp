#include <gtest/gtest.h>

#include <memory>

#include "base/base_texts.h"
#include "base/error_text.h"
#include "base/system_text.h"
#include "tests/support/expect_raises.h"

TEST(WithFullStop, AppendsOnlyAfterCharactersAboveFullStop) {
    struct Case { const char16_t* text; const char16_t* shown; };
    const Case cases[] = {
        {u"Error reading zip file", u"Error reading zip file."},
        {u"Already complete.", u"Already complete."},
        {u"ends in a space ", u"ends in a space "},
        {u"(in brackets)", u"(in brackets)"},
        {u"quoted \"x\"", u"quoted \"x\""},
        {u"ends in a comma,", u"ends in a comma,"},
        {u"ends in a hyphen-", u"ends in a hyphen-"},
        {u"C:\\path/", u"C:\\path/."},
        {u"code 5", u"code 5."},
        {u"\u0641\u0627\u06cc\u0644", u"\u0641\u0627\u06cc\u0644."},
        {u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        EXPECT_EQ(WithFullStop(c.text), c.shown);
    }
}

TEST(DisplayText, TakesTheInnermostNonEmptyMessage) {
    auto innermost = std::make_shared<EReadError>(u"Invalid zip file");
    auto empty = std::make_shared<Exception>(u"", innermost);
    EOSError outer(u"Outer failure", empty);
    EXPECT_EQ(DisplayText(outer), u"Invalid zip file.");

    auto emptyInnermost = std::make_shared<Exception>(u"");
    EOSError skipsEmpty(u"Outer failure", std::make_shared<Exception>(u"Middle text.", emptyInnermost));
    EXPECT_EQ(DisplayText(skipsEmpty), u"Middle text.");

    EXPECT_EQ(DisplayText(EReadError(u"Error reading zip file")), u"Error reading zip file.");
}

// A failed call that left no error code says only that; a code is shown with the system's text for it.
TEST(RaiseOSError, GivesTheCodeAndTheSystemsText) {
    ExpectRaises<EOSError>([] { RaiseOSError(0); }, UString(kUnknownOSError));
    ExpectRaises<EOSError>([] { RaiseOSError(1); }, u"System Error.  Code: 1.\r\n" + SystemErrorText(1));
}
