#include "controls/draw_surface_win32.h"

#include <cstring>
#include <optional>

#include "toolkit/errors.h"
#include "toolkit/win32_handles.h"

namespace {

// TopDownInfo describes a TBitmap32 to GDI: 32 bits, rows from the top.
BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// TDibSection is a temporary 32-bit DIB section selected into a memory DC.
class TDibSection {
public:
    TDibSection(HDC compatible, int width, int height) {
        const BITMAPINFO info = TopDownInfo(width, height);
        FBitmap.Reset(::CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &FBits, nullptr, 0));
        if (!FBitmap.Valid() || !FBits) throw EOutOfResources(kOutOfResources);
        FDC.Reset(::CreateCompatibleDC(compatible));
        if (!FDC.Valid()) throw EOutOfResources(kOutOfResources);
        FSelection.emplace(FDC.Get(), FBitmap.Get());
    }
    HDC DC() const { return FDC.Get(); }
    uint8_t* Bits() const { return static_cast<uint8_t*>(FBits); }

private:
    // Declared in this order so the bitmap is put out of the DC before either is deleted.
    TUniqueBitmap FBitmap;
    TUniqueDC FDC;
    std::optional<TSelectedObject> FSelection;
    void* FBits = nullptr;
};

// TStretchMode sets a DC's stretch mode for one scope.
class TStretchMode {
public:
    TStretchMode(HDC dc, int mode) : FDC(dc), FOld(::SetStretchBltMode(dc, mode)) {}
    ~TStretchMode() {
        if (FOld) ::SetStretchBltMode(FDC, FOld);
    }
    TStretchMode(const TStretchMode&) = delete;
    TStretchMode& operator=(const TStretchMode&) = delete;

private:
    HDC FDC;  // we don't own it
    int FOld;
};

}  // namespace

void THdcSurface::ReadPixels(const TRect& r, TBitmap32& out) const {
    const int width = r.Width() > 0 ? r.Width() : 0;
    const int height = r.Height() > 0 ? r.Height() : 0;
    if (width == 0 || height == 0) {
        out.SetSize(width, height);
        return;
    }
    // The bitmap is made before out is sized, so a failure leaves out alone.
    TDibSection dib(FDC, width, height);
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
    const BITMAPINFO info = TopDownInfo(pixels.Width(), pixels.Height());
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
    const TStretchMode mode(FDC, COLORONCOLOR);
    const BITMAPINFO info = TopDownInfo(picture.Width(), picture.Height());
    ::StretchDIBits(FDC, r.Left, r.Top, r.Width(), r.Height(), 0, 0, picture.Width(), picture.Height(),
                    picture.Data(), &info, DIB_RGB_COLORS, SRCCOPY);
}
