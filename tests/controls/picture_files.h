// Reads the PNG pictures of tests/data (made by tests/data/make_pictures.sh).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/png_picture.h"
#include "tests/controls/pixel_test_support.h"

inline std::vector<uint8_t> PictureFile(const std::string& name) {
    std::ifstream in(std::string(KELVO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing test picture " << name;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline TPngImage LoadPng(const std::string& name) {
    const std::vector<uint8_t> bytes = PictureFile(name);
    TPngImage png;
    png.LoadFromBytes(bytes.data(), bytes.size());
    return png;
}

// Known answers, the same on every surface: the colours (alpha read as 0) of
// a test picture drawn over one colour.

// rgba_3x2.png at its own size over black: 128 of 255 over 0 gives 128.
inline const TRgbaRows kRgbaOverBlack = {
    {{255, 0, 0, 0}, {128, 128, 128, 0}, {0, 0, 0, 0}},
    {{0, 0, 0, 0}, {0, 1, 0, 0}, {100, 149, 199, 0}},  // alpha 254: 25527 div 255 = 100, ...
};

// palette_partial_4x1.png at its own size over (200, 200, 200).
inline const TRgbaRows kPalettePartialOverGrey = {{{200, 100, 50, 0}, {227, 227, 227, 0}, {200, 200, 200, 0}, {9, 8, 7, 0}}};

// rgb_2x2.png drawn into (1, 0)-(5, 4) of a 5 x 4 surface of (1, 2, 3): each pixel doubled.
inline const TRgbaRows kRgbDoubledFromColumnOne = [] {
    const TRgba ground = {1, 2, 3, 0}, p00 = {10, 20, 30, 0}, p10 = {40, 50, 60, 0}, p01 = {70, 80, 90, 0},
                p11 = {255, 255, 255, 0};
    const std::vector<TRgba> top = {ground, p00, p00, p10, p10}, bottom = {ground, p01, p01, p11, p11};
    return TRgbaRows{top, top, bottom, bottom};
}();
