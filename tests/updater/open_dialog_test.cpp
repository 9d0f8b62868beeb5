#include <gtest/gtest.h>

#include "updater/open_dialog.h"

TEST(DialogFolder, DropsATrailingBackslashUnlessItFollowsAColon) {
    struct Case {
        const char16_t* current;
        const char16_t* folder;
    };
    const Case cases[] = {
        {u"C:\\Data\\", u"C:\\Data"},
        {u"C:\\Data", u"C:\\Data"},
        {u"C:\\", u"C:\\"},
        {u"D:\\Program Files (x86)\\Kelvo\\", u"D:\\Program Files (x86)\\Kelvo"},
        {u"\\\\server\\share\\", u"\\\\server\\share"},
        {u"", u""},
        {u"\\", u""},
        {u":\\", u":\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.current));
        // Held on the heap, so that a look before the first character is an overflow the sanitizer sees.
        UString current;
        current.reserve(64);
        current = c.current;
        EXPECT_EQ(ToUtf8(DialogFolder(std::move(current))), ToUtf8(c.folder));
    }
}

TEST(DialogPosition, CentresHorizontallyAndLeavesAThirdOfTheFreeHeightAbove) {
    struct Case {
        TRect monitor;
        int width, height;
        int x, y;
    };
    const Case cases[] = {
        {{0, 0, 1024, 768}, 400, 300, 312, 156},
        {{1280, 0, 2560, 1024}, 600, 400, 1620, 208},
        {{0, 0, 1024, 738}, 523, 337, 250, 133},  // odd free space truncates
        {{-1024, -100, 0, 668}, 1100, 900, -1062, -144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const TPoint at = DialogPosition(c.monitor, c.width, c.height);
        EXPECT_EQ(at.X, c.x);
        EXPECT_EQ(at.Y, c.y);
    }
}
