// THdcSurface draws onto a device context: a window's, a printer's or a
// memory DC with a bitmap selected.
#pragma once

#include <windows.h>

#include "controls/draw_surface.h"

class THdcSurface : public TDrawSurface {
public:
    explicit THdcSurface(HDC dc) : FDC(dc) {}

    // ReadPixels copies r through a temporary 32-bit DIB section; it raises
    // EOutOfResources when that bitmap or its DC cannot be created.
    void ReadPixels(const TRect& r, TBitmap32& out) const override;
    void WritePixels(const TRect& r, const TBitmap32& pixels) override;
    // StretchCopy uses StretchDIBits in COLORONCOLOR mode; with a transparent
    // colour it reads r, copies the other pixels in memory and writes r back.
    void StretchCopy(const TRect& r, const TBitmap32& picture, const uint32_t* transparentColour) override;

private:
    HDC FDC;  // we don't own it
};
