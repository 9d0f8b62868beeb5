// The picture a picture control shows. TBitmap is a picture of 32-bit pixels;
// a picture that holds nothing else holds an empty one. TPicture holds at
// most one graphic and reports each change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "base/geometry.h"
#include "controls/bitmap32.h"
#include "controls/graphic.h"

class TBitmap : public TGraphic {
public:
    explicit TBitmap(TBitmap32 pixels = {}) : FPixels(std::move(pixels)) {}
    int Width() const override { return FPixels.Width(); }
    int Height() const override { return FPixels.Height(); }
    bool Empty() const override { return FPixels.Width() == 0 || FPixels.Height() == 0; }
    bool Transparent() const override { return false; }
    // LoadFromBytes raises EInvalidGraphic: a bitmap is never read from stored picture data.
    void LoadFromBytes(const uint8_t* data, size_t size) override;
    // Draw copies the pixels scaled into r; an empty bitmap draws nothing.
    void Draw(TDrawSurface& surface, const TRect& r) const override;
    const TBitmap32& Pixels() const { return FPixels; }

private:
    TBitmap32 FPixels;
};

class TPicture {
public:
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // LoadFromData reads stored picture data: a class name, then the class's data.
    // A class nobody registered leaves the picture empty.
    void LoadFromData(const std::vector<uint8_t>& data);
    std::function<void()> OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};
