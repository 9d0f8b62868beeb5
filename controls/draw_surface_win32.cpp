#include "controls/draw_surface_win32.h"

#include <cstring>

#include "base/win32_handles.h"
#include "toolkit/dib_section_win32.h"
#include "toolkit/toolkit_texts.h"

void THdcSurface::ReadPixels(const TRect& r, TBitmap32& out) const {
    const int width = r.Width() > 0 ? r.Width() : 0;
    const int height = r.Height() > 0 ? r.Height() : 0;
    if (width == 0 || height == 0) {
        out.SetSize(width, height);
        return;
    }
    // The bitmap is made before out is sized, so a failure leaves out alone.
    TDibSection dib(FDC, width, height);
    if (!dib.Valid()) throw EOutOfResources(UString(kOutOfResources));
    out.SetSize(width, height);
    // Where r reaches past the surface the copy leaves the DIB as it was: white.
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i)
        std::memcpy(dib.Bits() + i * kBytesPerPixel, kWhiteFill, kBytesPerPixel);
    ::BitBlt(dib.DC(), 0, 0, width, height, FDC, r.Left, r.Top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(out.Data(), dib.Bits(), out.Stride() * static_cast<size_t>(height));
}

void THdcSurface::WritePixels(const TRect& r, const TBitmap32& pixels) {
    if (pixels.Width() <= 0 || pixels.Height() <= 0) return;
    const BITMAPINFO info = TopDownBitmapInfo(pixels.Width(), pixels.Height());
    ::StretchDIBits(FDC, r.Left, r.Top, pixels.Width(), pixels.Height(), 0, 0, pixels.Width(), pixels.Height(),
                    pixels.Data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void THdcSurface::StretchCopy(const TRect& r, const TBitmap32& picture, const uint32_t* transparentColour) {
    if (r.Width() <= 0 || r.Height() <= 0 || picture.Width() <= 0 || picture.Height() <= 0) return;
    if (transparentColour) {
        TBitmap32 area;
        ReadPixels(r, area);
        StretchInto(area, picture, transparentColour);
        WritePixels(r, area);
        return;
    }
    const TStretchBltMode mode(FDC, COLORONCOLOR);
    const BITMAPINFO info = TopDownBitmapInfo(picture.Width(), picture.Height());
    ::StretchDIBits(FDC, r.Left, r.Top, r.Width(), r.Height(), 0, 0, picture.Width(), picture.Height(),
                    picture.Data(), &info, DIB_RGB_COLORS, SRCCOPY);
}
