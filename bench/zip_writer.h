// A minimal streaming ZIP writer for the benchmark archives: stored and
// deflated entries, UTF-8 names, no data descriptors, no ZIP64.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/content.h"

namespace bench {

enum TMethod : uint16_t { kStored = 0, kDeflated = 8 };

class TZipWriter {
public:
    explicit TZipWriter(const std::string& path);
    ~TZipWriter();
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    // AddDirectory writes a directory entry; name ends with "/".
    void AddDirectory(const std::string& name);
    // AddFile writes size bytes taken from content, stored or deflated.
    void AddFile(const std::string& name, uint64_t size, TMethod method, TContent& content);
    // Finish writes the central directory and the end record and closes the file.
    void Finish();

private:
    struct TEntry {
        std::string Name;
        uint16_t Method;
        uint32_t Crc, Compressed, Uncompressed, ExternalAttributes, Offset;
    };
    void WriteLocalHeader(const TEntry& e);
    void WriteCentralRecord(const TEntry& e);
    uint32_t CopyStored(uint64_t size, TContent& content, uint32_t& crc);
    uint32_t CopyDeflated(uint64_t size, TContent& content, uint32_t& crc);
    void Put(const void* data, size_t size);
    void Put16(uint32_t v);
    void Put32(uint32_t v);
    uint32_t Tell();

    std::string FPath;
    std::FILE* FFile;
    std::vector<TEntry> FEntries;
    std::vector<uint8_t> FIn, FOut;
};

}  // namespace bench
