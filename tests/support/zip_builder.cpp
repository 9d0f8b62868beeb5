#include "tests/support/zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace {

void Le16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Le32(std::string& out, uint32_t v) {
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

constexpr uint32_t kDosTime = 0x5A2E6B3C;  // a fixed date and time

}  // namespace

ZipBuilder& ZipBuilder::Add(std::string name, std::string data, uint16_t method) {
    TTestEntry entry;
    entry.Name = std::move(name);
    entry.Data = std::move(data);
    entry.Method = method;
    return Add(std::move(entry));
}

ZipBuilder& ZipBuilder::Add(TTestEntry entry) {
    FEntries.push_back(std::move(entry));
    return *this;
}

ZipBuilder& ZipBuilder::Comment(std::string comment) {
    FComment = std::move(comment);
    return *this;
}

ZipBuilder& ZipBuilder::Prefix(std::string bytes) {
    FPrefix = std::move(bytes);
    return *this;
}

ZipBuilder& ZipBuilder::Trailing(std::string bytes) {
    FTrailing = std::move(bytes);
    return *this;
}

TTestBytes ZipBuilder::Build() const {
    std::string out = FPrefix;
    std::string central;
    for (const TTestEntry& e : FEntries) {
        const std::string data = e.StoredData ? *e.StoredData : e.Method == 8 ? RawDeflate(e.Data) : e.Data;
        const uint32_t crc = e.Crc.value_or(Crc32(e.Data));
        const uint32_t compressed = e.CompressedSize.value_or(static_cast<uint32_t>(data.size()));
        const uint32_t uncompressed = e.UncompressedSize.value_or(static_cast<uint32_t>(e.Data.size()));
        const auto offset = static_cast<uint32_t>(out.size() - FPrefix.size());
        const uint16_t flag = static_cast<uint16_t>(e.Flag | (e.DataDescriptor ? 0x0008 : 0));
        const uint32_t describedAs0 = e.DataDescriptor ? 0 : 1;  // a descriptor's local values are 0
        const std::string localName = e.Local.Name.value_or(e.Name);
        Le32(out, 0x04034B50);
        Le16(out, 20);
        Le16(out, e.Local.Flag.value_or(flag));
        Le16(out, e.Local.Method.value_or(e.Method));
        Le32(out, kDosTime);
        Le32(out, e.Local.Crc.value_or(crc * describedAs0));
        Le32(out, e.Local.CompressedSize.value_or(compressed * describedAs0));
        Le32(out, e.Local.UncompressedSize.value_or(uncompressed * describedAs0));
        Le16(out, static_cast<uint32_t>(localName.size()));
        Le16(out, static_cast<uint32_t>(e.LocalExtra.size()));
        out += localName + e.LocalExtra + data;
        if (e.DataDescriptor) {
            Le32(out, 0x08074B50);
            Le32(out, crc);
            Le32(out, compressed);
            Le32(out, uncompressed);
        }

        Le32(central, 0x02014B50);
        Le16(central, 0x031E);
        Le16(central, 20);
        Le16(central, flag);
        Le16(central, e.Method);
        Le32(central, kDosTime);
        Le32(central, crc);
        Le32(central, compressed);
        Le32(central, uncompressed);
        Le16(central, static_cast<uint32_t>(e.Name.size()));
        Le16(central, static_cast<uint32_t>(e.Extra.size()));
        Le16(central, static_cast<uint32_t>(e.Comment.size()));
        Le16(central, 0);
        Le16(central, 1);
        Le32(central, 0x81A40000);
        Le32(central, offset);
        central += e.Name + e.Extra + e.Comment;
    }
    const auto directoryOffset = static_cast<uint32_t>(out.size());  // counted from the file's start
    out += central;
    Le32(out, 0x06054B50);
    Le16(out, 0);
    Le16(out, 0);
    Le16(out, static_cast<uint32_t>(FEntries.size()));
    Le16(out, static_cast<uint32_t>(FEntries.size()));
    Le32(out, static_cast<uint32_t>(central.size()));
    Le32(out, directoryOffset);
    Le16(out, static_cast<uint32_t>(FComment.size()));
    out += FComment + FTrailing;
    return TTestBytes(out.begin(), out.end());
}

std::string RawDeflate(const std::string& text) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

uint32_t Crc32(const std::string& text) {
    return static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

size_t EndRecordOffset(const TTestBytes& zip) {
    for (size_t at = zip.size() - 4; at + 1 > 0; --at) {
        if (zip[at] == 0x50 && zip[at + 1] == 0x4B && zip[at + 2] == 0x05 && zip[at + 3] == 0x06) return at;
    }
    throw std::runtime_error("no end record");
}

uint32_t CentralDirectoryOffset(const TTestBytes& zip) {
    const size_t at = EndRecordOffset(zip) + 16;
    return static_cast<uint32_t>(zip[at] | zip[at + 1] << 8 | zip[at + 2] << 16 | static_cast<uint32_t>(zip[at + 3]) << 24);
}

void PutLe16(TTestBytes& bytes, size_t at, uint16_t value) {
    bytes.at(at) = static_cast<uint8_t>(value);
    bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void PutLe32(TTestBytes& bytes, size_t at, uint32_t value) {
    PutLe16(bytes, at, static_cast<uint16_t>(value));
    PutLe16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

std::string Text(const TTestBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
