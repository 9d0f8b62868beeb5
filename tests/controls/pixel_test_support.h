// Helpers for the pixel tests: set and read one pixel as (R, G, B, A), and
// check a surface's pixels row by row.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/bitmap32.h"
#include "controls/draw_surface.h"

using TRgba = std::array<int, 4>;  // red, green, blue, alpha
using TRgbaRows = std::vector<std::vector<TRgba>>;

inline void PutPixel(TBitmap32& b, int x, int y, TRgba c) {
    uint8_t* p = b.Pixel(x, y);
    p[chRed] = static_cast<uint8_t>(c[0]);
    p[chGreen] = static_cast<uint8_t>(c[1]);
    p[chBlue] = static_cast<uint8_t>(c[2]);
    p[chAlpha] = static_cast<uint8_t>(c[3]);
}

inline TRgba GetPixel(const TBitmap32& b, int x, int y) {
    const uint8_t* p = b.Pixel(x, y);
    return {p[chRed], p[chGreen], p[chBlue], p[chAlpha]};
}

// GetColour is GetPixel with the alpha read as 0, for checks of colour only.
inline TRgba GetColour(const TBitmap32& b, int x, int y) {
    TRgba c = GetPixel(b, x, y);
    c[3] = 0;
    return c;
}

inline TBitmap32 Filled(int w, int h, TRgba c) {
    TBitmap32 b(w, h);
    b.Fill(static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2]),
           static_cast<uint8_t>(c[3]));
    return b;
}

// ExpectRows checks pixelAt(x, y) against rows[y][x] for every pixel the rows give.
template <class PixelAt>
void ExpectRows(PixelAt&& pixelAt, const TRgbaRows& rows) {
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            EXPECT_EQ(pixelAt(static_cast<int>(x), static_cast<int>(y)), rows[y][x]) << x << "," << y;
}

// ExpectReadsWhiteOutside reads a 2 x 2 rectangle from (1, -1) of a 2 x 2
// surface of (1, 2, 3, 4): one pixel lies inside, the rest come out white.
inline void ExpectReadsWhiteOutside(const TDrawSurface& surface) {
    TBitmap32 out;
    surface.ReadPixels(TRect{1, -1, 3, 1}, out);
    ASSERT_EQ(out.Width(), 2);
    ASSERT_EQ(out.Height(), 2);
    const TRgba white = {255, 255, 255, 0};
    ExpectRows([&](int x, int y) { return GetPixel(out, x, y); }, {{white, white}, {{1, 2, 3, 4}, white}});
}
