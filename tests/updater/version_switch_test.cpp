#include <gtest/gtest.h>

#include "updater/version_switch.h"

TEST(VersionSwitch, MatchesAnyParameterLowerCasedInAsciiOnly) {
    struct Case { const char* name; std::vector<UString> parameters; bool shows; };
    const Case cases[] = {
        {"exact", {u"/vmver"}, true},
        {"upper case", {u"/VMVER"}, true},
        {"mixed case after another parameter", {u"x", u"/VmVeR"}, true},
        {"no parameters", {}, false},
        {"dash instead of slash", {u"-vmver"}, false},
        {"longer", {u"/vmver2"}, false},
        {"surrounded by a space", {u" /vmver"}, false},
        {"dotted capital I is not ASCII", {u"/vmver\u0130"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HasVersionSwitch(c.parameters), c.shows);
    }
    EXPECT_EQ(UString(kVersionText), u"Velmora v9.11");
}
