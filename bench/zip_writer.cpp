#include "bench/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint16_t kUtf8Names = 0x0800;
constexpr uint16_t kMadeByUnix = (3 << 8) | 20;
constexpr uint32_t kDosTime = (((2024 - 1980) << 25) | (3 << 21) | (14 << 16)) | ((9 << 11) | (26 << 5));
constexpr uint32_t kFileAttributes = 0100644u << 16;
constexpr uint32_t kDirectoryAttributes = (040755u << 16) | 0x10;
constexpr size_t kChunk = 1 << 20;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }
}  // namespace

TZipWriter::TZipWriter(const std::string& path)
    : FPath(path), FFile(std::fopen(path.c_str(), "wb")), FIn(kChunk), FOut(kChunk) {
    if (!FFile) Fail("cannot create " + path);
    std::setvbuf(FFile, nullptr, _IOFBF, kChunk);
}

TZipWriter::~TZipWriter() {
    if (FFile) std::fclose(FFile);
}

void TZipWriter::AddDirectory(const std::string& name) {
    TEntry e{name, kStored, 0, 0, 0, kDirectoryAttributes, Tell()};
    WriteLocalHeader(e);
    FEntries.push_back(e);
}

void TZipWriter::AddFile(const std::string& name, uint64_t size, TMethod method, TContent& content) {
    if (size > 0xFFFFFFFFull) Fail("entry too large: " + name);
    TEntry e{name, method, 0, 0, static_cast<uint32_t>(size), kFileAttributes, Tell()};
    WriteLocalHeader(e);
    e.Compressed = method == kStored ? CopyStored(size, content, e.Crc) : CopyDeflated(size, content, e.Crc);
    const uint32_t end = Tell();
    // the sizes and the checksum are known only now: patch the local header
    if (std::fseek(FFile, static_cast<long>(e.Offset) + 14, SEEK_SET) != 0) Fail("seek failed");
    Put32(e.Crc);
    Put32(e.Compressed);
    Put32(e.Uncompressed);
    if (std::fseek(FFile, static_cast<long>(end), SEEK_SET) != 0) Fail("seek failed");
    FEntries.push_back(e);
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

void TZipWriter::WriteLocalHeader(const TEntry& e) {
    Put32(kLocalSignature);
    Put16(20);
    Put16(kUtf8Names);
    Put16(e.Method);
    Put32(kDosTime);
    Put32(e.Crc);
    Put32(e.Compressed);
    Put32(e.Uncompressed);
    Put16(static_cast<uint32_t>(e.Name.size()));
    Put16(0);
    Put(e.Name.data(), e.Name.size());
}

void TZipWriter::WriteCentralRecord(const TEntry& e) {
    Put32(kCentralSignature);
    Put16(kMadeByUnix);
    Put16(20);
    Put16(kUtf8Names);
    Put16(e.Method);
    Put32(kDosTime);
    Put32(e.Crc);
    Put32(e.Compressed);
    Put32(e.Uncompressed);
    Put16(static_cast<uint32_t>(e.Name.size()));
    Put16(0);  // extra field
    Put16(0);  // comment
    Put16(0);  // disk
    Put16(0);  // internal attributes
    Put32(e.ExternalAttributes);
    Put32(e.Offset);
    Put(e.Name.data(), e.Name.size());
}

void TZipWriter::Finish() {
    if (FEntries.size() > 0xFFFF) Fail("too many entries");
    const uint32_t start = Tell();
    for (const TEntry& e : FEntries) WriteCentralRecord(e);
    const uint32_t size = Tell() - start;
    Put32(kEndSignature);
    Put16(0);
    Put16(0);
    Put16(static_cast<uint32_t>(FEntries.size()));
    Put16(static_cast<uint32_t>(FEntries.size()));
    Put32(size);
    Put32(start);
    Put16(0);
    const bool failed = std::fclose(FFile) != 0;
    FFile = nullptr;
    if (failed) Fail("cannot write " + FPath);
}

void TZipWriter::Put(const void* data, size_t size) {
    if (size > 0 && std::fwrite(data, 1, size, FFile) != size) Fail("cannot write " + FPath);
}

void TZipWriter::Put16(uint32_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Put(b, 2);
}

void TZipWriter::Put32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    Put(b, 4);
}

uint32_t TZipWriter::Tell() {
    const long pos = std::ftell(FFile);
    if (pos < 0 || pos > 0xFFFFFFFFl) Fail("archive too large: " + FPath);
    return static_cast<uint32_t>(pos);
}

}  // namespace bench
