// TZipFile opens a ZIP archive, reads its central directory into an ordered
// list of entries, extracts entries into folders, and on Close of an archive
// opened read-write writes the central directory and end record back.
// zip_file.cpp defines the container; its companions zip_write_back.cpp the
// write-back (WriteCentralDirectory) and extract.cpp Extract and ExtractAll.
#pragma once

#include <memory>
#include <vector>

#include "archive/file_stream.h"
#include "archive/zip_format.h"

// WriteCentralDirectory writes the central records of files and the end
// record at directoryOffset: the write-back, and the end of a new archive.
// A short write raises EZipException "Error writing zip file".
void WriteCentralDirectory(TStream& stream, int64_t directoryOffset, const std::vector<TZipHeader>& files,
                           const TBytes& comment);

// Extraction copies each entry through one buffer of this size; the pre-flight
// reads entries the same way.
inline constexpr size_t kCopyBufferSize = 61440;

class TZipFile {
public:
    // TZipFile starts closed, with no entries and UTF-8 names assumed.
    TZipFile() = default;
    // ~TZipFile closes the archive, with the write-back for a read-write one.
    // It never throws: a failing write-back is dropped, the handle still closed.
    ~TZipFile();
    TZipFile(const TZipFile&) = delete;
    TZipFile& operator=(const TZipFile&) = delete;

    // Open opens the archive file by name (without sharing) and reads its central directory.
    void Open(const UString& zipFileName, TZipMode openMode);
    // Open reads the archive from a stream that the caller keeps owning.
    void Open(TStream& zipFileStream, TZipMode openMode);
    // Close writes back a read-write archive, then returns to zmClosed.
    void Close();

    TZipMode Mode() const { return FMode; }
    int FileCount() const { return static_cast<int>(FFiles.size()); }
    TZipHeader FileInfo(int index) const { return FFiles.at(static_cast<size_t>(index)); }
    // FileName is the entry's decoded name, "/" kept: UTF-8 when its record
    // has bit 11 set, code page 437 otherwise.
    UString FileName(int index) const;
    // UTF8Support: every record read has bit 11 set.
    bool UTF8Support() const { return FUTF8Support; }
    const TBytes& Comment() const { return FComment; }
    // CentralDirectoryOffset is where the write-back starts; EndRecordPosition
    // is where the end record was found (-1 for an empty archive).
    int64_t CentralDirectoryOffset() const { return FEndFileData; }
    int64_t EndRecordPosition() const { return FEndRecordPosition; }

    // Read positions the archive at entry index, reads its local header and
    // gives a new decompressing stream that starts at the entry's data.
    void Read(int index, std::unique_ptr<TStream>& stream, TZipHeader& localHeader);
    // LocalHeaderSize reads entry index's local header and gives its size (30
    // bytes, its name and its extra field: where the data begins after it), or
    // -1 when the local header's signature is wrong.
    int64_t LocalHeaderSize(int index);
    // Extract writes entry index below path, keeping its folders when createSubdirs is set.
    void Extract(int index, const UString& path, bool createSubdirs = true);
    // ExtractAll extracts every entry below path in central-directory order:
    // all are staged and checked first, and only then do they replace the
    // installed files (archive/staged_update.h); a failure leaves path as it was.
    void ExtractAll(const UString& path);

private:
    void ReadCentralDirectory();
    int64_t ReadLocalHeader(int index, TZipHeader& localHeader);
    int64_t ReadLocalFixedPart(int index, TZipHeader& localHeader);
    void ReadEndRecord(uint32_t& entryCount);
    void WriteBack();
    void RequireOpenForReading() const;

    TZipMode FMode = zmClosed;
    TStream* FStream = nullptr;  // borrowed, unless it is FFileStream
    std::unique_ptr<TFileStream> FFileStream;
    int64_t FStartFileData = 0;
    int64_t FEndFileData = 0;
    int64_t FEndRecordPosition = -1;
    std::vector<TZipHeader> FFiles;
    TBytes FComment;
    bool FUTF8Support = true;
};
