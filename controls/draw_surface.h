// TDrawSurface is what a picture draws onto: a window's device context on
// Windows, or a 32-bit bitmap anywhere. Pictures do their pixel work in
// memory and meet the surface only through these three calls.
#pragma once

#include <cstdint>

#include "controls/bitmap32.h"
#include "base/geometry.h"

// ColourValue packs a colour as 0x00RRGGBB, the form StretchCopy compares.
inline uint32_t ColourValue(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

class TDrawSurface {
public:
    virtual ~TDrawSurface() = default;

    // ReadPixels sizes out to r and fills it with the surface's pixels of r;
    // pixels outside the surface come out white.
    virtual void ReadPixels(const TRect& r, TBitmap32& out) const = 0;
    // WritePixels puts pixels (sized as r) into r; what lies outside the surface is dropped.
    virtual void WritePixels(const TRect& r, const TBitmap32& pixels) = 0;
    // StretchCopy copies picture scaled into r as a plain copy, each target
    // pixel taking one picture pixel (no averaging). With transparentColour
    // (0x00RRGGBB) the picture pixels of that colour are left out.
    virtual void StretchCopy(const TRect& r, const TBitmap32& picture, const uint32_t* transparentColour) = 0;
};

// TBitmapSurface draws onto a 32-bit bitmap that it borrows.
class TBitmapSurface : public TDrawSurface {
public:
    explicit TBitmapSurface(TBitmap32& bitmap) : FBitmap(bitmap) {}

    void ReadPixels(const TRect& r, TBitmap32& out) const override;
    void WritePixels(const TRect& r, const TBitmap32& pixels) override;
    void StretchCopy(const TRect& r, const TBitmap32& picture, const uint32_t* transparentColour) override;

private:
    TBitmap32& FBitmap;  // we don't own it
};

// StretchSourceIndex is the picture index that target index i of a span of
// targetSize shows when pictureSize pixels are stretched over it.
inline int StretchSourceIndex(int i, int pictureSize, int targetSize) {
    return static_cast<int>(static_cast<int64_t>(i) * pictureSize / targetSize);
}

// StretchInto copies picture scaled over all of target (a plain copy that
// leaves out pixels of the transparent colour when one is given).
void StretchInto(TBitmap32& target, const TBitmap32& picture, const uint32_t* transparentColour);
