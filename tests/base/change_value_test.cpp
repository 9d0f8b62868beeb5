#include "base/change_value.h"

#include <gtest/gtest.h>

#include "base/text.h"

TEST(ChangeValue, StoresOnlyADifferentValueAndSaysSo) {
    int number = 3;
    EXPECT_FALSE(ChangeValue(number, 3));
    EXPECT_EQ(number, 3);
    EXPECT_TRUE(ChangeValue(number, 4));
    EXPECT_EQ(number, 4);
    UString text = u"a";
    EXPECT_TRUE(ChangeValue(text, UString(u"b")));
    EXPECT_EQ(text, u"b");
    EXPECT_FALSE(ChangeValue(text, UString(u"b")));
}
