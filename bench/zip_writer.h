// A streaming ZIP writer for the benchmark archives: stored and deflated
// entries of generated content, UTF-8 names, no data descriptors, no ZIP64.
// The records are the archive's own (archive/zip_format.h and the container's
// WriteCentralDirectory); only the content is the benchmark's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/file_stream.h"
#include "archive/zip_format.h"
#include "bench/content.h"

namespace bench {

enum TMethod : uint16_t { kStored = 0, kDeflated = 8 };

class TZipWriter {
public:
    explicit TZipWriter(const std::string& path);
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    // AddDirectory writes a directory entry; name ends with "/".
    void AddDirectory(const std::string& name);
    // AddFile writes size bytes taken from content, stored or deflated.
    void AddFile(const std::string& name, uint64_t size, TMethod method, TContent& content);
    // Finish writes the central directory and the end record and closes the file.
    void Finish();

private:
    TZipHeader HeaderFor(const std::string& name, TMethod method, uint32_t externalAttributes);
    void WriteLocalHeader(const TZipHeader& h);
    uint32_t CopyStored(uint64_t size, TContent& content, uint32_t& crc);
    uint32_t CopyDeflated(uint64_t size, TContent& content, uint32_t& crc);
    void Put(const void* data, size_t size);
    uint32_t Tell();

    std::string FPath;
    TFileStream FFile;
    std::vector<TZipHeader> FEntries;
    std::vector<uint8_t> FIn, FOut;
};

}  // namespace bench
