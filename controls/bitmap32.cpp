#include "controls/bitmap32.h"

#include <algorithm>
#include <cstring>

namespace {

int NonNegative(int n) { return n < 0 ? 0 : n; }

void FillWhite(uint8_t* first, size_t count) {
    for (size_t i = 0; i < count; ++i) std::memcpy(first + i * kBytesPerPixel, kWhiteFill, kBytesPerPixel);
}

}  // namespace

TBitmap32::TBitmap32(int w, int h) { SetSize(w, h); }

void TBitmap32::SetSize(int w, int h) {
    w = NonNegative(w);
    h = NonNegative(h);
    if (w == FWidth && h == FHeight) return;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h) * kBytesPerPixel);
    FillWhite(pixels.data(), static_cast<size_t>(w) * static_cast<size_t>(h));
    const int keptRows = std::min(h, FHeight);
    const size_t keptBytes = static_cast<size_t>(std::min(w, FWidth)) * kBytesPerPixel;
    const size_t newStride = static_cast<size_t>(w) * kBytesPerPixel;
    if (keptBytes > 0)
        for (int y = 0; y < keptRows; ++y) std::memcpy(pixels.data() + y * newStride, Row(y), keptBytes);
    FPixels = std::move(pixels);
    FWidth = w;
    FHeight = h;
}

void TBitmap32::Fill(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    const uint8_t pixel[kBytesPerPixel] = {blue, green, red, alpha};
    const size_t count = static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight);
    for (size_t i = 0; i < count; ++i) std::memcpy(FPixels.data() + i * kBytesPerPixel, pixel, kBytesPerPixel);
}
