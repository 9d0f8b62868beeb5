// Reads the PNG pictures of tests/data (made by tests/data/make_pictures.sh).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/png_picture.h"

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
