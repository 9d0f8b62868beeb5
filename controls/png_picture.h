// TPngImage is the PNG picture class: a PNG file decoded into 8-bit samples
// (with an alpha plane where the file has one), drawn by its own transparency.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/graphic.h"

// How a picture lets the surface show through, from its colour type and tRNS:
//   greyscale, RGB          without tRNS: none;  with tRNS: one transparent colour
//   palette                 without tRNS: none;  with tRNS: one transparent colour when
//                           exactly one entry is below 255, else partial
//   greyscale+alpha, RGBA   partial
enum TPngTransparency : uint8_t { ptNone, ptOneColour, ptPartial };

// The decoded sample layout: one grey or palette-index byte, grey and alpha,
// red green blue, or red green blue alpha per pixel.
enum TPngColourKind : uint8_t { pkGrey, pkRgb, pkPalette, pkGreyAlpha, pkRgba };

struct TPngColour {
    uint8_t Red, Green, Blue;
};

class TPngImage : public TGraphic {
public:
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    bool Transparent() const override { return FTransparency != ptNone; }

    // LoadFromBytes decodes a complete PNG file; a file the decoder rejects
    // raises EInvalidGraphic with the decoder's message and leaves the picture as it was.
    void LoadFromBytes(const uint8_t* data, size_t size) override;
    // Draw draws the picture scaled into r: a plain copy, a copy without the
    // transparent colour, or for partial transparency a per-pixel mix with the
    // surface. An empty picture or rectangle draws nothing.
    void Draw(TDrawSurface& surface, const TRect& r) const override;

    TPngTransparency Transparency() const { return FTransparency; }
    TPngColourKind ColourKind() const { return FKind; }
    // Colour of pixel (x, y): the samples (after the gAMA mapping), the palette entry, or grey on all three.
    TPngColour PixelColour(int x, int y) const;
    // PixelAlpha is the alpha sample, the palette entry's tRNS value (255 past
    // the chunk's end), or 255 for pictures without alpha.
    uint8_t PixelAlpha(int x, int y) const;
    // TransparentColour (0x00RRGGBB) is the colour left out in mode ptOneColour.
    uint32_t TransparentColour() const { return FTransparentColour; }

    // Row gives the decoded samples of row y, laid out as ColourKind says.
    const uint8_t* Row(int y) const { return FSamples.data() + static_cast<size_t>(y) * FRowBytes; }
    const TPngColour& PaletteColour(uint8_t index) const { return FPalette[index]; }
    uint8_t PaletteAlpha(uint8_t index) const { return FPaletteAlpha[index]; }

private:
    int FWidth = 0;
    int FHeight = 0;
    TPngColourKind FKind = pkRgba;
    TPngTransparency FTransparency = ptNone;
    size_t FRowBytes = 0;
    std::vector<uint8_t> FSamples;
    // Palettes are kept at 256 entries, so any index byte is a valid entry;
    // entries the file does not give are black, their tRNS value 255.
    std::array<TPngColour, 256> FPalette{};
    std::array<uint8_t, 256> FPaletteAlpha{};
    uint32_t FTransparentColour = 0;

    friend class TPngDecoder;
};

// Channels per pixel for a decoded layout.
int PngChannels(TPngColourKind kind);

// GammaSample maps a colour sample s through a gAMA value g (the chunk value
// / 100000): Round(255 * (s / 255)^(1 / (g * 2.2))).
uint8_t GammaSample(uint8_t s, double g);
