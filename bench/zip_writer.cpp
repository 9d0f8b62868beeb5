#include "bench/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "archive/zip_file.h"

namespace bench {

namespace {
constexpr uint16_t kMadeByUnix = (3 << 8) | 20;
constexpr uint32_t kDosTime = (((2024 - 1980) << 25) | (3 << 21) | (14 << 16)) | ((9 << 11) | (26 << 5));
constexpr uint32_t kFileAttributes = 0100644u << 16;
constexpr uint32_t kDirectoryAttributes = (040755u << 16) | 0x10;
constexpr size_t kChunk = 1 << 20;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }
}  // namespace

TZipWriter::TZipWriter(const std::string& path)
    : FPath(path), FFile(FromUtf8(path), faReadWrite, fdCreateAlways), FIn(kChunk), FOut(kChunk) {}

TZipHeader TZipWriter::HeaderFor(const std::string& name, TMethod method, uint32_t externalAttributes) {
    TZipHeader h;
    h.MadeByVersion = kMadeByUnix;
    h.RequiredVersion = 20;
    h.Flag = kFlagUtf8Names;
    h.CompressionMethod = method;
    h.ModifiedDateTime = kDosTime;
    h.FileName.assign(name.begin(), name.end());
    h.FileNameLength = static_cast<uint16_t>(name.size());
    h.ExternalAttributes = externalAttributes;
    h.LocalHeaderOffset = Tell();
    return h;
}

void TZipWriter::AddDirectory(const std::string& name) {
    const TZipHeader h = HeaderFor(name, kStored, kDirectoryAttributes);
    WriteLocalHeader(h);
    FEntries.push_back(h);
}

void TZipWriter::AddFile(const std::string& name, uint64_t size, TMethod method, TContent& content) {
    if (size > 0xFFFFFFFFull) Fail("entry too large: " + name);
    TZipHeader h = HeaderFor(name, method, kFileAttributes);
    h.UncompressedSize = static_cast<uint32_t>(size);
    WriteLocalHeader(h);
    h.CompressedSize = method == kStored ? CopyStored(size, content, h.CRC32) : CopyDeflated(size, content, h.CRC32);
    const uint32_t end = Tell();
    // the sizes and the checksum are known only now: the local header is written again
    FFile.SetPosition(h.LocalHeaderOffset);
    WriteLocalHeader(h);
    FFile.SetPosition(end);
    FEntries.push_back(std::move(h));
}

uint32_t TZipWriter::CopyStored(uint64_t size, TContent& content, uint32_t& crc) {
    uLong sum = crc32(0, nullptr, 0);
    for (uint64_t left = size; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
        content.Fill(FIn.data(), n);
        sum = crc32(sum, FIn.data(), static_cast<uInt>(n));
        Put(FIn.data(), n);
        left -= n;
    }
    crc = static_cast<uint32_t>(sum);
    return static_cast<uint32_t>(size);
}

uint32_t TZipWriter::CopyDeflated(uint64_t size, TContent& content, uint32_t& crc) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        Fail("deflateInit2 failed");
    uLong sum = crc32(0, nullptr, 0);
    uint64_t written = 0, left = size;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
        content.Fill(FIn.data(), n);
        sum = crc32(sum, FIn.data(), static_cast<uInt>(n));
        left -= n;
        z.next_in = FIn.data();
        z.avail_in = static_cast<uInt>(n);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {  // drain until deflate has taken all input (and, at the end, finished)
            z.next_out = FOut.data();
            z.avail_out = static_cast<uInt>(FOut.size());
            result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR) Fail("deflate failed");
            const size_t made = FOut.size() - z.avail_out;
            Put(FOut.data(), made);
            written += made;
        } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }
    deflateEnd(&z);
    if (written > 0xFFFFFFFFull) Fail("compressed entry too large");
    crc = static_cast<uint32_t>(sum);
    return static_cast<uint32_t>(written);
}

void TZipWriter::WriteLocalHeader(const TZipHeader& h) {
    TBytes b;
    PutU32(b, kLocalHeaderSignature);
    PutSharedHeaderFields(b, h);  // no extra field
    b.insert(b.end(), h.FileName.begin(), h.FileName.end());
    Put(b.data(), b.size());
}

void TZipWriter::Finish() {
    if (FEntries.size() > 0xFFFF) Fail("too many entries");
    WriteCentralDirectory(FFile, Tell(), FEntries, TBytes());
}

void TZipWriter::Put(const void* data, size_t size) { FFile.WriteBuffer(data, static_cast<int64_t>(size)); }

uint32_t TZipWriter::Tell() {
    const int64_t pos = FFile.Position();
    if (pos > 0xFFFFFFFFll) Fail("archive too large: " + FPath);
    return static_cast<uint32_t>(pos);
}

}  // namespace bench
