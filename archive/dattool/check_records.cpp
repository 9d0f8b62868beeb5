// The records around the central directory: ZIP64 markers in and before the
// end record, and bytes between the directory and the end record, which the
// write-back overwrites.
#include "archive/dattool/check_parts.h"
#include "archive/dattool/dattool_texts.h"

namespace {

constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr int64_t kZip64LocatorSize = 20;

bool ReadAt(TStream& archive, int64_t offset, uint8_t* out, int64_t count) {
    if (offset < 0) return false;
    archive.SetPosition(offset);
    return archive.Read(out, count) == count;
}

bool EndRecordHasZip64Markers(TStream& archive, int64_t endRecord) {
    uint8_t fields[kEndRecordSize] = {};
    if (!ReadAt(archive, endRecord, fields, sizeof fields)) return false;
    TByteCursor in(fields + 4);
    for (int i = 0; i < 4; ++i) {
        if (in.U16() == 0xFFFF) return true;  // disk numbers and entry counts
    }
    if (in.U32() == 0xFFFFFFFF || in.U32() == 0xFFFFFFFF) return true;  // directory size and offset
    uint8_t locator[sizeof kZip64LocatorSignature] = {};
    return ReadAt(archive, endRecord - kZip64LocatorSize, locator, sizeof locator) &&
           TByteCursor(locator).U32() == kZip64LocatorSignature;
}

int64_t CentralDirectoryEnd(const TZipFile& zip) {
    int64_t end = zip.CentralDirectoryOffset();
    for (int i = 0; i < zip.FileCount(); ++i) {
        const TZipHeader h = zip.FileInfo(i);
        end += static_cast<int64_t>(kCentralHeaderSize) + h.FileNameLength + h.ExtraFieldLength + h.FileCommentLength;
    }
    return end;
}

}  // namespace

std::vector<UString> CheckRecords(TZipFile& zip, TStream& archive) {
    std::vector<UString> problems;
    const int64_t endRecord = zip.EndRecordPosition();
    if (endRecord < 0) return problems;
    if (EndRecordHasZip64Markers(archive, endRecord)) {
        problems.push_back(UString(kEndRecordZip64));
    }
    const int64_t directoryEnd = CentralDirectoryEnd(zip);
    if (directoryEnd < endRecord) {
        problems.push_back(Format(kBytesBeforeEndRecord, {Decimal(static_cast<uint64_t>(endRecord - directoryEnd))}));
    } else if (directoryEnd > endRecord) {
        problems.push_back(UString(kDirectoryIntoEndRecord));
    }
    return problems;
}
