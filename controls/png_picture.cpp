#include "controls/png_picture.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "controls/controls_texts.h"

namespace {

// Pictures beyond this many pixels a side are refused before any allocation;
// a 32-bit bitmap that size is already 4 GB.
constexpr png_uint_32 kMaxSide = 32767;

// TPngSource is the file being read; ReadFromSource hands it to libpng.
struct TPngSource {
    const uint8_t* Data;
    size_t Size;
    size_t Position;
};

// TPngFailure holds libpng's error text until the jump has returned.
struct TPngFailure {
    char Message[256];
};

void ReadFromSource(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (source->Size - source->Position < count) png_error(png, kPngDataEndsTooEarly);
    std::memcpy(out, source->Data + source->Position, count);
    source->Position += count;
}

void StoreError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<TPngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->Message, sizeof failure->Message, "%s", message);  // cut to fit, always ended
    png_longjmp(png, 1);
}

// Warnings are about chunks the picture does without (a bad profile, a
// damaged ancillary chunk); the picture itself is fine.
void IgnoreWarning(png_structp, png_const_charp) {}

// TPngReadStruct owns libpng's read and info structures.
class TPngReadStruct {
public:
    explicit TPngReadStruct(TPngFailure* failure) {
        FPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, failure, StoreError, IgnoreWarning);
        if (!FPng) throw std::bad_alloc();
        FInfo = png_create_info_struct(FPng);
        if (!FInfo) {
            png_destroy_read_struct(&FPng, nullptr, nullptr);
            throw std::bad_alloc();
        }
    }
    ~TPngReadStruct() { png_destroy_read_struct(&FPng, &FInfo, nullptr); }
    TPngReadStruct(const TPngReadStruct&) = delete;
    TPngReadStruct& operator=(const TPngReadStruct&) = delete;

    png_structp Png() const { return FPng; }
    png_infop Info() const { return FInfo; }

private:
    png_structp FPng = nullptr;
    png_infop FInfo = nullptr;
};

// TPngHeader is what the header chunks say, after the transformations to
// 8-bit samples are set up. Plain data: it lives across libpng's jump.
struct TPngHeader {
    png_uint_32 Width, Height;
    int ColourType;
    int FileBitDepth;
    size_t RowBytes;
    png_colorp Palette;
    int PaletteCount;
    png_bytep TransAlpha;
    int TransCount;
    png_color_16 TransColour;
    bool HasTrns;
    png_fixed_point Gamma;
    bool HasGamma;
};

// ReadHeader reads up to the image data and asks for 8-bit samples: 16-bit
// samples lose their low byte, 1, 2 and 4-bit greys and indices widen to a
// byte, interlaced rows come out whole. The palette and tRNS are kept as
// they are. libpng reports errors by jumping back here, so this function
// holds nothing that needs destroying.
bool ReadHeader(png_structp png, png_infop info, TPngHeader& h) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    h.ColourType = png_get_color_type(png, info);
    h.FileBitDepth = png_get_bit_depth(png, info);
    png_color_16p transColour = nullptr;
    h.HasTrns = png_get_tRNS(png, info, &h.TransAlpha, &h.TransCount, &transColour) != 0;
    if (transColour) h.TransColour = *transColour;
    h.HasGamma = png_get_gAMA_fixed(png, info, &h.Gamma) != 0;
    if (png_get_PLTE(png, info, &h.Palette, &h.PaletteCount) == 0) h.PaletteCount = 0;
    if (h.FileBitDepth == 16) png_set_strip_16(png);
    if (h.ColourType == PNG_COLOR_TYPE_GRAY && h.FileBitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (h.ColourType == PNG_COLOR_TYPE_PALETTE && h.FileBitDepth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    h.Width = png_get_image_width(png, info);
    h.Height = png_get_image_height(png, info);
    h.RowBytes = png_get_rowbytes(png, info);
    return true;
}

// ReadRows reads the image data into rows and the chunks after it.
bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

TPngColourKind KindOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return pkGrey;
    case PNG_COLOR_TYPE_RGB: return pkRgb;
    case PNG_COLOR_TYPE_PALETTE: return pkPalette;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return pkGreyAlpha;
    default: return pkRgba;
    }
}

// EightBit brings a tRNS sample of the file's depth to the decoded 8 bits,
// the way the samples themselves were brought there.
uint8_t EightBit(png_uint_16 sample, int depth) {
    if (depth == 16) return static_cast<uint8_t>(sample >> 8);
    if (depth < 8) return static_cast<uint8_t>(sample * (255 / ((1 << depth) - 1)));
    return static_cast<uint8_t>(sample);
}

}  // namespace

int PngChannels(TPngColourKind kind) {
    switch (kind) {
    case pkGrey:
    case pkPalette: return 1;
    case pkGreyAlpha: return 2;
    case pkRgb: return 3;
    default: return 4;
    }
}

uint8_t GammaSample(uint8_t s, double g) {
    // Rounded as the FPU rounds by default: ties go to the even neighbour.
    const double mapped = std::nearbyint(255.0 * std::pow(s / 255.0, 1.0 / (g * 2.2)));
    return static_cast<uint8_t>(mapped < 0 ? 0 : mapped > 255 ? 255 : mapped);
}

// TPngDecoder turns a PNG file into a TPngImage's decoded state.
class TPngDecoder {
public:
    static TPngImage Decode(const uint8_t* data, size_t size);

private:
    static void TakePalette(TPngImage& png, const TPngHeader& h);
    static void TakeTransparency(TPngImage& png, const TPngHeader& h);
    static void ApplyGamma(TPngImage& png, double g);
};

TPngImage TPngDecoder::Decode(const uint8_t* data, size_t size) {
    TPngFailure failure{};
    TPngSource source{data, size, 0};
    TPngReadStruct reader(&failure);
    png_set_read_fn(reader.Png(), &source, ReadFromSource);
    TPngHeader h{};
    if (!ReadHeader(reader.Png(), reader.Info(), h)) throw EInvalidGraphic(FromUtf8(failure.Message));

    TPngImage png;
    png.FWidth = static_cast<int>(h.Width);
    png.FHeight = static_cast<int>(h.Height);
    png.FKind = KindOf(h.ColourType);
    png.FRowBytes = h.RowBytes;
    png.FSamples.resize(h.RowBytes * h.Height);
    std::vector<png_bytep> rows(h.Height);
    for (png_uint_32 y = 0; y < h.Height; ++y) rows[y] = png.FSamples.data() + y * h.RowBytes;
    if (!ReadRows(reader.Png(), rows.data())) throw EInvalidGraphic(FromUtf8(failure.Message));

    TakePalette(png, h);
    TakeTransparency(png, h);
    if (h.HasGamma && h.Gamma > 0) ApplyGamma(png, h.Gamma / 100000.0);
    return png;
}

void TPngDecoder::TakePalette(TPngImage& png, const TPngHeader& h) {
    png.FPalette.fill(TPngColour{0, 0, 0});
    png.FPaletteAlpha.fill(255);
    for (int i = 0; i < h.PaletteCount && i < 256; ++i)
        png.FPalette[static_cast<size_t>(i)] = {h.Palette[i].red, h.Palette[i].green, h.Palette[i].blue};
    if (png.FKind == pkPalette && h.HasTrns)
        for (int i = 0; i < h.TransCount && i < 256; ++i) png.FPaletteAlpha[static_cast<size_t>(i)] = h.TransAlpha[i];
}

void TPngDecoder::TakeTransparency(TPngImage& png, const TPngHeader& h) {
    png.FTransparency = ptNone;
    if (png.FKind == pkGreyAlpha || png.FKind == pkRgba) {
        png.FTransparency = ptPartial;
    } else if (h.HasTrns && png.FKind == pkPalette) {
        int below = 0;
        int last = 0;
        for (int i = 0; i < h.TransCount; ++i)
            if (h.TransAlpha[i] < 255) ++below, last = i;
        png.FTransparency = below == 1 ? ptOneColour : ptPartial;
        const TPngColour& c = png.FPalette[static_cast<size_t>(last)];
        png.FTransparentColour = ColourValue(c.Red, c.Green, c.Blue);
    } else if (h.HasTrns && png.FKind == pkGrey) {
        const uint8_t grey = EightBit(h.TransColour.gray, h.FileBitDepth);
        png.FTransparency = ptOneColour;
        png.FTransparentColour = ColourValue(grey, grey, grey);
    } else if (h.HasTrns && png.FKind == pkRgb) {
        png.FTransparency = ptOneColour;
        png.FTransparentColour = ColourValue(EightBit(h.TransColour.red, h.FileBitDepth),
                                             EightBit(h.TransColour.green, h.FileBitDepth),
                                             EightBit(h.TransColour.blue, h.FileBitDepth));
    }
}

// ApplyGamma maps every colour sample, never alpha; palette pictures map
// their palette. The transparent colour is mapped alike, so the pixels that
// bore it still match it.
void TPngDecoder::ApplyGamma(TPngImage& png, double g) {
    uint8_t table[256];
    for (int s = 0; s < 256; ++s) table[s] = GammaSample(static_cast<uint8_t>(s), g);
    if (png.FKind == pkPalette) {
        for (TPngColour& c : png.FPalette) c = {table[c.Red], table[c.Green], table[c.Blue]};
    } else {
        const int channels = PngChannels(png.FKind);
        const int colours = png.FKind == pkGrey || png.FKind == pkGreyAlpha ? 1 : 3;
        for (size_t i = 0; i < png.FSamples.size(); i += static_cast<size_t>(channels))
            for (int c = 0; c < colours; ++c) png.FSamples[i + static_cast<size_t>(c)] = table[png.FSamples[i + static_cast<size_t>(c)]];
    }
    const uint32_t t = png.FTransparentColour;
    png.FTransparentColour = ColourValue(table[(t >> 16) & 0xFF], table[(t >> 8) & 0xFF], table[t & 0xFF]);
}

void TPngImage::LoadFromBytes(const uint8_t* data, size_t size) { *this = TPngDecoder::Decode(data, size); }

TPngColour TPngImage::PixelColour(int x, int y) const {
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * static_cast<size_t>(PngChannels(FKind));
    switch (FKind) {
    case pkPalette: return FPalette[p[0]];
    case pkGrey:
    case pkGreyAlpha: return {p[0], p[0], p[0]};
    default: return {p[0], p[1], p[2]};
    }
}

uint8_t TPngImage::PixelAlpha(int x, int y) const {
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * static_cast<size_t>(PngChannels(FKind));
    switch (FKind) {
    case pkPalette: return FPaletteAlpha[p[0]];
    case pkGreyAlpha: return p[1];
    case pkRgba: return p[3];
    default: return 255;
    }
}
