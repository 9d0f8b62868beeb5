#include "controls/draw_surface.h"

#include <algorithm>
#include <cstring>

void TBitmapSurface::ReadPixels(const TRect& r, TBitmap32& out) const {
    out.SetSize(r.Width(), r.Height());
    for (int y = 0; y < out.Height(); ++y) {
        const int sy = r.Top + y;
        for (int x = 0; x < out.Width(); ++x) {
            const int sx = r.Left + x;
            const bool inside = sx >= 0 && sx < FBitmap.Width() && sy >= 0 && sy < FBitmap.Height();
            std::memcpy(out.Pixel(x, y), inside ? FBitmap.Pixel(sx, sy) : kWhiteFill, kBytesPerPixel);
        }
    }
}

void TBitmapSurface::WritePixels(const TRect& r, const TBitmap32& pixels) {
    const int width = std::min(r.Width(), pixels.Width());
    const int height = std::min(r.Height(), pixels.Height());
    for (int y = 0; y < height; ++y) {
        const int dy = r.Top + y;
        if (dy < 0 || dy >= FBitmap.Height()) continue;
        for (int x = 0; x < width; ++x) {
            const int dx = r.Left + x;
            if (dx >= 0 && dx < FBitmap.Width()) std::memcpy(FBitmap.Pixel(dx, dy), pixels.Pixel(x, y), kBytesPerPixel);
        }
    }
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
