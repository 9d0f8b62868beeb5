#include "archive/streams.h"

#include <algorithm>
#include <cstring>

#include "archive/zip_texts.h"
#include "base/base_texts.h"

int64_t TStream::PositionAfterSeek(int64_t current, int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? current : Size();
    return std::max<int64_t>(0, base + offset);
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int64_t got = Read(out, count);
        if (got <= 0) throw EReadError(UString(kStreamReadError));
        out += got;
        count -= got;
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError(UString(kStreamWriteError));
}

int64_t TBytesStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || FPosition >= size) return 0;
    const int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TBytesStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const auto end = static_cast<size_t>(FPosition + count);
    if (end > FBytes.size()) FBytes.resize(end);
    std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition += count;
    return count;
}

int64_t TBytesStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = PositionAfterSeek(FPosition, offset, origin);
    return FPosition;
}
