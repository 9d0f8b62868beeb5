// Each entry's records and data, read the way extraction reads them: the
// method, the local header, where the data lies, the data itself with its
// sizes and checksum, and ZIP64 markers the run does not read.
#include <zlib.h>

#include <algorithm>

#include "archive/dattool/check_parts.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "base/exception.h"

namespace {

constexpr uint16_t kZip64ExtraId = 0x0001;

bool HasExtraBlock(const TBytes& extra, uint16_t id) {
    for (size_t at = 0; at + 4 <= extra.size();) {
        TByteCursor in(extra.data() + at);
        if (in.U16() == id) return true;
        at += 4 + in.U16();
    }
    return false;
}

class TEntryChecker {
public:
    TEntryChecker(TZipFile& zip, TStream& archive, int index, std::vector<UString>& problems)
        : FZip(zip), FArchive(archive), FIndex(index), FHeader(zip.FileInfo(index)), FProblems(problems) {}

    void Run() {
        if ((FHeader.Flag & 1) != 0) FProblems.push_back(UString(kEncrypted));
        CheckZip64(FHeader, kHasZip64Markers);
        if (FindDecompressor(static_cast<TZipCompression>(FHeader.CompressionMethod)) == nullptr) {
            FProblems.push_back(Format(kUnknownMethod, {Decimal(FHeader.CompressionMethod), kItemNotFound}));
            return;
        }
        if (static_cast<int64_t>(FHeader.LocalHeaderOffset) + static_cast<int64_t>(kLocalHeaderSize) > FArchive.Size()) {
            FProblems.push_back(UString(kLocalHeaderPastEnd));
            return;
        }
        try {
            CheckData();
        } catch (const Exception& error) {  // a pre-flight reports and goes on to the next entry
            FProblems.push_back(Format(kRunStopsHere, {error.Message()}));
        }
    }

private:
    // CheckZip64 looks at a central record or a local header (whose offset and disk are zero).
    void CheckZip64(const TZipHeader& h, UStringView what) {
        const bool escaped = h.CompressedSize == 0xFFFFFFFF || h.UncompressedSize == 0xFFFFFFFF ||
                             h.LocalHeaderOffset == 0xFFFFFFFF || h.DiskNumberStart == 0xFFFF;
        if (escaped || HasExtraBlock(h.ExtraField, kZip64ExtraId)) {
            FProblems.push_back(Format(kNotReadByRun, {what}));
        }
    }

    void CheckData() {
        std::unique_ptr<TStream> data;
        TZipHeader local;
        FZip.Read(FIndex, data, local);
        CheckLocalHeader(local);
        TBytes buffer(std::min<size_t>(FHeader.UncompressedSize, kCopyBufferSize));
        uLong crc = crc32(0L, Z_NULL, 0);
        for (uint32_t remaining = FHeader.UncompressedSize; remaining > 0;) {
            const uint32_t piece = std::min<uint32_t>(remaining, kCopyBufferSize);
            data->ReadBuffer(buffer.data(), piece);
            crc = crc32(crc, buffer.data(), piece);
            remaining -= piece;
        }
        if (static_cast<uint32_t>(crc) != FHeader.CRC32) FProblems.push_back(UString(kWrongChecksum));
        CheckSizes(*data);
    }

    void CheckLocalHeader(const TZipHeader& local) {
        if (local.FileName != FHeader.FileName) FProblems.push_back(UString(kLocalOtherName));
        if (local.CompressionMethod != FHeader.CompressionMethod) {
            FProblems.push_back(Format(kLocalOtherMethod, {Decimal(local.CompressionMethod)}));
        }
        const bool descriptor = (local.Flag & kFlagDataDescriptor) != 0;
        if (!descriptor && (local.CRC32 != FHeader.CRC32 || local.CompressedSize != FHeader.CompressedSize ||
                            local.UncompressedSize != FHeader.UncompressedSize)) {
            FProblems.push_back(UString(kLocalOtherSizes));
        }
        CheckZip64(local, kLocalHasZip64Markers);
        const int64_t dataStart = static_cast<int64_t>(FHeader.LocalHeaderOffset) + static_cast<int64_t>(kLocalHeaderSize) +
                                  local.FileNameLength + local.ExtraFieldLength;
        const int64_t dataEnd = dataStart + FHeader.CompressedSize;
        if (dataStart > FArchive.Size()) FProblems.push_back(UString(kLocalRunsPastEnd));
        else if (dataEnd > FArchive.Size()) FProblems.push_back(UString(kDataPastEnd));
        else if (dataEnd > FZip.CentralDirectoryOffset()) FProblems.push_back(UString(kDataIntoDirectory));
    }

    void CheckSizes(TStream& data) {
        auto* inflated = dynamic_cast<TZDecompressionStream*>(&data);
        if (inflated == nullptr) {
            if (FHeader.CompressedSize != FHeader.UncompressedSize) FProblems.push_back(UString(kStoredTwoSizes));
            return;
        }
        uint8_t probe = 0;
        if (inflated->Read(&probe, sizeof probe) != 0) {
            FProblems.push_back(UString(kMoreDataThanRecorded));
        } else if (!inflated->Ended()) {
            FProblems.push_back(UString(kDeflateDoesNotEnd));
        } else if (inflated->Consumed() != static_cast<int64_t>(FHeader.CompressedSize)) {
            FProblems.push_back(UString(kWrongCompressedSize));
        }
    }

    TZipFile& FZip;
    TStream& FArchive;  // we don't own it
    int FIndex;
    TZipHeader FHeader;
    std::vector<UString>& FProblems;  // we don't own it
};

}  // namespace

void CheckEntry(TZipFile& zip, TStream& archive, int index, std::vector<UString>& problems) {
    TEntryChecker(zip, archive, index, problems).Run();
}
