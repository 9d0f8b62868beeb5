#include "controls/compose.h"

#include <algorithm>

namespace {

int NonNegative(int n) { return n < 0 ? 0 : n; }

// TSpan is the composed area along one axis: the first destination and source
// index and how many indices follow.
struct TSpan {
    int DstStart;
    int SrcStart;
    int Count;
};

// Overlap of one axis: the least of both rectangle extents and of what each
// bitmap holds from its start. A negative start moves both starts on by its
// magnitude, so it becomes 0, and the count shrinks by as much.
TSpan Overlap(int dstStart, int dstExtent, int dstSize, int srcStart, int srcExtent, int srcSize) {
    TSpan span{dstStart, srcStart,
               std::min({NonNegative(dstExtent), NonNegative(srcExtent), dstSize - dstStart, srcSize - srcStart})};
    const int least = std::min(dstStart, srcStart);
    if (least < 0) {
        span.DstStart -= least;
        span.SrcStart -= least;
        span.Count = std::min({span.Count + least, dstSize - span.DstStart, srcSize - span.SrcStart});
    }
    return span;
}

// ComposePixel composes source pixel s over destination pixel d at alpha a.
void ComposePixel(uint8_t* d, const uint8_t* s, int a, bool grey) {
    if (grey) {
        const int v = GreyValue(s);
        d[chBlue] = BlendChannel(d[chBlue], v, a);
        d[chGreen] = BlendChannel(d[chGreen], v, a);
        d[chRed] = BlendChannel(d[chRed], v, a);
    } else {
        d[chBlue] = BlendChannel(d[chBlue], s[chBlue], a);
        d[chGreen] = BlendChannel(d[chGreen], s[chGreen], a);
        d[chRed] = BlendChannel(d[chRed], s[chRed], a);
    }
}

void ComposeMain(const TSpan& rows, const TSpan& cols, TBitmap32& d, const TBitmap32& s, int blend, bool grey) {
    // The destination keeps the larger alpha only for a plain composition.
    const bool keepLargerAlpha = blend <= 0 && !grey;
    for (int y = 0; y < rows.Count; ++y) {
        uint8_t* dp = d.Pixel(cols.DstStart, rows.DstStart + y);
        const uint8_t* sp = s.Pixel(cols.SrcStart, rows.SrcStart + y);
        for (int x = 0; x < cols.Count; ++x, dp += kBytesPerPixel, sp += kBytesPerPixel) {
            ComposePixel(dp, sp, BlendAlpha(sp[chAlpha], blend), grey);
            if (keepLargerAlpha) dp[chAlpha] = std::max(dp[chAlpha], sp[chAlpha]);
        }
    }
}

// ComposeReflection mirrors the source rows above the source bottom below the
// destination bottom, fading row by row. Rows that would fall outside either
// bitmap (a rectangle reaching past its bitmap) are left out.
void ComposeReflection(const TRect& dst, const TRect& src, const TSpan& cols, TBitmap32& d, const TBitmap32& s,
                       int blend, bool grey) {
    const int n = std::min(s.Height() / 2 - 1, d.Height() - dst.Bottom - 1);
    const int step = 255 / s.Height();
    uint8_t k = 255;
    for (int y = 1; y <= n; ++y, k = static_cast<uint8_t>(k - step)) {
        const int srcRow = src.Bottom - 1 - y;
        const int dstRow = dst.Bottom + y;
        if (srcRow < 0 || srcRow >= s.Height() || dstRow < 0 || dstRow >= d.Height()) continue;
        uint8_t* dp = d.Pixel(cols.DstStart, dstRow);
        const uint8_t* sp = s.Pixel(cols.SrcStart, srcRow);
        for (int x = 0; x < cols.Count; ++x, dp += kBytesPerPixel, sp += kBytesPerPixel) {
            if (PixelValue(sp) == kReflectionSkipValue) continue;
            ComposePixel(dp, sp, BlendAlpha(ReflectionAlpha(sp[chAlpha], y, n, k), blend), grey);
        }
    }
}

}  // namespace

void ComposeOver(const TRect& dst, const TRect& src, TBitmap32& d, const TBitmap32* s, int blend, bool grey,
                 bool reflect) {
    if (!s) return;
    blend = std::clamp(blend, 0, 100);  // a percentage; anything else would push alpha out of 0..255
    const TSpan rows = Overlap(dst.Top, dst.Height(), d.Height(), src.Top, src.Height(), s->Height());
    const TSpan cols = Overlap(dst.Left, dst.Width(), d.Width(), src.Left, src.Width(), s->Width());
    if (rows.Count <= 0 || cols.Count <= 0) return;
    ComposeMain(rows, cols, d, *s, blend, grey);
    if (reflect) ComposeReflection(dst, src, cols, d, *s, blend, grey);
}

void SetAlphaInRect(TBitmap32& bitmap, const TRect& r, uint8_t alpha) {
    const int left = std::max(r.Left, 0);
    const int right = std::min(r.Right, bitmap.Width());
    const int top = std::max(r.Top, 0);
    const int bottom = std::min(r.Bottom, bitmap.Height());
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) bitmap.Pixel(x, y)[chAlpha] = alpha;
}
