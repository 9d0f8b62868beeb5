// The icon file a window definition carries (Icon.Data): a header, a directory
// of images and the images' bytes. Choosing the image for a size is portable;
// making the system's icon of it is the form's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// TIconDirectoryEntry is one image of the file as the directory lists it.
struct TIconDirectoryEntry {
    int Width;        // in pixels; the file's 0 stands for 256
    uint32_t Length;  // the image's bytes
    uint32_t Offset;  // from the start of the file
};

// ReadIconDirectory reads the header (reserved 0, type 1 for icons, the image
// count) and the 16-byte entries after it. It raises EReadError with the
// icon-data text for a file too short for them or of another type.
std::vector<TIconDirectoryEntry> ReadIconDirectory(const std::vector<uint8_t>& file);

// ClosestIconImage picks the entry whose width fits size best: an exact width,
// else the first of the largest below size, else the smallest above it.
// entries must not be empty.
size_t ClosestIconImage(const std::vector<TIconDirectoryEntry>& entries, int size);

// IconImageFor is the entry of file that ClosestIconImage picks for size, its
// bytes checked to lie inside the file. A file without images, or an image
// beyond the file's end, raises EReadError with the icon-data text.
TIconDirectoryEntry IconImageFor(const std::vector<uint8_t>& file, int size);
