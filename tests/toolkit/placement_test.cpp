#include <gtest/gtest.h>

#include "toolkit/placement.h"

TEST(ExecutableStem, KeepsTheNameUpToItsFirstFullStop) {
    struct Case { const char16_t* path; const char16_t* stem; };
    const Case cases[] = {
        {u"C:\\Apps\\SETUP.EXE", u"SETUP"},
        {u"C:\\Apps\\my.update.exe", u"my"},
        {u"C:\\dir.with.dots\\KelvoUpdater.exe", u"KelvoUpdater"},
        {u"C:\\Apps\\noextension", u"noextension"},
        {u"plain.exe", u"plain"},
        {u"C:\\Apps\\.hidden.exe", u""},
        {u"C:\\Apps\\", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        EXPECT_EQ(ExecutableStem(c.path), c.stem);
    }
}

TEST(DesktopCenter, CentresOnTheDesktopWithTruncatedHalves) {
    struct Case { const char* name; int l, t, dw, dh, w, h, x, y; };
    const Case cases[] = {
        {"even sizes", 0, 0, 1024, 768, 804, 596, 110, 86},
        {"odd desktop and window", 0, 0, 1023, 767, 805, 597, 109, 85},
        // Halving the difference instead would give 109 and 85.
        {"even desktop, odd window: each half truncated", 0, 0, 1024, 768, 805, 597, 110, 86},
        {"odd window on a shifted even desktop", 100, 50, 1600, 900, 1201, 701, 300, 150},
        {"desktop left of the primary monitor", -1280, 0, 2560, 1024, 804, 596, -402, 214},
        {"odd negative left truncates toward zero", -1281, -1, 2561, 1023, 805, 597, -403, 212},
        {"window wider than the desktop sticks to its left", 0, 0, 800, 600, 1000, 700, 0, 0},
        {"clamped to a negative desktop origin", -1920, -200, 1920, 600, 2000, 900, -1920, -200},
        {"clamped to a positive desktop origin", 300, 120, 800, 600, 1001, 701, 300, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint at = DesktopCenter({c.l, c.t, c.l + c.dw, c.t + c.dh}, {c.w, c.h});
        EXPECT_EQ(at.X, c.x);
        EXPECT_EQ(at.Y, c.y);
    }
}

TEST(CenterIn, HalvesTheRoomLeftOverWithoutClamping) {
    struct Case { const char* name; TRect area; TSize box; int x, y; };
    const Case cases[] = {
        {"even room", {0, 0, 1024, 738}, {300, 120}, 362, 309},
        // Halving each size by itself would give 110 and 86.
        {"even area, odd box: the difference is halved", {0, 0, 1024, 768}, {805, 597}, 109, 85},
        {"shifted work area", {100, 40, 1380, 1024}, {401, 201}, 539, 431},
        {"work area left of the primary monitor", {-1280, 0, 0, 984}, {301, 150}, -791, 417},
        {"box larger than the area starts before it", {0, 0, 800, 600}, {1001, 701}, -100, -50},
        {"box of no size: the area's middle", {0, 0, 1023, 767}, {0, 0}, 511, 383},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint at = CenterIn(c.area, c.box);
        EXPECT_EQ(at.X, c.x);
        EXPECT_EQ(at.Y, c.y);
    }
}

TEST(MidPoint, HalvesTheSumOfTheEdges) {
    struct Case { const char* name; TRect area; int x, y; };
    const Case cases[] = {
        {"primary monitor", {0, 0, 1024, 738}, 512, 369},
        {"odd sums truncate", {0, 0, 1023, 767}, 511, 383},
        {"monitor to the right", {1024, 0, 2304, 984}, 1664, 492},
        // Left plus half the width would give -641 and -1.
        {"odd negative sum truncates toward zero", {-1281, -3, 0, 0}, -640, -1},
        {"monitor above the primary one", {0, -1024, 1280, 0}, 640, -512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPoint at = MidPoint(c.area);
        EXPECT_EQ(at.X, c.x);
        EXPECT_EQ(at.Y, c.y);
    }
}

TEST(ScaleSize, RoundsToTheNearestPixelAtAnotherResolution) {
    struct Case { int value, multiplier, divider, expected; };
    const Case cases[] = {
        {301, 120, 96, 376},  // 376.25
        {94, 120, 96, 118},   // 117.5 rounds away from zero
        {401, 120, 96, 501},  // 501.25
        {-11, 120, 96, -14},  // -13.75
        {-13, 144, 96, -20},  // -19.5
        {798, 96, 96, 798},
        {5, 3, 1, 15},
        {5, 1, 0, 5},         // no divider: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ScaleSize(c.value, c.multiplier, c.divider), c.expected);
    }
}
