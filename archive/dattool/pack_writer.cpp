// Writing the packed archive: local header, data and central record per
// entry, then the central directory and end record. Each file is read twice
// through one buffer of extraction's copy size: first for its checksum and
// deflated size (so the local header is right when it is written and the
// method is chosen), then for its data. Nothing is held but the buffers and
// the records.
#include <zlib.h>

#include <functional>

#include "archive/dattool/dattool_texts.h"
#include "archive/dattool/pack.h"
#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"

namespace {

constexpr uint16_t kVersion = 20;               // 2.0: folders and deflate
constexpr uint32_t kFolderAttribute = 0x10;     // MS-DOS directory
constexpr int64_t kLargestOffset = 0xFFFFFFFF;  // offsets are 32 bits without ZIP64

[[noreturn]] void Refuse(const UString& name, UStringView problem) {
    throw EZipException(Format(kItemProblem, {name, problem}));
}

// TDeflater is raw deflate at zlib's default level; each piece of output goes to the sink.
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
    }

private:
    TSink FSink;
    TBytes FOut;
    z_stream FZ{};
};

// ForEachPiece reads the file in pieces; it must still have the size it was listed with.
void ForEachPiece(const TPackItem& item, TBytes& buffer, const std::function<void(const uint8_t*, size_t, bool)>& use) {
    TFileStream file(item.Path, faRead, fdOpenExisting);
    if (static_cast<uint64_t>(file.Size()) != item.Size) Refuse(item.Name, kChangedWhilePacked);
    uint64_t remaining = item.Size;
    do {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(remaining, buffer.size()));
        file.ReadBuffer(buffer.data(), static_cast<int64_t>(piece));
        remaining -= piece;
        use(buffer.data(), piece, remaining == 0);
    } while (remaining > 0);
}

class TPackWriter {
public:
    TPackWriter(const UString& archive, uint32_t time)
        : FOut(archive, faReadWrite, fdCreateAlways), FTime(time), FBuffer(kCopyBufferSize) {}

    void Add(const TPackItem& item) {
        TZipHeader h = HeaderFor(item);
        if (!item.Folder) Measure(item, h);
        h.LocalHeaderOffset = static_cast<uint32_t>(FOut.Position());
        WriteLocalHeader(h);
        if (!item.Folder) WriteData(item, h);
        if (FOut.Position() > kLargestOffset) Refuse(item.Name, kEndsBeyond4GiB);
        FCentral.push_back(std::move(h));
    }

    void Finish() { WriteCentralDirectory(FOut, FOut.Position(), FCentral, TBytes()); }

private:
    TZipHeader HeaderFor(const TPackItem& item) const {
        TZipHeader h;
        h.MadeByVersion = kVersion;
        h.RequiredVersion = kVersion;
        h.Flag = kFlagUtf8Names;
        h.ModifiedDateTime = FTime;
        const std::string name = ToUtf8(item.Name);
        h.FileName.assign(name.begin(), name.end());
        h.FileNameLength = static_cast<uint16_t>(h.FileName.size());
        h.ExternalAttributes = item.Folder ? kFolderAttribute : 0;
        return h;
    }

    // Measure reads the file once for its checksum and deflated size, and chooses the method.
    void Measure(const TPackItem& item, TZipHeader& h) {
        uLong crc = crc32(0L, Z_NULL, 0);
        uint64_t deflated = 0;
        TDeflater deflater([&](const uint8_t*, size_t count) { deflated += count; });
        ForEachPiece(item, FBuffer, [&](const uint8_t* data, size_t count, bool last) {
            crc = crc32(crc, data, static_cast<uInt>(count));
            deflater.Put(data, count, last);
        });
        h.CRC32 = static_cast<uint32_t>(crc);
        h.UncompressedSize = static_cast<uint32_t>(item.Size);
        h.CompressionMethod = deflated < item.Size ? 8 : 0;
        h.CompressedSize = h.CompressionMethod == 8 ? static_cast<uint32_t>(deflated) : h.UncompressedSize;
    }

    void WriteLocalHeader(const TZipHeader& h) {
        TBytes b;
        PutU32(b, kLocalHeaderSignature);
        PutSharedHeaderFields(b, h);  // no extra field
        b.insert(b.end(), h.FileName.begin(), h.FileName.end());
        FOut.WriteBuffer(b.data(), static_cast<int64_t>(b.size()));
    }

    // WriteData reads the file again; its checksum and size must not have changed.
    void WriteData(const TPackItem& item, const TZipHeader& h) {
        const int64_t start = FOut.Position();
        uLong crc = crc32(0L, Z_NULL, 0);
        TDeflater deflater([&](const uint8_t* data, size_t count) { FOut.WriteBuffer(data, static_cast<int64_t>(count)); });
        ForEachPiece(item, FBuffer, [&](const uint8_t* data, size_t count, bool last) {
            crc = crc32(crc, data, static_cast<uInt>(count));
            if (h.CompressionMethod == 8) deflater.Put(data, count, last);
            else FOut.WriteBuffer(data, static_cast<int64_t>(count));
        });
        if (static_cast<uint32_t>(crc) != h.CRC32 || FOut.Position() - start != static_cast<int64_t>(h.CompressedSize)) {
            Refuse(item.Name, kChangedWhilePacked);
        }
    }

    TFileStream FOut;
    uint32_t FTime;
    TBytes FBuffer;
    std::vector<TZipHeader> FCentral;
};

}  // namespace

void WritePackArchive(const std::vector<TPackItem>& items, const UString& archive, uint32_t time) {
    TPackWriter writer(archive, time);
    for (const TPackItem& item : items) writer.Add(item);
    writer.Finish();
}
