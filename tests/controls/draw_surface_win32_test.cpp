#include "controls/draw_surface_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/png_picture.h"
#include "tests/controls/picture_files.h"
#include "tests/controls/pixel_test_support.h"
#include "tests/support/expect_raises.h"
#include "toolkit/dib_section_win32.h"
#include "base/win32_handles.h"
#include "toolkit/toolkit_texts.h"

namespace {

// TMemorySurface is a w x h 32-bit DIB section in a memory DC, filled with one colour.
class TMemorySurface {
public:
    TMemorySurface(int w, int h, TRgba ground) : FWidth(w), FHeight(h), FDib(nullptr, w, h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Set(x, y, ground);
    }
    HDC DC() const { return FDib.DC(); }
    TRgba Get(int x, int y) const {
        ::GdiFlush();
        const uint8_t* p = FDib.Bits() + (y * FWidth + x) * 4;
        return {p[2], p[1], p[0], 0};
    }
    void Set(int x, int y, TRgba c) {
        uint8_t* p = FDib.Bits() + (y * FWidth + x) * 4;
        p[0] = static_cast<uint8_t>(c[2]);
        p[1] = static_cast<uint8_t>(c[1]);
        p[2] = static_cast<uint8_t>(c[0]);
        p[3] = static_cast<uint8_t>(c[3]);
    }

private:
    int FWidth, FHeight;
    TDibSection FDib;
};

// DrawOnMemory draws a picture file into r of the memory surface.
void DrawOnMemory(const std::string& file, TMemorySurface& memory, const TRect& r) {
    THdcSurface surface(memory.DC());
    LoadPng(file).Draw(surface, r);
}

TEST(HdcSurface, PartialPictureMixesWithTheDeviceContextPixels) {
    TMemorySurface memory(3, 2, {0, 0, 0, 0});
    DrawOnMemory("rgba_3x2.png", memory, TRect{0, 0, 3, 2});
    ExpectRows([&](int x, int y) { return memory.Get(x, y); }, kRgbaOverBlack);
}

TEST(HdcSurface, PalettePictureKeepsItsRuleOnADeviceContext) {
    TMemorySurface memory(4, 1, {200, 200, 200, 0});
    DrawOnMemory("palette_partial_4x1.png", memory, TRect{0, 0, 4, 1});
    ExpectRows([&](int x, int y) { return memory.Get(x, y); }, kPalettePartialOverGrey);
}

TEST(HdcSurface, OpaquePictureIsStretchedWithColourOnColour) {
    TMemorySurface memory(5, 4, {1, 2, 3, 0});
    DrawOnMemory("rgb_2x2.png", memory, TRect{1, 0, 5, 4});
    ExpectRows([&](int x, int y) { return memory.Get(x, y); }, kRgbDoubledFromColumnOne);
}

TEST(HdcSurface, TransparentColourIsLeftOut) {
    TMemorySurface memory(2, 2, {1, 2, 3, 0});
    DrawOnMemory("rgb_trns_2x2.png", memory, TRect{0, 0, 2, 2});
    // (40, 50, 60) is the tRNS colour: pixels (1, 0) and (1, 1) show the ground.
    ExpectRows([&](int x, int y) { return memory.Get(x, y); },
               {{{10, 20, 30, 0}, {1, 2, 3, 0}}, {{70, 80, 90, 0}, {1, 2, 3, 0}}});
}

TEST(HdcSurface, ReadsWhiteOutsideTheBitmap) {
    TMemorySurface memory(2, 2, {1, 2, 3, 4});
    ExpectReadsWhiteOutside(THdcSurface(memory.DC()));
}

TEST(HdcSurface, TooLargeATemporaryBitmapRaisesOutOfResourcesAndLeavesTheSurface) {
    TMemorySurface memory(2, 2, {1, 2, 3, 0});
    THdcSurface surface(memory.DC());
    const TPngImage png = LoadPng("rgba_3x2.png");
    ExpectRaises<EOutOfResources>([&] { png.Draw(surface, TRect{0, 0, 200000, 200000}); },
                                  u"Some operation could not be performed because the system is out of resources. "
                                  u"Close some windows and try again.");
    EXPECT_EQ(memory.Get(0, 0), (TRgba{1, 2, 3, 0}));
    EXPECT_EQ(memory.Get(1, 1), (TRgba{1, 2, 3, 0}));
}

// A visible top-level window on the test display, painted black.
class TTestWindow {
public:
    TTestWindow(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvoPixelsTestWindow";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::RegisterClassW(&wc);
        FWnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"pixels", WS_POPUP | WS_VISIBLE, 10, 10, w, h,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        if (FWnd) ::UpdateWindow(FWnd);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    ~TTestWindow() {
        if (FWnd) ::DestroyWindow(FWnd);
    }
    HWND Get() const { return FWnd; }

private:
    HWND FWnd = nullptr;
};

TEST(HdcSurface, DrawsOntoAWindowDeviceContext) {
    TTestWindow window(8, 8);
    ASSERT_NE(window.Get(), nullptr) << "no display for windows";
    TWindowDC dc(window.Get());
    THdcSurface surface(dc.Get());
    LoadPng("rgba_3x2.png").Draw(surface, TRect{2, 2, 5, 4});
    // The window was black: the same mix as on a black bitmap.
    EXPECT_EQ(::GetPixel(dc.Get(), 3, 2), RGB(128, 128, 128));
    EXPECT_EQ(::GetPixel(dc.Get(), 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc.Get(), 4, 3), RGB(100, 149, 199));
    EXPECT_EQ(::GetPixel(dc.Get(), 1, 1), RGB(0, 0, 0));
    TBitmap32 back;
    surface.ReadPixels(TRect{2, 2, 5, 4}, back);
    EXPECT_EQ(GetColour(back, 1, 0), (TRgba{128, 128, 128, 0}));
}

}  // namespace
