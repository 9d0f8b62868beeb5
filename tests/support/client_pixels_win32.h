// Helpers for window tests: reading back what a window paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "toolkit/dib_section_win32.h"
#include "base/win32_handles.h"

struct TRgb {
    int R, G, B;
    bool operator==(const TRgb& o) const { return R == o.R && G == o.G && B == o.B; }
};

inline std::ostream& operator<<(std::ostream& out, const TRgb& c) {
    return out << "(" << c.R << ", " << c.G << ", " << c.B << ")";
}

inline TRgb RgbOf(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// TClientPixels is what a window paints into its client area through WM_PRINTCLIENT.
class TClientPixels {
public:
    TClientPixels(HWND wnd, int width, int height) : FWidth(width), FHeight(height) {
        TWindowDC screen(nullptr);
        const TDibSection dib(screen.Get(), width, height);
        ::SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
        ::GdiFlush();
        FPixels.assign(dib.Bits(), dib.Bits() + size_t(width) * height * 4);
    }
    TRgb At(int x, int y) const {
        const uint8_t* p = &FPixels[(size_t(y) * FWidth + x) * 4];
        return {p[2], p[1], p[0]};
    }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

private:
    int FWidth;
    int FHeight;
    std::vector<uint8_t> FPixels;
};
