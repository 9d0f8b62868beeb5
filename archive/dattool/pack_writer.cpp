// Writing the packed archive: local header, data and central record per
// entry, then the central directory and end record. Each file is read and
// deflated once, straight into the archive, through one buffer of
// extraction's copy size; its local header is then rewritten with the
// checksum and sizes. A file that deflate does not make smaller is read again
// and stored in its place. Nothing is held but the buffers and the records.
#include <zlib.h>

#include <functional>

#include "base/system_text.h"

#include "archive/dattool/dattool_texts.h"
#include "archive/dattool/pack.h"
#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"

namespace {

constexpr uint16_t kVersion = 20;  // 2.0: folders and deflate
// Made by a Unix host: Info-ZIP's unzip reads an MS-DOS host's names as code
// page 437 even when they are flagged UTF-8; for a Unix host it takes them as
// they are. A Unix host's attributes carry the permissions in the high half.
constexpr uint16_t kMadeBy = 3 << 8 | kVersion;
constexpr uint32_t kFileAttributes = 0100644u << 16;
constexpr uint32_t kFolderAttributes = 040755u << 16 | 0x10;  // and MS-DOS directory
constexpr int64_t kLargestOffset = 0xFFFFFFFF;  // offsets are 32 bits without ZIP64

[[noreturn]] void Refuse(const UString& name, UStringView problem) {
    throw EZipException(Format(kItemProblem, {name, problem}));
}

// TDeflater is raw deflate at zlib's default level; each piece of output goes
// to the sink. One deflater serves every file, reset between them: its state
// is made once, not allocated, touched and freed for each file.
class TDeflater {
public:
    using TSink = std::function<void(const uint8_t*, size_t)>;
    explicit TDeflater(TSink sink) : FSink(std::move(sink)), FOut(65536) {
        if (deflateInit2(&FZ, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw EZipException(UString(kZlibCannotStart));
        }
    }
    ~TDeflater() { deflateEnd(&FZ); }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;

    void Put(const uint8_t* data, size_t count, bool last) {
        FZ.next_in = const_cast<Bytef*>(data);
        FZ.avail_in = static_cast<uInt>(count);
        int result = Z_OK;
        do {
            FZ.next_out = FOut.data();
            FZ.avail_out = static_cast<uInt>(FOut.size());
            result = deflate(&FZ, last ? Z_FINISH : Z_NO_FLUSH);
            FSink(FOut.data(), FOut.size() - FZ.avail_out);
        } while (FZ.avail_out == 0 || (last && result != Z_STREAM_END));
        if (last) deflateReset(&FZ);
    }

private:
    TSink FSink;
    TBytes FOut;
    z_stream FZ{};
};

// TPackWriter writes the archive into a file it owns, which it may seek in and cut.
class TPackWriter {
public:
    TPackWriter(const UString& path, TNativeFile file, uint32_t time)
        : FOut(path, file), FFile(file), FTime(time), FBuffer(kCopyBufferSize),
          FDeflater([this](const uint8_t* data, size_t count) { Put(data, count); }) {}

    void Add(const TPackItem& item) {
        TZipHeader h = HeaderFor(item);
        h.LocalHeaderOffset = static_cast<uint32_t>(FOut.Position());
        WriteLocalHeader(h);
        if (!item.Folder) {
            WriteData(item, h);
            const int64_t end = FOut.Position();
            FOut.SetPosition(h.LocalHeaderOffset);
            WriteLocalHeader(h);
            FOut.SetPosition(end);
        }
        if (FOut.Position() > kLargestOffset) Refuse(item.Name, kEndsBeyond4GiB);
        FCentral.push_back(std::move(h));
    }

    // Finish writes the directory and cuts what a stored file left beyond it.
    void Finish() {
        try {
            WriteCentralDirectory(FOut, FOut.Position(), FCentral, TBytes());
        } catch (const EWriteError&) {
            throw EWriteError(Format(kCannotWrite, {FOut.FileName(), SystemErrorText(LastSystemError())}));
        }
        if (FOut.Size() > FOut.Position()) {
            const uint32_t code = SetNativeFileSize(FFile, FOut.Position());
            if (code != 0) throw EWriteError(Format(kCannotWrite, {FOut.FileName(), SystemErrorText(code)}));
        }
    }

private:
    TZipHeader HeaderFor(const TPackItem& item) const {
        TZipHeader h;
        h.MadeByVersion = kMadeBy;
        h.RequiredVersion = kVersion;
        h.Flag = kFlagUtf8Names;
        h.ModifiedDateTime = FTime;
        const std::string name = ToUtf8(item.Name);
        h.FileName.assign(name.begin(), name.end());
        h.FileNameLength = static_cast<uint16_t>(h.FileName.size());
        h.ExternalAttributes = item.Folder ? kFolderAttributes : kFileAttributes;
        return h;
    }

    void WriteLocalHeader(const TZipHeader& h) {
        TBytes b;
        PutU32(b, kLocalHeaderSignature);
        PutSharedHeaderFields(b, h);  // no extra field
        b.insert(b.end(), h.FileName.begin(), h.FileName.end());
        Put(b.data(), b.size());
    }

    // Put writes whole or says which file could not be written and why (a full disk).
    void Put(const uint8_t* data, size_t count) {
        if (count > 0 && FOut.Write(data, static_cast<int64_t>(count)) != static_cast<int64_t>(count)) {
            throw EWriteError(Format(kCannotWrite, {FOut.FileName(), SystemErrorText(LastSystemError())}));
        }
    }

    // WriteData deflates the file into the archive while taking its checksum;
    // when that is not smaller, the file is stored over it instead.
    void WriteData(const TPackItem& item, TZipHeader& h) {
        const int64_t start = FOut.Position();
        h.CompressionMethod = 8;
        h.UncompressedSize = static_cast<uint32_t>(item.Size);
        h.CRC32 = ReadEach(item, [&](const uint8_t* data, size_t count, bool last) { FDeflater.Put(data, count, last); });
        const uint64_t deflated = static_cast<uint64_t>(FOut.Position() - start);
        if (deflated < item.Size) {
            h.CompressedSize = static_cast<uint32_t>(deflated);
            return;
        }
        FOut.SetPosition(start);
        h.CompressionMethod = 0;
        h.CompressedSize = h.UncompressedSize;
        const uint32_t crc = ReadEach(item, [&](const uint8_t* data, size_t count, bool) { Put(data, count); });
        if (crc != h.CRC32) Refuse(item.Name, kChangedWhilePacked);
    }

    // ReadEach reads the file in pieces, which must still have the size it was
    // listed with, and gives the checksum.
    uint32_t ReadEach(const TPackItem& item, const std::function<void(const uint8_t*, size_t, bool)>& use) {
        TFileStream file(item.Path, faRead, fdOpenExisting);
        if (static_cast<uint64_t>(file.Size()) != item.Size) Refuse(item.Name, kChangedWhilePacked);
        uLong crc = crc32(0L, Z_NULL, 0);
        uint64_t remaining = item.Size;
        do {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(remaining, FBuffer.size()));
            file.ReadBuffer(FBuffer.data(), static_cast<int64_t>(piece));
            crc = crc32(crc, FBuffer.data(), static_cast<uInt>(piece));
            remaining -= piece;
            use(FBuffer.data(), piece, remaining == 0);
        } while (remaining > 0);
        return static_cast<uint32_t>(crc);
    }

    TFileStream FOut;
    TNativeFile FFile;  // FOut's, for cutting the file
    uint32_t FTime;
    TBytes FBuffer;
    TDeflater FDeflater;
    std::vector<TZipHeader> FCentral;
};

}  // namespace

void WritePackArchive(const std::vector<TPackItem>& items, const UString& path, TNativeFile file, uint32_t time,
                      const std::function<void(size_t)>& progress) {
    TPackWriter writer(path, file, time);
    for (size_t i = 0; i < items.size(); ++i) {
        writer.Add(items[i]);
        progress(i + 1);
    }
    writer.Finish();
}
