// The ZIP records this container reads and writes back: single-disk archives
// without ZIP64, all values little-endian and unsigned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/streams.h"
#include "base/byte_cursor.h"

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
