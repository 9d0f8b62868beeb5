#include "controls/draw_surface.h"

#include <algorithm>
#include <cstring>

namespace {

// TClip is the part of [start, start + count) that lies inside [0, size).
struct TClip {
    int First;  // first index inside, relative to start
    int Count;
};

TClip Clip(int start, int count, int size) {
    const int first = std::max(0, -start);
    const int last = std::min(count, size - start);
    return {first, std::max(0, last - first)};
}

}  // namespace

void TBitmapSurface::ReadPixels(const TRect& r, TBitmap32& out) const {
    out.SetSize(r.Width(), r.Height());
    out.Fill(kWhiteFill[chRed], kWhiteFill[chGreen], kWhiteFill[chBlue], kWhiteFill[chAlpha]);
    const TClip cols = Clip(r.Left, out.Width(), FBitmap.Width());
    const TClip rows = Clip(r.Top, out.Height(), FBitmap.Height());
    if (cols.Count == 0) return;
    for (int y = rows.First; y < rows.First + rows.Count; ++y)
        std::memcpy(out.Pixel(cols.First, y), FBitmap.Pixel(r.Left + cols.First, r.Top + y),
                    static_cast<size_t>(cols.Count) * kBytesPerPixel);
}

void TBitmapSurface::WritePixels(const TRect& r, const TBitmap32& pixels) {
    const TClip cols = Clip(r.Left, std::min(r.Width(), pixels.Width()), FBitmap.Width());
    const TClip rows = Clip(r.Top, std::min(r.Height(), pixels.Height()), FBitmap.Height());
    if (cols.Count == 0) return;
    for (int y = rows.First; y < rows.First + rows.Count; ++y)
        std::memcpy(FBitmap.Pixel(r.Left + cols.First, r.Top + y), pixels.Pixel(cols.First, y),
                    static_cast<size_t>(cols.Count) * kBytesPerPixel);
}

void TBitmapSurface::StretchCopy(const TRect& r, const TBitmap32& picture, const uint32_t* transparentColour) {
    if (r.Width() <= 0 || r.Height() <= 0 || picture.Width() <= 0 || picture.Height() <= 0) return;
    TBitmap32 area;
    ReadPixels(r, area);
    StretchInto(area, picture, transparentColour);
    WritePixels(r, area);
}

void StretchInto(TBitmap32& target, const TBitmap32& picture, const uint32_t* transparentColour) {
    if (picture.Width() <= 0 || picture.Height() <= 0) return;
    for (int y = 0; y < target.Height(); ++y) {
        const uint8_t* row = picture.Row(StretchSourceIndex(y, picture.Height(), target.Height()));
        uint8_t* out = target.Row(y);
        for (int x = 0; x < target.Width(); ++x, out += kBytesPerPixel) {
            const uint8_t* p = row + static_cast<size_t>(StretchSourceIndex(x, picture.Width(), target.Width())) *
                                         kBytesPerPixel;
            if (transparentColour && ColourValue(p[chRed], p[chGreen], p[chBlue]) == *transparentColour) continue;
            std::memcpy(out, p, kBytesPerPixel);
        }
    }
}
