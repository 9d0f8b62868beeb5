// ZipBuilder makes ZIP archives in memory for tests: local headers, data,
// central records and the end record, each field settable so that one test
// can damage exactly one thing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using TTestBytes = std::vector<uint8_t>;

// TLocalFields are the local header's own values; each one left unset is the
// central record's, so that a test can make exactly one field differ.
struct TLocalFields {
    std::optional<uint16_t> Flag;
    std::optional<uint16_t> Method;
    std::optional<uint32_t> Crc;
    std::optional<uint32_t> CompressedSize;
    std::optional<uint32_t> UncompressedSize;
    std::optional<std::string> Name;
};

struct TTestEntry {
    std::string Name;       // name bytes, as stored
    std::string Data;       // uncompressed content
    uint16_t Method = 0;    // 0 stores, 8 deflates (raw)
    uint16_t Flag = 0x0800;
    std::optional<uint32_t> Crc;               // default: the data's CRC-32
    std::optional<uint32_t> CompressedSize;    // default: the stored data's length
    std::optional<uint32_t> UncompressedSize;  // default: the data's length
    std::optional<std::string> StoredData;     // bytes written as the entry's data, instead of Data
    std::string Extra;
    std::string LocalExtra;
    std::string Comment;
    TLocalFields Local;
    // DataDescriptor sets flag bit 3 in both records, writes the local CRC and
    // sizes as 0 and the real ones in a signed descriptor after the data.
    bool DataDescriptor = false;
};

// TestEntry is an entry with the given name, data and method and every other field at its default.
TTestEntry TestEntry(std::string name, std::string data, uint16_t method = 0);

class ZipBuilder {
public:
    ZipBuilder& Add(std::string name, std::string data, uint16_t method = 0);
    ZipBuilder& Add(TTestEntry entry);
    ZipBuilder& Comment(std::string comment);
    ZipBuilder& Prefix(std::string bytes);
    ZipBuilder& Trailing(std::string bytes);
    TTestBytes Build() const;

private:
    std::vector<TTestEntry> FEntries;
    std::string FComment;
    std::string FPrefix;
    std::string FTrailing;
};

// RawDeflate compresses text as raw deflate data (no zlib header).
std::string RawDeflate(const std::string& text);
// Crc32 of text, through zlib.
uint32_t Crc32(const std::string& text);
// EndRecordOffset finds the last end-record signature; CentralDirectoryOffset reads offset 16 of it.
size_t EndRecordOffset(const TTestBytes& zip);
uint32_t CentralDirectoryOffset(const TTestBytes& zip);
// PutLe16 and PutLe32 overwrite a field of a built archive (out_of_range beyond its end).
void PutLe16(TTestBytes& bytes, size_t at, uint16_t value);
void PutLe32(TTestBytes& bytes, size_t at, uint32_t value);
// Text turns bytes into a std::string, for comparisons.
std::string Text(const TTestBytes& bytes);
