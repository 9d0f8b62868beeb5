// The ZIP records this container reads and writes back: single-disk archives
// without ZIP64, all values little-endian and unsigned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/streams.h"

enum TZipMode : uint8_t { zmClosed, zmRead, zmReadWrite, zmWrite };

using TZipCompression = uint8_t;

inline constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
inline constexpr uint32_t kEndRecordSignature = 0x06054B50;

inline constexpr size_t kCentralHeaderSize = 46;  // without name, extra field and comment
inline constexpr size_t kLocalHeaderSize = 30;    // without name and extra field
inline constexpr size_t kEndRecordSize = 22;      // without comment

inline constexpr uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr uint16_t kFlagUtf8Names = 0x0800;

// TZipHeader is one entry as read from its central record (or, for Read, its
// local header, where the central-only fields are zero or empty).
struct TZipHeader {
    uint16_t MadeByVersion = 0;
    uint16_t RequiredVersion = 0;
    uint16_t Flag = 0;
    uint16_t CompressionMethod = 0;
    uint32_t ModifiedDateTime = 0;
    uint32_t CRC32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FileNameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    uint32_t LocalHeaderOffset = 0;
    TBytes FileName;
    TBytes ExtraField;
    TBytes FileComment;
};

// TByteCursor reads little-endian fields from a record's fixed part in layout order.
class TByteCursor {
public:
    explicit TByteCursor(const uint8_t* bytes) : FBytes(bytes) {}
    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(FBytes[FAt] | FBytes[FAt + 1] << 8);
        FAt += 2;
        return v;
    }
    uint32_t U32() {
        const uint32_t v = static_cast<uint32_t>(FBytes[FAt]) | static_cast<uint32_t>(FBytes[FAt + 1]) << 8 |
                           static_cast<uint32_t>(FBytes[FAt + 2]) << 16 | static_cast<uint32_t>(FBytes[FAt + 3]) << 24;
        FAt += 4;
        return v;
    }
    size_t Offset() const { return FAt; }

private:
    const uint8_t* FBytes;  // we don't own it
    size_t FAt = 0;
};

// PutU16 and PutU32 append little-endian fields.
inline void PutU16(TBytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(TBytes& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

// PutSharedHeaderFields appends the fields that a local header and a central
// record hold in the same order: RequiredVersion to ExtraFieldLength.
inline void PutSharedHeaderFields(TBytes& out, const TZipHeader& h) {
    PutU16(out, h.RequiredVersion);
    PutU16(out, h.Flag);
    PutU16(out, h.CompressionMethod);
    PutU32(out, h.ModifiedDateTime);
    PutU32(out, h.CRC32);
    PutU32(out, h.CompressedSize);
    PutU32(out, h.UncompressedSize);
    PutU16(out, h.FileNameLength);
    PutU16(out, h.ExtraFieldLength);
}
