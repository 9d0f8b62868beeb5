#include "toolkit/icon_file.h"

#include "base/base_texts.h"
#include "base/byte_cursor.h"
#include "toolkit/toolkit_texts.h"

namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kEntrySize = 16;
constexpr uint16_t kIconType = 1;

[[noreturn]] void InvalidIcon() { throw EReadError(UString(kCannotReadIcon)); }

TIconDirectoryEntry ReadEntry(TByteCursor& cursor) {
    const uint8_t width = cursor.U8();
    // Height, colour count, reserved byte, planes and bits per pixel: the system reads them from the image.
    cursor.Skip(7);
    const uint32_t length = cursor.U32();
    const uint32_t offset = cursor.U32();
    return {width == 0 ? 256 : int(width), length, offset};
}

}  // namespace

std::vector<TIconDirectoryEntry> ReadIconDirectory(const std::vector<uint8_t>& file) {
    if (file.size() < kHeaderSize) InvalidIcon();
    TByteCursor cursor(file.data());
    const uint16_t reserved = cursor.U16();
    const uint16_t type = cursor.U16();
    if (reserved != 0 || type != kIconType) InvalidIcon();
    const uint16_t count = cursor.U16();
    if (file.size() < kHeaderSize + kEntrySize * count) InvalidIcon();
    std::vector<TIconDirectoryEntry> entries;
    entries.reserve(count);
    for (unsigned i = 0; i < count; ++i) entries.push_back(ReadEntry(cursor));
    return entries;
}

size_t ClosestIconImage(const std::vector<TIconDirectoryEntry>& entries, int size) {
    size_t best = 0;
    int bestSize = entries.front().Width;
    // Once an exact width is found it stays; otherwise a width up to size
    // beats a smaller one, and any width beats one that is too large.
    for (size_t i = 1; i < entries.size() && bestSize != size; ++i) {
        const int width = entries[i].Width;
        const bool better = width == size || (width > bestSize && width <= size) || (bestSize > size && width < bestSize);
        if (better) {
            best = i;
            bestSize = width;
        }
    }
    return best;
}

TIconDirectoryEntry IconImageFor(const std::vector<uint8_t>& file, int size) {
    const std::vector<TIconDirectoryEntry> entries = ReadIconDirectory(file);
    if (entries.empty()) InvalidIcon();
    const TIconDirectoryEntry image = entries[ClosestIconImage(entries, size)];
    if (uint64_t(image.Offset) + image.Length > file.size()) InvalidIcon();
    return image;
}
