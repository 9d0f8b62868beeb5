#include "tests/support/zip_builder.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "base/byte_cursor.h"

namespace {

constexpr uint32_t kDosTime = 0x5A2E6B3C;  // a fixed date and time

void Append(TTestBytes& out, const std::string& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
uint16_t Length(const std::string& bytes) { return static_cast<uint16_t>(bytes.size()); }

// TRecordValues are an entry's values as both of its records give them.
struct TRecordValues {
    std::string Data;  // as stored
    uint32_t Crc;
    uint32_t Compressed;
    uint32_t Uncompressed;
    uint32_t Offset;  // of the local header, from the first one
    uint16_t Flag;
};

TRecordValues ValuesOf(const TTestEntry& e, uint32_t offset) {
    TRecordValues v;
    v.Data = e.StoredData ? *e.StoredData : e.Method == 8 ? RawDeflate(e.Data) : e.Data;
    v.Crc = e.Crc.value_or(Crc32(e.Data));
    v.Compressed = e.CompressedSize.value_or(static_cast<uint32_t>(v.Data.size()));
    v.Uncompressed = e.UncompressedSize.value_or(static_cast<uint32_t>(e.Data.size()));
    v.Offset = offset;
    v.Flag = static_cast<uint16_t>(e.Flag | (e.DataDescriptor ? 0x0008 : 0));
    return v;
}

// PutLocalRecord writes the local header, the data and the data descriptor if any.
void PutLocalRecord(TTestBytes& out, const TTestEntry& e, const TRecordValues& v) {
    const uint32_t describedAs0 = e.DataDescriptor ? 0 : 1;  // a descriptor's local values are 0
    const std::string localName = e.Local.Name.value_or(e.Name);
    PutU32(out, 0x04034B50);
    PutU16(out, 20);
    PutU16(out, e.Local.Flag.value_or(v.Flag));
    PutU16(out, e.Local.Method.value_or(e.Method));
    PutU32(out, kDosTime);
    PutU32(out, e.Local.Crc.value_or(v.Crc * describedAs0));
    PutU32(out, e.Local.CompressedSize.value_or(v.Compressed * describedAs0));
    PutU32(out, e.Local.UncompressedSize.value_or(v.Uncompressed * describedAs0));
    PutU16(out, Length(localName));
    PutU16(out, Length(e.LocalExtra));
    Append(out, localName + e.LocalExtra + v.Data);
    if (e.DataDescriptor) {
        PutU32(out, 0x08074B50);
        PutU32(out, v.Crc);
        PutU32(out, v.Compressed);
        PutU32(out, v.Uncompressed);
    }
}

void PutCentralRecord(TTestBytes& out, const TTestEntry& e, const TRecordValues& v) {
    PutU32(out, 0x02014B50);
    PutU16(out, 0x031E);
    PutU16(out, 20);
    PutU16(out, v.Flag);
    PutU16(out, e.Method);
    PutU32(out, kDosTime);
    PutU32(out, v.Crc);
    PutU32(out, v.Compressed);
    PutU32(out, v.Uncompressed);
    PutU16(out, Length(e.Name));
    PutU16(out, Length(e.Extra));
    PutU16(out, Length(e.Comment));
    PutU16(out, 0);
    PutU16(out, 1);
    PutU32(out, 0x81A40000);
    PutU32(out, v.Offset);
    Append(out, e.Name + e.Extra + e.Comment);
}

void PutEndRecord(TTestBytes& out, size_t entries, size_t directorySize, uint32_t directoryOffset, const std::string& comment) {
    PutU32(out, 0x06054B50);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, static_cast<uint16_t>(entries));
    PutU16(out, static_cast<uint16_t>(entries));
    PutU32(out, static_cast<uint32_t>(directorySize));
    PutU32(out, directoryOffset);
    PutU16(out, Length(comment));
}

}  // namespace

TTestEntry TestEntry(std::string name, std::string data, uint16_t method) {
    TTestEntry entry;
    entry.Name = std::move(name);
    entry.Data = std::move(data);
    entry.Method = method;
    return entry;
}

ZipBuilder& ZipBuilder::Add(std::string name, std::string data, uint16_t method) {
    return Add(TestEntry(std::move(name), std::move(data), method));
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
    TTestBytes out(FPrefix.begin(), FPrefix.end());
    TTestBytes central;
    for (const TTestEntry& e : FEntries) {
        const TRecordValues values = ValuesOf(e, static_cast<uint32_t>(out.size() - FPrefix.size()));
        PutLocalRecord(out, e, values);
        PutCentralRecord(central, e, values);
    }
    const auto directoryOffset = static_cast<uint32_t>(out.size());  // counted from the file's start
    out.insert(out.end(), central.begin(), central.end());
    PutEndRecord(out, FEntries.size(), central.size(), directoryOffset, FComment);
    Append(out, FComment + FTrailing);
    return out;
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
    if (at + 4 > zip.size()) throw std::runtime_error("end record cut short");
    return TByteCursor(zip.data() + at).U32();
}

namespace {

// Overwrite puts field's bytes over those at offset at, which must lie inside bytes.
void Overwrite(TTestBytes& bytes, size_t at, const TTestBytes& field) {
    if (at + field.size() > bytes.size()) throw std::out_of_range("field beyond the archive's end");
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

void PutLe16(TTestBytes& bytes, size_t at, uint16_t value) {
    TTestBytes field;
    PutU16(field, value);
    Overwrite(bytes, at, field);
}

void PutLe32(TTestBytes& bytes, size_t at, uint32_t value) {
    TTestBytes field;
    PutU32(field, value);
    Overwrite(bytes, at, field);
}

std::string Text(const TTestBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
