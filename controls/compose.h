// Composition of one 32-bit bitmap onto another by the source's per-pixel
// alpha, with extra transparency, grey rendering and a fading reflection.
#pragma once

#include <cstdint>

#include "controls/bitmap32.h"
#include "base/geometry.h"

// BlendChannel moves d towards v by a/256: d + (v - d) * a / 256. The shift is
// by 8, not a division by 255, so an opaque source leaves a trace of the
// destination (white over black gives 254) yet any colour over itself stays.
inline uint8_t BlendChannel(int d, int v, int a) { return static_cast<uint8_t>((d * 256 + (v - d) * a) >> 8); }

// BlendAlpha applies the extra transparency in percent: blend 50 turns 255 into 127.
inline int BlendAlpha(int a, int blend) { return blend > 0 ? a * (100 - blend) / 100 : a; }

// GreyValue is the plain average of the three colour channels, truncated.
inline int GreyValue(const uint8_t* pixel) { return (pixel[chRed] + pixel[chGreen] + pixel[chBlue]) / 3; }

// ReflectionAlpha fades row y of n reflected rows: the source alpha scaled by
// (n - y) / n, then by the row factor k, then halved (shr 9 = / 512).
inline int ReflectionAlpha(int alpha, int y, int n, int k) { return ((alpha * (n - y)) / n) * k >> 9; }

// Reflection source pixels of this exact value (magenta, alpha 0) are skipped.
constexpr uint32_t kReflectionSkipValue = 0x00FF00FF;

// ComposeOver composes source rectangle src of s into destination rectangle dst
// of d over their common area (both clipped to their bitmaps), pixel by pixel
// by the source alpha reduced by blend percent (0..100), with the colours
// averaged when grey, and with a fading mirror image below dst when reflect.
// Only d changes. Nothing happens without a source.
void ComposeOver(const TRect& dst, const TRect& src, TBitmap32& d, const TBitmap32* s, int blend, bool grey,
                 bool reflect);

// SetAlphaInRect sets the alpha byte of every pixel of r (clipped to the
// bitmap) to alpha; the colours stay.
void SetAlphaInRect(TBitmap32& bitmap, const TRect& r, uint8_t alpha);
