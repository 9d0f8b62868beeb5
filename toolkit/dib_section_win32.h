// TDibSection: a 32-bit DIB section selected into a memory DC of its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/win32_handles.h"

// TopDownBitmapInfo describes 32-bit BI_RGB pixels to GDI: B, G, R, unused, the
// first row at the top, rows without padding (the layout of TBitmap32).
inline BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// TDibSection owns a top-down 32-bit DIB section, its bits and a memory DC with
// it selected. It raises nothing: callers check Valid() and raise their own error.
class TDibSection {
public:
    TDibSection(HDC compatible, int width, int height) {
        const BITMAPINFO info = TopDownBitmapInfo(width, height);
        FBitmap.Reset(::CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &FBits, nullptr, 0));
        if (!FBitmap.Valid()) return;
        FDC.Reset(::CreateCompatibleDC(compatible));
        if (FDC.Valid()) FSelection.emplace(FDC.Get(), FBitmap.Get());
    }
    TDibSection(const TDibSection&) = delete;
    TDibSection& operator=(const TDibSection&) = delete;

    bool Valid() const { return FBitmap.Valid() && FBits && FDC.Valid(); }
    HDC DC() const { return FDC.Get(); }
    // Bits is the first byte of the top row; call GdiFlush before reading what GDI drew.
    uint8_t* Bits() const { return static_cast<uint8_t*>(FBits); }

private:
    // Declared in this order so the bitmap is put out of the DC before either is deleted.
    TUniqueBitmap FBitmap;
    TUniqueDC FDC;
    std::optional<TSelectedObject> FSelection;
    void* FBits = nullptr;
};
