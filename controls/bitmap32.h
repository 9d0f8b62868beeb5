// TBitmap32 is the 32-bit bitmap every pixel routine works on.
//
// Layout, written down once here: 4 bytes per pixel in the order blue, green,
// red, alpha; the first pixel is the top-left one; rows follow each other with
// no padding, so the stride is width * 4 bytes. Pixels are addressed by
// (column, row) from the top-left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Byte offsets of the channels inside one pixel.
enum TChannel : uint8_t { chBlue = 0, chGreen = 1, chRed = 2, chAlpha = 3 };

constexpr int kBytesPerPixel = 4;

class TBitmap32 {
public:
    TBitmap32() = default;
    // TBitmap32 of w x h white pixels; negative extents count as 0.
    TBitmap32(int w, int h);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    size_t Stride() const { return static_cast<size_t>(FWidth) * kBytesPerPixel; }

    // Row gives the first byte of row y (0 <= y < Height()).
    uint8_t* Row(int y) { return FPixels.data() + static_cast<size_t>(y) * Stride(); }
    const uint8_t* Row(int y) const { return FPixels.data() + static_cast<size_t>(y) * Stride(); }
    // Pixel gives the blue byte of pixel (x, y); the other channels follow.
    uint8_t* Pixel(int x, int y) { return Row(y) + static_cast<size_t>(x) * kBytesPerPixel; }
    const uint8_t* Pixel(int x, int y) const { return Row(y) + static_cast<size_t>(x) * kBytesPerPixel; }

    uint8_t* Data() { return FPixels.data(); }
    const uint8_t* Data() const { return FPixels.data(); }

    // SetSize changes the extent (negative counts as 0). Pixels that stay
    // inside keep their values at the same (column, row); new pixels are white.
    void SetSize(int w, int h);

    // Fill sets every pixel to the given colour and alpha.
    void Fill(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint8_t> FPixels;
};

// New pixels are white as a drawing surface's white brush leaves them: the
// colour bytes 255 and the alpha byte 0, because brush fills do not write alpha.
constexpr uint8_t kWhiteFill[kBytesPerPixel] = {255, 255, 255, 0};

// PixelValue reads pixel bytes as one 32-bit value, blue in the low byte.
inline uint32_t PixelValue(const uint8_t* p) {
    return static_cast<uint32_t>(p[chBlue]) | static_cast<uint32_t>(p[chGreen]) << 8 |
           static_cast<uint32_t>(p[chRed]) << 16 | static_cast<uint32_t>(p[chAlpha]) << 24;
}
