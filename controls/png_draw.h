// The pixel maths of drawing a PNG picture by its own transparency, kept free
// of surfaces: TPngImage::Draw (png_draw.cpp) meets the surface only to read
// and write the area it mixes.
#pragma once

#include <cstdint>

#include "controls/bitmap32.h"
#include "controls/png_picture.h"

// MixChannel mixes picture sample s over surface sample d at alpha a, rounding: ((255 - a) * d + a * s + 127) div 255.
inline uint8_t MixChannel(int d, int s, int a) { return static_cast<uint8_t>(((255 - a) * d + a * s + 127) / 255); }
// MixPaletteChannel is the palette picture's mix: (a * p + (255 - a) * d + 255) shr 8.
inline uint8_t MixPaletteChannel(int d, int p, int a) {
    return static_cast<uint8_t>((a * p + (255 - a) * d + 255) >> 8);
}

// ColourBitmap is the picture as an opaque 32-bit bitmap of its own size.
TBitmap32 ColourBitmap(const TPngImage& png);
// MixPartial mixes the picture, stretched over all of area, into area, which
// holds the surface's pixels (the partial-transparency draw).
void MixPartial(const TPngImage& png, TBitmap32& area);
