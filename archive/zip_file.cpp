#include "archive/zip_file.h"

#include <algorithm>
#include <cstring>

#include "archive/entry_names.h"
#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "base/finally.h"

namespace {

[[noreturn]] void RaiseReadError() { throw EZipException(UString(kZipReadError)); }

// TChunkReader serves the central records from 64 KiB reads of the archive
// instead of one system call per field; what it reports is the same: a record
// that the stream cannot supply whole is a short read.
class TChunkReader {
public:
    explicit TChunkReader(TStream& stream) : FStream(stream), FBuffer(65536) {}

    // Take copies count bytes, or returns false when the stream ends first.
    bool Take(uint8_t* out, size_t count) {
        while (count > 0) {
            if (FAt == FEnd && !Refill()) return false;
            const size_t n = std::min(count, FEnd - FAt);
            std::memcpy(out, FBuffer.data() + FAt, n);
            FAt += n;
            out += n;
            count -= n;
        }
        return true;
    }

    void TakeBytes(TBytes& out, size_t count) {
        out.resize(count);
        if (count > 0 && !Take(out.data(), count)) RaiseReadError();
    }

private:
    bool Refill() {
        const int64_t got = FStream.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
        FAt = 0;
        FEnd = got > 0 ? static_cast<size_t>(got) : 0;
        return FEnd > 0;
    }

    TStream& FStream;  // we don't own it
    TBytes FBuffer;
    size_t FAt = 0;
    size_t FEnd = 0;
};

TZipHeader ParseCentralFixedPart(const uint8_t* fixed) {
    TByteCursor in(fixed);
    TZipHeader h;
    h.MadeByVersion = in.U16();
    h.RequiredVersion = in.U16();
    h.Flag = in.U16();
    h.CompressionMethod = in.U16();
    h.ModifiedDateTime = in.U32();
    h.CRC32 = in.U32();
    h.CompressedSize = in.U32();
    h.UncompressedSize = in.U32();
    h.FileNameLength = in.U16();
    h.ExtraFieldLength = in.U16();
    h.FileCommentLength = in.U16();
    h.DiskNumberStart = in.U16();
    h.InternalAttributes = in.U16();
    h.ExternalAttributes = in.U32();
    h.LocalHeaderOffset = in.U32();
    return h;
}

// ReadAtMost reads up to count bytes at offset; bytes the stream lacks are left
// as they were (both callers hand it zeros).
void ReadAtMost(TStream& stream, int64_t offset, uint8_t* out, size_t count) {
    stream.SetPosition(offset);
    size_t done = 0;
    while (done < count) {
        const int64_t got = stream.Read(out + done, static_cast<int64_t>(count - done));
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
}

}  // namespace

TZipFile::~TZipFile() {
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; Close has closed the handle already.
    }
}

void TZipFile::Open(const UString& zipFileName, TZipMode openMode) {
    Close();
    if (openMode == zmClosed) throw EZipException(UString(kInvalidArgument));
    auto file = std::make_unique<TFileStream>(zipFileName, openMode == zmRead ? faRead : faReadWrite,
                                              openMode == zmWrite ? fdCreateAlways : fdOpenExisting);
    Open(*file, openMode);  // on failure the unique_ptr closes the handle
    FFileStream = std::move(file);
}

void TZipFile::Open(TStream& zipFileStream, TZipMode openMode) {
    Close();
    if (openMode == zmClosed) throw EZipException(UString(kInvalidArgument));
    if (openMode == zmRead && zipFileStream.Size() == 0) throw EZipException(UString(kStreamReadError));
    FStream = &zipFileStream;
    FStartFileData = zipFileStream.Position();
    if (openMode == zmRead || openMode == zmReadWrite) {
        try {
            ReadCentralDirectory();
        } catch (...) {
            FStream = nullptr;  // a failed open holds no stream
            throw;
        }
    }
    FMode = openMode;  // last: a failed open leaves the container closed
}

void TZipFile::ReadCentralDirectory() {
    FFiles.clear();
    if (FStream->Size() == 0) return;  // an empty file is an archive without entries
    uint32_t entryCount = 0;
    ReadEndRecord(entryCount);
    // The central-directory offset is used as it stands, without the start position.
    FStream->SetPosition(FEndFileData);
    TChunkReader reader(*FStream);
    // Each record takes at least 46 bytes: a damaged count cannot reserve more than the stream holds.
    FFiles.reserve(static_cast<size_t>(std::min<int64_t>(entryCount, FStream->Size() / static_cast<int64_t>(kCentralHeaderSize))));
    for (uint32_t i = 0; i < entryCount; ++i) {
        uint8_t fixed[kCentralHeaderSize];
        if (!reader.Take(fixed, 4)) RaiseReadError();
        if (TByteCursor(fixed).U32() != kCentralHeaderSignature) throw EZipException(UString(kBadCentralHeader));
        if (!reader.Take(fixed + 4, kCentralHeaderSize - 4)) RaiseReadError();
        TZipHeader header = ParseCentralFixedPart(fixed + 4);
        reader.TakeBytes(header.FileName, header.FileNameLength);
        reader.TakeBytes(header.ExtraField, header.ExtraFieldLength);
        reader.TakeBytes(header.FileComment, header.FileCommentLength);
        if ((header.Flag & kFlagUtf8Names) == 0) FUTF8Support = false;  // never set back to true
        FFiles.push_back(std::move(header));
    }
}

void TZipFile::ReadEndRecord(uint32_t& entryCount) {
    // Only the last 65,535 bytes are searched. Windows of 1,027 bytes overlap by
    // 4, so a signature on the border between two lies whole in the farther one.
    const int64_t size = FStream->Size();
    const int64_t range = std::min<int64_t>(size, 65535);
    uint8_t window[1027];
    int64_t distance = 4;
    int64_t endRecord = -1;
    while (distance < range && endRecord < 0) {
        distance = std::min<int64_t>(distance + 1023, range);
        const auto count = static_cast<size_t>(std::min<int64_t>(1027, distance));
        FStream->SetPosition(size - distance);
        if (FStream->Read(window, static_cast<int64_t>(count)) != static_cast<int64_t>(count)) RaiseReadError();
        for (auto at = static_cast<int64_t>(count) - 4; at >= 0; --at) {  // nearest to the end wins
            if (TByteCursor(window + at).U32() == kEndRecordSignature) {
                endRecord = size - distance + at;
                break;
            }
        }
    }
    if (endRecord < 0) RaiseReadError();
    FEndRecordPosition = endRecord;
    uint8_t fields[kEndRecordSize - 4] = {};
    ReadAtMost(*FStream, endRecord + 4, fields, sizeof fields);
    TByteCursor in(fields);
    in.U16();  // this disk
    in.U16();  // disk where the central directory starts
    in.U16();  // entries on this disk
    entryCount = in.U16();
    in.U32();  // central-directory size
    const uint32_t centralOffset = in.U32();
    // The central directory lies before its end record. An offset beyond it is
    // damage, and the write-back would grow the archive up to it (zeros up to
    // 4 GB) or overwrite bytes that are not the central directory.
    if (centralOffset > endRecord) RaiseReadError();
    FEndFileData = centralOffset;
    const uint16_t commentLength = in.U16();
    FComment.assign(commentLength, 0);
    if (commentLength > 0) ReadAtMost(*FStream, endRecord + 22, FComment.data(), commentLength);
}

void TZipFile::Read(int index, std::unique_ptr<TStream>& stream, TZipHeader& localHeader) {
    RequireOpenForReading();
    if (index < 0 || index >= FileCount()) throw EZipException(UString(kFileNotFound));
    const int64_t dataStart = ReadLocalHeader(index, localHeader);
    if (dataStart < 0) throw EZipException(UString(kBadLocalHeader));
    FStream->SetPosition(dataStart);
    const TZipHeader& central = FFiles[static_cast<size_t>(index)];
    const TStreamConstructor* factory = FindDecompressor(static_cast<TZipCompression>(central.CompressionMethod));
    if (factory == nullptr) throw EListError(UString(kItemNotFound));
    stream = (*factory)(*FStream, *this, localHeader);
}

int64_t TZipFile::LocalHeaderSize(int index) {
    RequireOpenForReading();
    if (index < 0 || index >= FileCount()) throw EZipException(UString(kFileNotFound));
    TZipHeader localHeader;
    const int64_t start = ReadLocalFixedPart(index, localHeader);  // -1 for a wrong signature
    return start < 0 ? start : static_cast<int64_t>(kLocalHeaderSize) + localHeader.FileNameLength + localHeader.ExtraFieldLength;
}

int64_t TZipFile::ReadLocalHeader(int index, TZipHeader& localHeader) {
    const int64_t start = ReadLocalFixedPart(index, localHeader);
    if (start < 0) return start;
    localHeader.FileName.assign(localHeader.FileNameLength, 0);
    localHeader.ExtraField.assign(localHeader.ExtraFieldLength, 0);
    FStream->SetPosition(start + static_cast<int64_t>(kLocalHeaderSize));
    if (localHeader.FileNameLength > 0) FStream->Read(localHeader.FileName.data(), localHeader.FileNameLength);
    if (localHeader.ExtraFieldLength > 0) FStream->Read(localHeader.ExtraField.data(), localHeader.ExtraFieldLength);
    // The data starts after the local name and extra field; the central lengths play no part.
    return start + static_cast<int64_t>(kLocalHeaderSize) + localHeader.FileNameLength + localHeader.ExtraFieldLength;
}

// ReadLocalFixedPart reads the 30 bytes of entry index's local header before
// its name (all a size needs) and gives where the header starts, or -1 when
// its signature is wrong.
int64_t TZipFile::ReadLocalFixedPart(int index, TZipHeader& localHeader) {
    localHeader = TZipHeader{};
    const TZipHeader& central = FFiles[static_cast<size_t>(index)];
    const int64_t start = static_cast<int64_t>(central.LocalHeaderOffset) + FStartFileData;
    FStream->SetPosition(start);
    uint8_t fixed[kLocalHeaderSize] = {};
    FStream->Read(fixed, kLocalHeaderSize);  // not checked for completeness: missing bytes read as zero
    TByteCursor in(fixed);
    if (in.U32() != kLocalHeaderSignature) return -1;
    localHeader.RequiredVersion = in.U16();
    localHeader.Flag = in.U16();
    localHeader.CompressionMethod = in.U16();
    localHeader.ModifiedDateTime = in.U32();
    localHeader.CRC32 = in.U32();
    localHeader.CompressedSize = in.U32();
    localHeader.UncompressedSize = in.U32();
    localHeader.FileNameLength = in.U16();
    localHeader.ExtraFieldLength = in.U16();
    return start;
}

void TZipFile::RequireOpenForReading() const {
    if (FMode != zmRead && FMode != zmReadWrite) throw EZipException(UString(kNotOpenForReading));
}

// Each name is decoded by its own record's bit 11. Tools such as 7-Zip and
// Python's zipfile flag only the names that need it, so one plain ASCII name
// must not turn a flagged Persian name into code page 437.
UString TZipFile::FileName(int index) const {
    const TZipHeader& header = FFiles.at(static_cast<size_t>(index));
    return DecodeEntryName(header.FileName, (header.Flag & kFlagUtf8Names) != 0);
}

void TZipFile::Close() {
    TryFinally(
        [&] {
            if (FMode == zmReadWrite || FMode == zmWrite) WriteBack();
        },
        [&] {
            FMode = zmClosed;
            FFiles.clear();
            FStream = nullptr;
            std::unique_ptr<TFileStream> owned = std::move(FFileStream);  // cleared first, then freed
        });
}
