#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/base_texts.h"
#include "base/byte_cursor.h"
#include "tests/support/expect_raises.h"
#include "toolkit/icon_file.h"
#include "toolkit/toolkit_texts.h"

namespace {

struct TImage {
    uint8_t Width;  // 0 stands for 256
    uint32_t Length;
    uint32_t Offset;
};

// IconFile lays out a header and a directory for images; the images' bytes
// are zeros up to size (the file's length), which the parser never reads.
std::vector<uint8_t> IconFile(const std::vector<TImage>& images, size_t size, uint16_t type = 1) {
    std::vector<uint8_t> file;
    PutU16(file, 0);
    PutU16(file, type);
    PutU16(file, uint16_t(images.size()));
    for (const TImage& image : images) {
        file.push_back(image.Width);
        file.push_back(image.Width);  // height
        file.push_back(0);            // colour count
        file.push_back(0);            // reserved
        PutU16(file, 1);              // planes
        PutU16(file, 32);             // bits per pixel
        PutU32(file, image.Length);
        PutU32(file, image.Offset);
    }
    if (file.size() < size) file.resize(size);
    return file;
}

void ExpectInvalidIcon(const std::vector<uint8_t>& file, int size = 32) {
    ExpectRaises<EReadError>([&] { IconImageFor(file, size); }, UString(kCannotReadIcon));
}

}  // namespace

TEST(ReadIconDirectory, ReadsEveryEntryInFileOrder) {
    const auto file = IconFile({{16, 100, 38}, {0, 200, 138}}, 338);
    const std::vector<TIconDirectoryEntry> entries = ReadIconDirectory(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Width, 16);
    EXPECT_EQ(entries[0].Length, 100u);
    EXPECT_EQ(entries[0].Offset, 38u);
    EXPECT_EQ(entries[1].Width, 256);  // a width byte of 0
    EXPECT_EQ(entries[1].Length, 200u);
    EXPECT_EQ(entries[1].Offset, 138u);
    EXPECT_TRUE(ReadIconDirectory(IconFile({}, 6)).empty());           // the header alone: no entries
    EXPECT_EQ(ReadIconDirectory(IconFile({{32, 10, 22}}, 0)).size(), 1u);  // the directory ends the file
}

TEST(ReadIconDirectory, ReadsFieldsLittleEndian) {
    const auto file = IconFile({{48, 0x00012345, 0x00000016}}, 0x12345 + 0x16);
    const std::vector<TIconDirectoryEntry> entries = ReadIconDirectory(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Length, 0x00012345u);
    EXPECT_EQ(entries[0].Offset, 0x16u);
}

TEST(ReadIconDirectory, RaisesForHeadersThatAreNoIconFile) {
    struct Case { const char* name; std::vector<uint8_t> file; };
    auto reservedSet = IconFile({}, 6);
    reservedSet[0] = 1;
    const Case cases[] = {
        {"empty", {}},
        {"shorter than the header", {0, 0, 1, 0, 0}},
        {"a cursor file (type 2)", IconFile({}, 6, 2)},
        {"type 0", IconFile({}, 6, 0)},
        {"reserved field not zero", reservedSet},
        {"directory cut short", [] {
             auto file = IconFile({{32, 10, 22}}, 0);
             file.pop_back();
             return file;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRaises<EReadError>([&] { ReadIconDirectory(c.file); }, UString(kCannotReadIcon));
    }
}

TEST(ClosestIconImage, PrefersTheExactWidthThenTheLargestBelowThenTheSmallestAbove) {
    struct Case { const char* name; std::vector<int> widths; int size; size_t expected; };
    const Case cases[] = {
        {"exact width", {16, 32, 48}, 32, 1},
        {"the first exact width stays", {32, 16, 32}, 32, 0},
        {"largest below the size", {16, 24, 48}, 32, 1},
        {"the first of equal widths below", {24, 16, 24}, 32, 0},
        {"smallest above when none fits", {256, 64, 48}, 32, 2},
        {"the first of equal widths above", {64, 64}, 32, 0},
        {"one below beats any above", {64, 16, 48}, 32, 1},
        {"a larger one after the best below does not win", {24, 64}, 32, 0},
        {"a single image", {256}, 16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TIconDirectoryEntry> entries;
        for (int width : c.widths) entries.push_back({width, 0, 0});
        EXPECT_EQ(ClosestIconImage(entries, c.size), c.expected);
    }
}

TEST(IconImageFor, GivesThePickedImageInsideTheFile) {
    const auto file = IconFile({{16, 100, 38}, {32, 200, 138}}, 338);
    const TIconDirectoryEntry big = IconImageFor(file, 32);
    EXPECT_EQ(big.Width, 32);
    EXPECT_EQ(big.Offset, 138u);
    EXPECT_EQ(big.Length, 200u);  // ends exactly at the file's end
    const TIconDirectoryEntry small = IconImageFor(file, 16);
    EXPECT_EQ(small.Offset, 38u);
}

TEST(IconImageFor, RaisesForImagesOutsideTheFile) {
    ExpectInvalidIcon(IconFile({{32, 201, 138}}, 338));                // one byte past the end
    ExpectInvalidIcon(IconFile({{32, 1, 338}}, 338));                  // starts at the end
    ExpectInvalidIcon(IconFile({{32, 0x20, 0xFFFFFFF0}}, 338));  // the end would wrap to 0x10 in 32 bits
    ExpectInvalidIcon(IconFile({{32, 16, 0x80000000}}, 338));
}

TEST(IconImageFor, OnlyThePickedImageMustLieInsideTheFile) {
    const auto file = IconFile({{16, 100, 1000}, {32, 100, 38}}, 138);
    EXPECT_EQ(IconImageFor(file, 32).Offset, 38u);
    ExpectInvalidIcon(file, 16);
}

TEST(IconImageFor, RaisesForAFileWithoutImages) { ExpectInvalidIcon(IconFile({}, 6)); }
