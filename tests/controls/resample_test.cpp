#include "controls/resample.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/controls/pixel_test_support.h"

namespace {

using TGrid = std::vector<std::vector<int>>;  // [row][column]

TBitmap32 FromGrid(const TGrid& grid, bool alphaOnly = false) {
    TBitmap32 b(static_cast<int>(grid[0].size()), static_cast<int>(grid.size()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int v = grid[static_cast<size_t>(y)][static_cast<size_t>(x)];
            PutPixel(b, x, y, alphaOnly ? TRgba{0, 0, 0, v} : TRgba{v, v, v, v});
        }
    return b;
}

TGrid Channel(const TBitmap32& b, int channel) {
    TGrid grid(static_cast<size_t>(b.Height()), std::vector<int>(static_cast<size_t>(b.Width())));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            grid[static_cast<size_t>(y)][static_cast<size_t>(x)] = GetPixel(b, x, y)[static_cast<size_t>(channel)];
    return grid;
}

// Known answers worked out separately from the filter's definition (weights
// Round(K(|x - j| * c) * c * 65536), mirrored edges, negative sums to 0 and
// sums of 0xFF0001 or more to 255). For example the third value of the edge
// row: centre 4/3, weights -2157, 46525, 22655, -1484 on 0, 0, 255, 255 give
// 255 * 21171 shr 16 = 82.
TEST(ResampleBitmap, MatchesKnownAnswers) {
    struct Case { const char* name; TGrid source; int w, h; TGrid expected; };
    const Case cases[] = {
        {"edge widened 4 to 6", {{0, 0, 255, 255}, {0, 0, 255, 255}}, 6, 2,
         {{0, 0, 82, 240, 255, 254}, {0, 0, 82, 240, 255, 254}}},
        {"3 x 2 to 5 x 3", {{10, 200, 30}, {90, 40, 250}}, 5, 3,
         {{36, 117, 159, 80, 45}, {65, 78, 110, 158, 173}, {86, 48, 75, 215, 255}}},
        {"4 x 4 to 2 x 2", {{0, 100, 200, 255}, {255, 0, 50, 10}, {7, 8, 9, 10}, {100, 100, 100, 100}}, 2, 2,
         {{82, 95}, {62, 45}}},
        {"4 x 4 to 3 x 5", {{0, 100, 200, 255}, {255, 0, 50, 10}, {7, 8, 9, 10}, {100, 100, 100, 100}}, 3, 5,
         {{42, 121, 212}, {140, 51, 68}, {70, 10, 6}, {37, 43, 44}, {101, 102, 102}}},
        {"white 2 x 2 to 3 x 3 loses a little", {{255, 255}, {255, 255}}, 3, 3,
         {{255, 254, 254}, {254, 253, 253}, {254, 253, 253}}},
        {"faint 2 x 2 to 6 x 5: sums just short of a step stay below it", {{7, 5}, {1, 1}}, 6, 5,
         {{5, 5, 4, 4, 3, 3}, {4, 3, 3, 3, 2, 2}, {2, 1, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap32 target;
        ResampleBitmap(FromGrid(c.source), target, c.w, c.h);
        ASSERT_EQ(target.Width(), c.w);
        ASSERT_EQ(target.Height(), c.h);
        for (int channel = 0; channel < 4; ++channel) EXPECT_EQ(Channel(target, channel), c.expected);
    }
}

TEST(ResampleBitmap, AlphaIsResampledLikeTheColours) {
    TBitmap32 target;
    ResampleBitmap(FromGrid({{10, 200, 30}, {90, 40, 250}}, true), target, 5, 3);
    EXPECT_EQ(Channel(target, 3), (TGrid{{36, 117, 159, 80, 45}, {65, 78, 110, 158, 173}, {86, 48, 75, 215, 255}}));
    EXPECT_EQ(Channel(target, 0), TGrid(3, std::vector<int>(5, 0)));
}

TEST(ResampleBitmap, EqualSizesCopyTheSource) {
    const TGrid grid = {{1, 2, 3}, {4, 5, 6}};
    TBitmap32 target(7, 7);
    ResampleBitmap(FromGrid(grid), target, 3, 2);
    EXPECT_EQ(Channel(target, 2), grid);
}

TEST(ResampleBitmap, DegenerateCasesLeaveTheTarget) {
    struct Case { const char* name; TGrid source; int w, h; };
    const Case cases[] = {
        {"new height 0", {{1, 2}, {3, 4}}, 3, 0},
        {"source one pixel wide", {{1}, {3}}, 3, 3},
        {"source one pixel high", {{1, 2}}, 3, 3},
        {"new width negative", {{1, 2}, {3, 4}}, -1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap32 target = Filled(2, 1, {9, 9, 9, 9});
        ResampleBitmap(FromGrid(c.source), target, c.w, c.h);
        ASSERT_EQ(target.Width(), 2);
        ASSERT_EQ(target.Height(), 1);
        EXPECT_EQ(GetPixel(target, 1, 0), (TRgba{9, 9, 9, 9}));
    }
    // A new width of 0 is no such case: the target becomes 0 pixels wide.
    TBitmap32 target = Filled(2, 1, {9, 9, 9, 9});
    ResampleBitmap(FromGrid({{1, 2}, {3, 4}}), target, 0, 3);
    EXPECT_EQ(target.Width(), 0);
    EXPECT_EQ(target.Height(), 3);
}

TEST(ResampleBitmap, ShrinkingATinySourceStaysInside) {
    // Shrinking 2 to 1 widens the kernel to 4 pixels, further than one
    // mirror reaches; the indices are kept inside the source.
    TBitmap32 target;
    ResampleBitmap(FromGrid({{0, 255}, {0, 255}}), target, 1, 1);
    ASSERT_EQ(target.Width(), 1);
    EXPECT_EQ(target.Height(), 1);
}

TEST(MitchellKernel, KnownValues) {
    EXPECT_DOUBLE_EQ(MitchellKernel(0), 8.0 / 9.0);
    EXPECT_NEAR(MitchellKernel(1), 1.0 / 18.0, 1e-12);
    EXPECT_NEAR(MitchellKernel(2), 0, 1e-12);
    EXPECT_EQ(MitchellKernel(2.5), 0);
}

}  // namespace
