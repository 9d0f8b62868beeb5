// The write-back of a read-write archive: the central records and the end
// record go back at the central directory's own offset. For a well-formed
// archive these are the very bytes that were read, so its content is unchanged.
#include "archive/zip_file.h"
#include "archive/zip_texts.h"

namespace {

// TRecordWriter gathers records and writes them in pieces of about 64 KiB,
// not one system call per field. Every write must be complete.
class TRecordWriter {
public:
    explicit TRecordWriter(TStream& stream) : FStream(stream) { FBuffer.reserve(kFlushAt + 512); }

    TBytes& Buffer() { return FBuffer; }
    void Append(const TBytes& bytes, size_t count) {
        FBuffer.insert(FBuffer.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        if (FBuffer.size() >= kFlushAt) Flush();
    }
    void Flush() {
        const auto count = static_cast<int64_t>(FBuffer.size());
        if (count > 0 && FStream.Write(FBuffer.data(), count) != count) {
            throw EZipException(UString(kZipWriteError));
        }
        FWritten += count;
        FBuffer.clear();
    }
    int64_t Written() const { return FWritten + static_cast<int64_t>(FBuffer.size()); }

private:
    static constexpr size_t kFlushAt = 65536;
    TStream& FStream;  // we don't own it
    TBytes FBuffer;
    int64_t FWritten = 0;
};

void PutCentralRecord(TRecordWriter& out, const TZipHeader& h) {
    TBytes& b = out.Buffer();
    PutU32(b, kCentralHeaderSignature);
    PutU16(b, h.MadeByVersion);
    PutSharedHeaderFields(b, h);
    PutU16(b, h.FileCommentLength);
    PutU16(b, h.DiskNumberStart);
    PutU16(b, h.InternalAttributes);
    PutU32(b, h.ExternalAttributes);
    PutU32(b, h.LocalHeaderOffset);
    // Length fields are written as held; each part only when its length is nonzero.
    if (h.FileNameLength > 0) out.Append(h.FileName, h.FileNameLength);
    if (h.ExtraFieldLength > 0) out.Append(h.ExtraField, h.ExtraFieldLength);
    if (h.FileCommentLength > 0) out.Append(h.FileComment, h.FileCommentLength);
}

}  // namespace

void WriteCentralDirectory(TStream& stream, int64_t directoryOffset, const std::vector<TZipHeader>& files,
                           const TBytes& comment) {
    stream.SetPosition(directoryOffset);
    TRecordWriter out(stream);
    for (const TZipHeader& header : files) PutCentralRecord(out, header);
    const auto directorySize = static_cast<uint32_t>(out.Written());
    const auto count = static_cast<uint16_t>(files.size());
    const size_t commentLength = std::min<size_t>(comment.size(), 65535);
    TBytes& b = out.Buffer();
    PutU32(b, kEndRecordSignature);
    PutU16(b, 0);
    PutU16(b, 0);
    PutU16(b, count);
    PutU16(b, count);
    PutU32(b, directorySize);
    PutU32(b, static_cast<uint32_t>(directoryOffset));
    PutU16(b, static_cast<uint16_t>(commentLength));
    out.Append(comment, commentLength);
    out.Flush();  // the stream is not truncated: bytes beyond the end record stay
}

void TZipFile::WriteBack() { WriteCentralDirectory(*FStream, FEndFileData, FFiles, FComment); }
