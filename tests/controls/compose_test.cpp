#include "controls/compose.h"

#include <gtest/gtest.h>

#include "tests/controls/pixel_test_support.h"

namespace {

TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }

// ComposeOne composes a 1 x 1 source pixel over a 1 x 1 destination pixel.
TRgba ComposeOne(TRgba dst, TRgba src, int blend = 0, bool grey = false) {
    TBitmap32 d = Filled(1, 1, dst);
    const TBitmap32 s = Filled(1, 1, src);
    ComposeOver(Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), d, &s, blend, grey, false);
    return GetPixel(d, 0, 0);
}

TEST(ComposeOver, ColourRuleShiftsByEightBits) {
    struct Case { const char* name; TRgba dst, src, expected; };
    const Case cases[] = {
        {"opaque white over black", {0, 0, 0, 255}, {255, 255, 255, 255}, {254, 254, 254, 255}},
        {"opaque white over white", {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}},
        {"opaque black over white", {255, 255, 255, 0}, {0, 0, 0, 255}, {0, 0, 0, 255}},
        {"colour over itself, opaque", {37, 128, 254, 255}, {37, 128, 254, 255}, {37, 128, 254, 255}},
        {"colour over itself, half", {1, 99, 200, 255}, {1, 99, 200, 128}, {1, 99, 200, 255}},
        {"alpha 0 leaves the destination", {12, 34, 56, 78}, {255, 0, 255, 0}, {12, 34, 56, 78}},
        {"alpha 128 white over black", {0, 0, 0, 0}, {255, 255, 255, 128}, {127, 127, 127, 128}},
        {"window grey under the artwork yellow", {240, 240, 240, 0}, {255, 249, 95, 255}, {254, 248, 95, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ComposeOne(c.dst, c.src), c.expected);
    }
}

TEST(ComposeOver, DestinationKeepsTheLargerAlphaOnlyForAPlainComposition) {
    EXPECT_EQ(ComposeOne({0, 0, 0, 200}, {0, 0, 0, 100})[3], 200);
    EXPECT_EQ(ComposeOne({0, 0, 0, 100}, {0, 0, 0, 200})[3], 200);
    EXPECT_EQ(ComposeOne({0, 0, 0, 100}, {0, 0, 0, 200}, 1)[3], 100);
    EXPECT_EQ(ComposeOne({0, 0, 0, 100}, {0, 0, 0, 200}, 0, true)[3], 100);
}

TEST(ComposeOver, BlendReducesTheSourceAlpha) {
    // Blend 100 composes nothing; blend 50 makes 255 into 127, so white over
    // black gives 255 * 127 shr 8 = 126 (an alpha of 128 would give 127).
    EXPECT_EQ(ComposeOne({10, 20, 30, 40}, {255, 255, 255, 255}, 100), (TRgba{10, 20, 30, 40}));
    EXPECT_EQ(ComposeOne({0, 0, 0, 0}, {255, 255, 255, 255}, 50), (TRgba{126, 126, 126, 0}));
    EXPECT_EQ(ComposeOne({0, 0, 0, 0}, {255, 255, 255, 255}, 1), (TRgba{251, 251, 251, 0}));  // alpha 252
    EXPECT_EQ(ComposeOne({10, 20, 30, 40}, {255, 255, 255, 255}, 101), (TRgba{10, 20, 30, 40}));  // as 100
}

TEST(ComposeOver, GreyAveragesTheSourceColours) {
    // (255, 0, 0) turns into 85 on every channel: composed over 85 it stays,
    // and over black it gives 85 * 255 shr 8 = 84.
    EXPECT_EQ(ComposeOne({85, 85, 85, 255}, {255, 0, 0, 255}, 0, true), (TRgba{85, 85, 85, 255}));
    EXPECT_EQ(ComposeOne({0, 0, 0, 255}, {255, 0, 0, 255}, 0, true), (TRgba{84, 84, 84, 255}));
    EXPECT_EQ(ComposeOne({0, 0, 0, 255}, {100, 100, 101, 255}, 0, true), (TRgba{99, 99, 99, 255}));  // 301 div 3
}

// MarkedColumnSource is w x 1, transparent except for an opaque black column.
TBitmap32 MarkedColumnSource(int w, int column) {
    TBitmap32 s = Filled(w, 1, {0, 0, 0, 0});
    PutPixel(s, column, 0, {0, 0, 0, 255});
    return s;
}

// ChangedColumns lists the columns of a 1-row destination that are no longer 200.
std::vector<int> ChangedColumns(const TBitmap32& d) {
    std::vector<int> changed;
    for (int x = 0; x < d.Width(); ++x)
        if (GetPixel(d, x, 0)[0] != 200) changed.push_back(x);
    return changed;
}

TEST(ComposeOver, OverlapIsClippedToBothBitmapsAndNegativeStartsMoveBoth) {
    struct Case { const char* name; TRect dst, src; int sourceWidth, markedColumn; std::vector<int> changed; };
    const Case cases[] = {
        {"destination at -3: source column 3 lands on 0", Rect(-3, 0, 7, 1), Rect(0, 0, 10, 1), 10, 3, {0}},
        {"destination at -3: source column 9 lands on 6", Rect(-3, 0, 7, 1), Rect(0, 0, 10, 1), 10, 9, {6}},
        {"destination at -3: source column 2 is cut", Rect(-3, 0, 7, 1), Rect(0, 0, 10, 1), 10, 2, {}},
        {"destination at -3 with a 5-column source rectangle", Rect(-3, 0, 2, 1), Rect(0, 0, 5, 1), 10, 5, {}},
        {"source at -2: source column 0 lands on 4", Rect(2, 0, 12, 1), Rect(-2, 0, 8, 1), 10, 0, {4}},
        {"destination past the right edge", Rect(8, 0, 18, 1), Rect(0, 0, 10, 1), 10, 1, {9}},
        {"destination past the right edge cuts", Rect(8, 0, 18, 1), Rect(0, 0, 10, 1), 10, 2, {}},
        {"source rectangle narrower than the bitmap", Rect(0, 0, 3, 1), Rect(0, 0, 3, 1), 10, 3, {}},
        {"source rectangle past its bitmap", Rect(0, 0, 10, 1), Rect(5, 0, 15, 1), 10, 9, {4}},
        {"reversed rectangle composes nothing", Rect(5, 0, 0, 1), Rect(0, 0, 10, 1), 10, 0, {}},
        {"no overlap", Rect(10, 0, 20, 1), Rect(0, 0, 10, 1), 10, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap32 d = Filled(10, 1, {200, 200, 200, 255});
        const TBitmap32 s = MarkedColumnSource(c.sourceWidth, c.markedColumn);
        ComposeOver(c.dst, c.src, d, &s, 0, false, false);
        EXPECT_EQ(ChangedColumns(d), c.changed);
    }
}

TEST(ComposeOver, NegativeTopsMoveBothRowsDown) {
    TBitmap32 d = Filled(1, 5, {200, 200, 200, 255});
    TBitmap32 s = Filled(1, 5, {0, 0, 0, 0});
    PutPixel(s, 0, 3, {0, 0, 0, 255});
    ComposeOver(Rect(0, -2, 1, 3), Rect(0, 0, 1, 5), d, &s, 0, false, false);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(GetPixel(d, 0, y)[0], y == 1 ? 0 : 200) << "row " << y;
}

TEST(ComposeOver, WithoutASourceOrACommonAreaNothingChanges) {
    TBitmap32 d = Filled(2, 2, {1, 2, 3, 4});
    ComposeOver(Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), d, nullptr, 0, false, true);
    EXPECT_EQ(GetPixel(d, 1, 1), (TRgba{1, 2, 3, 4}));
    // A destination rectangle of no rows has no reflection below it either.
    TBitmap32 tall = Filled(1, 30, {0, 0, 0, 255});
    const TBitmap32 s = Filled(1, 10, {255, 255, 255, 255});
    ComposeOver(Rect(0, 10, 1, 10), Rect(0, 0, 1, 10), tall, &s, 0, false, true);
    for (int y = 0; y < 30; ++y) EXPECT_EQ(GetPixel(tall, 0, y)[0], 0) << "row " << y;
}

// Reflection of a 10-row opaque white source drawn at rows 0..9 of a black
// destination 30 rows high, so the destination rectangle ends 20 rows above
// the bottom: n = min(10 div 2 - 1, 20 - 1) = 4 and the row factor starts at
// 255 and falls by 255 div 10 = 25 per row.
//   row 11: a = ((255 * 3) div 4) * 255 shr 9 = 191 * 255 shr 9 = 95, colour 255 * 95 shr 8 = 94
//   row 12: a = ((255 * 2) div 4) * 230 shr 9 = 127 * 230 shr 9 = 57, colour 56
//   row 13: a = ((255 * 1) div 4) * 205 shr 9 =  63 * 205 shr 9 = 25, colour 24
//   row 14: a = 0
TEST(ComposeOverReflection, FadesRowsBelowTheDestinationBottom) {
    struct Case { const char* name; int blend; std::vector<int> rows10to15; };
    const Case cases[] = {
        {"plain", 0, {0, 94, 56, 24, 0, 0}},
        {"blend 50 halves each reflected alpha", 50, {0, 46, 27, 11, 0, 0}},  // a 47, 28, 12
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap32 d = Filled(2, 30, {0, 0, 0, 255});
        const TBitmap32 s = Filled(2, 10, {255, 255, 255, 255});
        ComposeOver(Rect(0, 0, 2, 10), Rect(0, 0, 2, 10), d, &s, c.blend, false, true);
        for (int y = 10; y < 16; ++y) {
            EXPECT_EQ(GetPixel(d, 0, y)[0], c.rows10to15[static_cast<size_t>(y - 10)]) << "row " << y;
            EXPECT_EQ(GetPixel(d, 1, y)[2], c.rows10to15[static_cast<size_t>(y - 10)]) << "row " << y;
            EXPECT_EQ(GetPixel(d, 0, y)[3], 255) << "reflection leaves alpha, row " << y;
        }
    }
}

TEST(ComposeOverReflection, MirrorsSourceRowsAboveTheSourceBottom) {
    // Only one source pixel is opaque, in the second column; the reflection
    // shows it at exactly one row, in the same column.
    struct Case { int sourceRow; int reflectedRow; };
    const Case cases[] = {{8, 11}, {7, 12}, {6, 13}, {9, -1}, {5, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sourceRow);
        TBitmap32 d = Filled(2, 30, {0, 0, 0, 255});
        TBitmap32 s = Filled(2, 10, {0, 0, 0, 0});
        PutPixel(s, 1, c.sourceRow, {255, 255, 255, 255});
        ComposeOver(Rect(0, 0, 2, 10), Rect(0, 0, 2, 10), d, &s, 0, false, true);
        for (int y = 10; y < 30; ++y) {
            EXPECT_EQ(GetPixel(d, 1, y)[0] != 0, y == c.reflectedRow) << "row " << y;
            EXPECT_EQ(GetPixel(d, 0, y)[0], 0) << "row " << y;
        }
    }
}

TEST(ComposeOverReflection, IsGreyWithTheGreyFlag) {
    // Source (90, 0, 0) averages to 30; row 11 reflects at a = 95: 30 * 95 shr 8 = 11 in every
    // channel (without the grey flag one channel would get 90 * 95 shr 8 = 33, the others 0).
    TBitmap32 d = Filled(1, 30, {0, 0, 0, 255});
    const TBitmap32 s = Filled(1, 10, {90, 0, 0, 255});
    ComposeOver(Rect(0, 0, 1, 10), Rect(0, 0, 1, 10), d, &s, 0, true, true);
    EXPECT_EQ(GetPixel(d, 0, 11), (TRgba{11, 11, 11, 255}));
    EXPECT_EQ(GetPixel(d, 0, 12), (TRgba{6, 6, 6, 255}));  // a = 57: 30 * 57 shr 8
}

TEST(ComposeOverReflection, RowFactorFallsBy255DividedByTheSourceHeight) {
    // n = 7 for both; the row factor k falls by 255 div 16 = 15 and by 255 div 17 = 15 a row.
    //   16 rows, row 18 (y = 2): a = ((255 * 5) div 7) * 240 shr 9 = 182 * 240 shr 9 = 85, colour 84
    //   17 rows, row 20 (y = 3): a = ((255 * 4) div 7) * 225 shr 9 = 145 * 225 shr 9 = 63, colour 62
    struct Case { int height, row, colour; };
    for (const Case& c : {Case{16, 18, 84}, Case{17, 20, 62}}) {
        SCOPED_TRACE(c.height);
        TBitmap32 d = Filled(1, 40, {0, 0, 0, 255});
        const TBitmap32 s = Filled(1, c.height, {255, 255, 255, 255});
        ComposeOver(Rect(0, 0, 1, c.height), Rect(0, 0, 1, c.height), d, &s, 0, false, true);
        EXPECT_EQ(GetPixel(d, 0, c.row)[0], c.colour);
    }
}

TEST(ComposeOverReflection, IsLimitedByTheRowsBelowTheDestination) {
    // Three rows below the destination rectangle: n = min(4, 3 - 1) = 2;
    // y = 1: a = ((255 * 1) div 2) * 255 shr 9 = 63, colour 62; y = 2: a = 0.
    TBitmap32 d = Filled(1, 13, {0, 0, 0, 255});
    const TBitmap32 s = Filled(1, 10, {255, 255, 255, 255});
    ComposeOver(Rect(0, 0, 1, 10), Rect(0, 0, 1, 10), d, &s, 0, false, true);
    EXPECT_EQ(GetPixel(d, 0, 10)[0], 0);
    EXPECT_EQ(GetPixel(d, 0, 11)[0], 62);
    EXPECT_EQ(GetPixel(d, 0, 12)[0], 0);
}

TEST(ComposeOverReflection, SourceRowsOutsideTheSourceBitmapAreLeftOut) {
    // The mirrored rows are counted from the source rectangle's bottom. A
    // rectangle reaching below its bitmap, or one so short that the mirror
    // runs above row 0, must not read rows that do not exist.
    struct Case { const char* name; TRect src; std::vector<int> rows11to14; };
    const Case cases[] = {
        {"rectangle below the bitmap", Rect(0, 0, 1, 14), {0, 0, 0, 0}},     // rows 12, 11, 10 missing; a = 0 for row 9
        {"rectangle of three rows", Rect(0, 0, 1, 3), {94, 56, 0, 0}},       // rows 1, 0, then -1, -2 missing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap32 d = Filled(1, 30, {0, 0, 0, 255});
        const TBitmap32 s = Filled(1, 10, {255, 255, 255, 255});
        ComposeOver(Rect(0, 0, 1, 10), c.src, d, &s, 0, false, true);
        for (int y = 11; y < 15; ++y)
            EXPECT_EQ(GetPixel(d, 0, y)[0], c.rows11to14[static_cast<size_t>(y - 11)]) << "row " << y;
    }
}

TEST(SetAlphaInRect, SetsAlphaInsideTheRectangleOnly) {
    // One rectangle reaching past the right and bottom edges, one past the left and top.
    for (const TRect& r : {Rect(1, 1, 9, 9), Rect(-1, -1, 3, 2)}) {
        TBitmap32 b = Filled(4, 3, {10, 20, 30, 40});
        SetAlphaInRect(b, r, 255);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                SCOPED_TRACE(testing::Message() << r.Left << ": " << x << "," << y);
                const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                EXPECT_EQ(GetPixel(b, x, y), (TRgba{10, 20, 30, inside ? 255 : 40}));
            }
    }
}

}  // namespace
