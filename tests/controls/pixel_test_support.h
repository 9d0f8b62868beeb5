// Helpers for the pixel tests: set and read one pixel as (R, G, B, A).
#pragma once

#include <array>
#include <cstdint>

#include "controls/bitmap32.h"

using TRgba = std::array<int, 4>;  // red, green, blue, alpha

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
