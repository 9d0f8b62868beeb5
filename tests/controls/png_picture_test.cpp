#include "controls/png_picture.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "tests/controls/picture_files.h"
#include "tests/support/expect_raises.h"
#include "controls/controls_texts.h"

namespace {

struct TExpectedPixel {
    int X, Y;
    int Red, Green, Blue, Alpha;
};

// MadePng writes a PNG chunk by chunk, for layouts image tools will not
// write (an index past the palette's end) or that a check needs exactly.
// The chunks go between IHDR and IDAT; each row of samples (packed as the
// depth wants) gets filter 0.
using TChunk = std::pair<const char*, std::vector<uint8_t>>;
std::vector<uint8_t> MadePng(int colourType, int width, int height, const std::vector<uint8_t>& samples,
                             const std::vector<TChunk>& chunks, uint8_t depth = 8) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto bigEndian = [](uint32_t v) {
        return std::vector<uint8_t>{static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                                    static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    };
    auto put = [&](const char* type, const std::vector<uint8_t>& data) {
        const std::vector<uint8_t> size = bigEndian(static_cast<uint32_t>(data.size()));
        png.insert(png.end(), size.begin(), size.end());
        const size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        const std::vector<uint8_t> crc = bigEndian(static_cast<uint32_t>(
            crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
        png.insert(png.end(), crc.begin(), crc.end());
    };
    std::vector<uint8_t> header = bigEndian(static_cast<uint32_t>(width));
    const std::vector<uint8_t> h = bigEndian(static_cast<uint32_t>(height));
    header.insert(header.end(), h.begin(), h.end());
    header.insert(header.end(), {depth, static_cast<uint8_t>(colourType), 0, 0, 0});
    put("IHDR", header);
    for (const TChunk& c : chunks) put(c.first, c.second);
    std::vector<uint8_t> raw;
    const size_t rowBytes = samples.size() / static_cast<size_t>(height);
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), samples.begin() + static_cast<std::ptrdiff_t>(y * rowBytes),
                   samples.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    EXPECT_EQ(compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
    packed.resize(packedSize);
    put("IDAT", packed);
    put("IEND", {});
    return png;
}

TPngImage Loaded(const std::vector<uint8_t>& bytes) {
    TPngImage png;
    png.LoadFromBytes(bytes.data(), bytes.size());
    return png;
}

const std::vector<uint8_t> kGammaOne = {0, 1, 0x86, 0xA0};  // gAMA 100000: g = 1

void ExpectPixels(const TPngImage& png, const std::vector<TExpectedPixel>& pixels) {
    for (const TExpectedPixel& p : pixels) {
        SCOPED_TRACE(testing::Message() << "pixel " << p.X << "," << p.Y);
        const TPngColour c = png.PixelColour(p.X, p.Y);
        EXPECT_EQ(c.Red, p.Red);
        EXPECT_EQ(c.Green, p.Green);
        EXPECT_EQ(c.Blue, p.Blue);
        EXPECT_EQ(png.PixelAlpha(p.X, p.Y), p.Alpha);
    }
}

struct TDecodeCase {
    const char* file;
    int width, height;
    TPngColourKind kind;
    TPngTransparency mode;
    std::vector<TExpectedPixel> pixels;
};

// The test pictures as image tools made them, with what they decode to.
const TDecodeCase kDecodeCases[] = {
    {"rgba_3x2.png", 3, 2, pkRgba, ptPartial,
     {{0, 0, 255, 0, 0, 255}, {1, 0, 255, 255, 255, 128}, {2, 0, 0, 0, 255, 0}, {1, 1, 0, 255, 0, 1},
      {2, 1, 100, 150, 200, 254}}},
    {"rgb_2x2.png", 2, 2, pkRgb, ptNone, {{1, 0, 40, 50, 60, 255}, {0, 1, 70, 80, 90, 255}}},
    {"rgb_trns_2x2.png", 2, 2, pkRgb, ptOneColour, {{0, 0, 10, 20, 30, 255}, {1, 1, 40, 50, 60, 255}}},
    {"grey_alpha_2x1.png", 2, 1, pkGreyAlpha, ptPartial, {{0, 0, 200, 200, 200, 128}, {1, 0, 10, 10, 10, 255}}},
    {"palette_one_3x1.png", 3, 1, pkPalette, ptOneColour,
     {{0, 0, 250, 0, 0, 255}, {1, 0, 0, 250, 0, 0}, {2, 0, 0, 0, 250, 255}}},
    {"palette_partial_4x1.png", 4, 1, pkPalette, ptPartial,
     {{0, 0, 200, 100, 50, 255}, {1, 0, 255, 255, 255, 128}, {2, 0, 1, 2, 3, 0}, {3, 0, 9, 8, 7, 255}}},
    // The rest of the transparency-mode table: a palette whose tRNS has no
    // entry below 255 is partial, one without tRNS has none, grey with tRNS one colour.
    {"palette_trns_opaque_2x1.png", 2, 1, pkPalette, ptPartial, {{0, 0, 10, 20, 30, 255}, {1, 0, 40, 50, 60, 255}}},
    {"palette_plain_2x1.png", 2, 1, pkPalette, ptNone, {{0, 0, 10, 20, 30, 255}, {1, 0, 40, 50, 60, 255}}},
    {"grey_trns_2x1.png", 2, 1, pkGrey, ptOneColour, {{0, 0, 77, 77, 77, 255}, {1, 0, 200, 200, 200, 255}}},
    // 16-bit samples keep their high byte: #FFFF 0000 12F0 gives 255, 0, 0x12 (rounding would give 19).
    {"rgb16_2x1.png", 2, 1, pkRgb, ptNone, {{0, 0, 255, 0, 18, 255}, {1, 0, 255, 0, 18, 255}}},
    // 2-bit greys 0..3 widen to 0, 85, 170, 255.
    {"grey2_4x1.png", 4, 1, pkGrey, ptNone,
     {{0, 0, 0, 0, 0, 255}, {1, 0, 255, 255, 255, 255}, {2, 0, 170, 170, 170, 255}, {3, 0, 85, 85, 85, 255}}},
    // Interlaced: the values another decoder reads from the same file.
    {"interlaced_9x9.png", 9, 9, pkRgba, ptPartial,
     {{0, 0, 255, 0, 0, 0}, {8, 0, 255, 0, 0, 255}, {4, 4, 128, 0, 128, 127}, {3, 8, 0, 0, 255, 96},
      {8, 8, 0, 0, 255, 255}}},
};

TEST(PngDecode, FilesMadeByImageToolsDecodeToEightBitSamples) {
    for (const TDecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.file);
        const TPngImage png = LoadPng(c.file);
        ASSERT_EQ(png.Width(), c.width);
        ASSERT_EQ(png.Height(), c.height);
        EXPECT_FALSE(png.Empty());
        EXPECT_EQ(png.ColourKind(), c.kind);
        EXPECT_EQ(png.Transparency(), c.mode);
        EXPECT_EQ(png.Transparent(), c.mode != ptNone);
        ExpectPixels(png, c.pixels);
    }
}

TEST(PngDecode, TransparentColourComesFromTrnsOrTheOnePaletteEntry) {
    EXPECT_EQ(LoadPng("rgb_trns_2x2.png").TransparentColour(), 0x28323Cu);     // (40, 50, 60)
    EXPECT_EQ(LoadPng("palette_one_3x1.png").TransparentColour(), 0x00FA00u);  // entry 1, (0, 250, 0)
    EXPECT_EQ(LoadPng("grey_trns_2x1.png").TransparentColour(), 0x4D4D4Du);    // grey 77
    // A tRNS grey is brought to 8 bits as the samples are: 16 bits keep the high byte, 1 and 2 bits widen.
    const TPngImage oneColumn = Loaded(MadePng(0, 1, 2, {0x12, 0x34, 0x56, 0x78}, {{"tRNS", {0x12, 0x34}}}, 16));
    EXPECT_FALSE(oneColumn.Empty());
    EXPECT_EQ(oneColumn.TransparentColour(), 0x121212u);
    ExpectPixels(oneColumn, {{0, 1, 0x56, 0x56, 0x56, 255}});
    EXPECT_EQ(Loaded(MadePng(0, 4, 1, {0x1B}, {{"tRNS", {0, 1}}}, 2)).TransparentColour(), 0x555555u);
    EXPECT_EQ(Loaded(MadePng(0, 8, 1, {0x80}, {{"tRNS", {0, 1}}}, 1)).TransparentColour(), 0xFFFFFFu);
    // One palette entry below 255, the first: that entry is the transparent colour.
    const TPngImage first = Loaded(MadePng(3, 2, 1, {0, 1}, {{"PLTE", {10, 20, 30, 40, 50, 60}}, {"tRNS", {0}}}));
    EXPECT_EQ(first.Transparency(), ptOneColour);
    EXPECT_EQ(first.TransparentColour(), 0x0A141Eu);
    // An alpha of 254 is below 255 too.
    const TPngImage nearlyOpaque = Loaded(MadePng(3, 2, 1, {0, 1}, {{"PLTE", {10, 20, 30, 40, 50, 60}}, {"tRNS", {255, 254}}}));
    EXPECT_EQ(nearlyOpaque.Transparency(), ptOneColour);
    EXPECT_EQ(nearlyOpaque.TransparentColour(), 0x28323Cu);
}

TEST(PngDecode, GammaOnAPaletteMapsItsColoursAndLeavesItsAlphaAlone) {
    // Palette (64, 128, 200) alpha 128, (128, 1, 255) alpha 0, (0, 64, 128) alpha 64, gAMA 1.0.
    const TPngImage png = LoadPng("palette_gamma_3x1.png");
    EXPECT_EQ(png.Transparency(), ptPartial);
    ExpectPixels(png, {{0, 0, 136, 186, 228, 128}, {1, 0, 186, 21, 255, 0}, {2, 0, 0, 136, 186, 64}});
}

TEST(PngDecode, GammaChunkMapsColourSamples) {
    // gAMA 100000 (g = 1): s maps to Round(255 * (s / 255)^(1 / 2.2)):
    // 0 -> 0, 64 -> 136.03, 128 -> 186.42, 255 -> 255, 1 -> 20.54, 200 -> 228.34.
    const TPngImage png = LoadPng("gamma_2x1.png");
    ExpectPixels(png, {{0, 0, 0, 136, 186, 255}, {1, 0, 255, 21, 228, 255}});
    // Grey has one colour sample a pixel, each mapped once; its tRNS grey 65 maps with them (65 -> 137.0).
    const TPngImage grey = Loaded(MadePng(0, 2, 1, {128, 65}, {{"gAMA", kGammaOne}, {"tRNS", {0, 65}}}));
    EXPECT_EQ(grey.Transparency(), ptOneColour);
    ExpectPixels(grey, {{0, 0, 186, 186, 186, 255}, {1, 0, 137, 137, 137, 255}});
    EXPECT_EQ(grey.TransparentColour(), 0x898989u);
    // Alpha is never mapped.
    ExpectPixels(Loaded(MadePng(6, 1, 1, {64, 128, 200, 128}, {{"gAMA", kGammaOne}})), {{0, 0, 136, 186, 228, 128}});
}

TEST(PngDecode, FourBitGreysWidenAndFourBitIndexesUnpack) {
    // Greys 0..15 widen by 17; palette indexes are unpacked, never widened.
    ExpectPixels(Loaded(MadePng(0, 2, 1, {0x3F}, {}, 4)), {{0, 0, 51, 51, 51, 255}, {1, 0, 255, 255, 255, 255}});
    ExpectPixels(Loaded(MadePng(3, 2, 1, {0x10}, {{"PLTE", {10, 20, 30, 40, 50, 60}}}, 4)),
                 {{0, 0, 40, 50, 60, 255}, {1, 0, 10, 20, 30, 255}});
}

TEST(PngDecode, EveryIndexByteHasAPaletteEntry) {
    // An index past the PLTE chunk's one entry reads black and opaque.
    ExpectPixels(Loaded(MadePng(3, 2, 1, {0, 5}, {{"PLTE", {10, 20, 30}}})),
                 {{0, 0, 10, 20, 30, 255}, {1, 0, 0, 0, 0, 255}});
    // A full palette of 256 entries (entry i is grey i) with 256 tRNS alphas: index 255 has its own.
    std::vector<uint8_t> entries, alphas(256, 255);
    for (int i = 0; i < 256; ++i) entries.insert(entries.end(), 3, static_cast<uint8_t>(i));
    alphas[255] = 77;
    ExpectPixels(Loaded(MadePng(3, 2, 1, {255, 254}, {{"PLTE", entries}, {"tRNS", alphas}})),
                 {{0, 0, 255, 255, 255, 77}, {1, 0, 254, 254, 254, 255}});
}

TEST(PngDecode, GammaSampleKnownValues) {
    EXPECT_EQ(GammaSample(128, 1.0), 186);
    EXPECT_EQ(GammaSample(128, 1.0 / 2.2), 128);  // exponent 1: unchanged
    EXPECT_EQ(GammaSample(64, 0.45455), 64);      // the usual 1/2.2 chunk leaves samples alone
    EXPECT_EQ(GammaSample(128, 0.5 / 2.2), 64);   // exponent 2: 255 * (128/255)^2 = 64.25
    EXPECT_EQ(GammaSample(254, -1.0 / 2.2), 255);  // exponent -1: 255 * 255/254 rounds to 256, kept to 255
}

TEST(PngDecode, DamagedFilesRaiseTheDecodersMessage) {
    std::vector<uint8_t> good = PictureFile("rgba_3x2.png");
    struct Case { const char* name; std::vector<uint8_t> bytes; const char16_t* message; };
    std::vector<uint8_t> badCrc = good;
    badCrc[29] ^= 0xFF;  // the IHDR chunk's CRC
    std::vector<uint8_t> zeroWidth = good;
    zeroWidth[19] = 0;  // width 3 -> 0, with the chunk's CRC made right again
    const uLong crc = crc32(0, zeroWidth.data() + 12, 17);
    for (int i = 0; i < 4; ++i) zeroWidth[static_cast<size_t>(29 + i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    std::vector<uint8_t> badEnd = good;
    badEnd.back() ^= 0xFF;  // the IEND chunk's CRC, after the image data
    const Case cases[] = {
        {"damaged after the image data", badEnd, u"IEND: CRC error"},
        {"not a PNG file", {'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0}, u"Not a PNG file"},
        {"empty", {}, u"PNG data ends too early"},
        {"cut inside the image data", std::vector<uint8_t>(good.begin(), good.begin() + 50), u"PNG data ends too early"},
        {"header checksum", badCrc, u"IHDR: CRC error"},
        {"zero width", zeroWidth, u"Invalid IHDR data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPngImage png;
        // The message comes only by the exception: libpng's own handler, run
        // when ours returns, would also write it to stderr.
        testing::internal::CaptureStderr();
        ExpectRaises<EInvalidGraphic>([&] { png.LoadFromBytes(c.bytes.data(), c.bytes.size()); }, c.message);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(png.Empty());
    }
}

TEST(PngDecode, SidesOfUpTo32767PixelsAreTaken) {
    EXPECT_EQ(Loaded(MadePng(0, 32767, 1, std::vector<uint8_t>(32767, 7), {})).Width(), 32767);
    for (const auto& [w, h] : {std::pair{32768, 1}, std::pair{1, 32768}}) {
        TPngImage png;
        const std::vector<uint8_t> bytes = MadePng(0, w, h, std::vector<uint8_t>(32768, 7), {});
        ExpectRaises<EInvalidGraphic>([&] { png.LoadFromBytes(bytes.data(), bytes.size()); }, u"Invalid IHDR data");
    }
}

TEST(PngDecode, FailedLoadKeepsThePreviousPicture) {
    TPngImage png = LoadPng("rgb_2x2.png");
    const uint8_t junk[] = {1, 2, 3};
    EXPECT_THROW(png.LoadFromBytes(junk, sizeof junk), EInvalidGraphic);
    EXPECT_EQ(png.Width(), 2);
    ExpectPixels(png, {{1, 0, 40, 50, 60, 255}});
}

}  // namespace
