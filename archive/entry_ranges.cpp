#include "archive/entry_ranges.h"

#include <algorithm>
#include <vector>

#include "archive/zip_file.h"
#include "archive/zip_texts.h"

namespace {

struct TSpan {
    int64_t Start;
    int64_t End;  // one past the last byte
    int Index;
};

}  // namespace

void CheckNoEntriesOverlap(TZipFile& zip) {
    std::vector<TSpan> spans;
    spans.reserve(static_cast<size_t>(zip.FileCount()));
    for (int i = 0; i < zip.FileCount(); ++i) {
        const int64_t headerSize = zip.LocalHeaderSize(i);
        if (headerSize < 0) continue;
        const TZipHeader entry = zip.FileInfo(i);
        const uint32_t dataSize = entry.CompressionMethod == 0 ? entry.UncompressedSize : entry.CompressedSize;
        const auto start = static_cast<int64_t>(entry.LocalHeaderOffset);
        spans.push_back({start, start + headerSize + dataSize, i});
    }
    std::sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) { return a.Start < b.Start; });
    for (size_t i = 1; i < spans.size(); ++i) {
        const TSpan& before = spans[i - 1];
        if (spans[i].Start < before.End) {
            const int first = std::min(before.Index, spans[i].Index);
            const int second = std::max(before.Index, spans[i].Index);
            throw EZipException(Format(kEntriesOverlap, {zip.FileName(first), zip.FileName(second)}));
        }
    }
}
