#include "base/win32_handles.h"

#include <gtest/gtest.h>

TEST(DCSetting, StretchModeHoldsForTheScopeAndTheOldOneComesBack) {
    const TUniqueDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.Valid()) << "no memory DC";
    ::SetStretchBltMode(dc.Get(), BLACKONWHITE);
    {
        const TStretchBltMode mode(dc.Get(), COLORONCOLOR);
        EXPECT_EQ(::GetStretchBltMode(dc.Get()), COLORONCOLOR);
    }
    EXPECT_EQ(::GetStretchBltMode(dc.Get()), BLACKONWHITE);
}

TEST(DCSetting, SelectedObjectIsPutBackByTheOldOne) {
    const TUniqueDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.Valid()) << "no memory DC";
    const HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
    const HGDIOBJ black = ::GetStockObject(BLACK_BRUSH);
    ASSERT_NE(before, black);
    {
        const TSelectedObject selected(dc.Get(), black);
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), black);
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}
