// Resampling of a 32-bit bitmap to another size with the Mitchell-Netravali
// filter (B = C = 1/3), in two separable passes with 16.16 fixed-point weights.
#pragma once

#include "controls/bitmap32.h"

// MitchellKernel is the filter at distance u >= 0; it is 0 from u = 2 on.
inline double MitchellKernel(double u) {
    if (u < 1) return (7.0 / 6.0 * u - 2) * u * u + 8.0 / 9.0;
    if (u < 2) return u * u * (2 - 7.0 / 18.0 * u) - 10.0 / 3.0 * u + 16.0 / 9.0;
    return 0;
}

// ResampleBitmap fills target with source resampled to newWidth x newHeight.
// Nothing happens (target keeps its content) when newHeight is 0 or negative,
// newWidth is negative, or the source is at most 1 pixel wide or high; equal
// sizes copy the source.
void ResampleBitmap(const TBitmap32& source, TBitmap32& target, int newWidth, int newHeight);
