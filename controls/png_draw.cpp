// Drawing a decoded PNG picture by its own transparency. The pixel work is
// done here in memory; the surface is only read and written through
// TDrawSurface.
#include "controls/png_draw.h"

#include <cmath>
#include <vector>

namespace {

// PartialSourceIndex is Trunc(i / f) with f = target extent / picture extent
// in floating point, kept inside the picture against rounding.
int PartialSourceIndex(int i, double f, int pictureSize) {
    const int index = static_cast<int>(std::trunc(i / f));
    return index < pictureSize ? index : pictureSize - 1;
}

// MixPalettePixel sets a surface pixel from a palette entry at its tRNS
// alpha; the palette rule touches every pixel, whatever the alpha.
void MixPalettePixel(uint8_t* d, const TPngColour& p, int a) {
    d[chRed] = MixPaletteChannel(d[chRed], p.Red, a);
    d[chGreen] = MixPaletteChannel(d[chGreen], p.Green, a);
    d[chBlue] = MixPaletteChannel(d[chBlue], p.Blue, a);
}

// MixSamplePixel mixes a colour of alpha a into a surface pixel: alpha 0
// leaves it, 255 replaces the colour, anything else mixes with rounding.
void MixSamplePixel(uint8_t* d, const TPngColour& s, int a) {
    if (a == 0) return;
    if (a == 255) {
        d[chRed] = s.Red;
        d[chGreen] = s.Green;
        d[chBlue] = s.Blue;
        return;
    }
    d[chRed] = MixChannel(d[chRed], s.Red, a);
    d[chGreen] = MixChannel(d[chGreen], s.Green, a);
    d[chBlue] = MixChannel(d[chBlue], s.Blue, a);
}

}  // namespace

TBitmap32 ColourBitmap(const TPngImage& png) {
    TBitmap32 bitmap(png.Width(), png.Height());
    for (int y = 0; y < png.Height(); ++y) {
        uint8_t* out = bitmap.Row(y);
        for (int x = 0; x < png.Width(); ++x, out += kBytesPerPixel) {
            const TPngColour c = png.PixelColour(x, y);
            out[chRed] = c.Red;
            out[chGreen] = c.Green;
            out[chBlue] = c.Blue;
            out[chAlpha] = 255;
        }
    }
    return bitmap;
}

void MixPartial(const TPngImage& png, TBitmap32& area) {
    if (png.Empty() || area.Width() <= 0 || area.Height() <= 0) return;
    const double fx = static_cast<double>(area.Width()) / png.Width();
    const double fy = static_cast<double>(area.Height()) / png.Height();
    const bool palette = png.ColourKind() == pkPalette;
    // The picture column of each target column is the same on every row.
    std::vector<int> columns(static_cast<size_t>(area.Width()));
    for (int i = 0; i < area.Width(); ++i) columns[static_cast<size_t>(i)] = PartialSourceIndex(i, fx, png.Width());
    for (int j = 0; j < area.Height(); ++j) {
        const int py = PartialSourceIndex(j, fy, png.Height());
        uint8_t* d = area.Row(j);
        for (int i = 0; i < area.Width(); ++i, d += kBytesPerPixel) {
            const int px = columns[static_cast<size_t>(i)];
            if (palette)
                MixPalettePixel(d, png.PixelColour(px, py), png.PixelAlpha(px, py));
            else
                MixSamplePixel(d, png.PixelColour(px, py), png.PixelAlpha(px, py));
        }
    }
}

void TPngImage::Draw(TDrawSurface& surface, const TRect& r) const {
    if (Empty() || r.Width() <= 0 || r.Height() <= 0) return;
    switch (FTransparency) {
    case ptNone: surface.StretchCopy(r, ColourBitmap(*this), nullptr); break;
    case ptOneColour: surface.StretchCopy(r, ColourBitmap(*this), &FTransparentColour); break;
    case ptPartial: {
        TBitmap32 area;
        surface.ReadPixels(r, area);
        MixPartial(*this, area);
        surface.WritePixels(r, area);
        break;
    }
    }
}
