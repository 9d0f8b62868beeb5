// TGraphic is a picture that can load itself from its stored bytes and draw
// itself scaled into a rectangle of a drawing surface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "controls/draw_surface.h"
#include "base/geometry.h"

class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Empty is true while the picture has no pixels to draw.
    virtual bool Empty() const = 0;
    // Transparent is true when drawing may leave surface pixels showing through.
    virtual bool Transparent() const = 0;

    // LoadFromBytes replaces the picture by the one the bytes hold; it raises
    // an error when they hold no valid picture of this class.
    virtual void LoadFromBytes(const uint8_t* data, size_t size) = 0;
    // Draw draws the picture scaled into r of the surface.
    virtual void Draw(TDrawSurface& surface, const TRect& r) const = 0;
};
