// Extraction: Extract (name to target, folders, output file, copy with
// checksum) and ExtractAll.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "archive/extract_paths.h"
#include "archive/output_file.h"
#include "archive/target_guard.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "base/file_system.h"
#include "base/system_text.h"

namespace {

UString WithBackslashes(UString name) {
    std::replace(name.begin(), name.end(), u'/', u'\\');
    return name;
}

}  // namespace

// TExtractSession carries what the entries of one ExtractAll share: the
// target folder, anchored once so that no entry asks for the current folder,
// its full path, the guard that holds it while the run writes below it, the
// folders known to exist (each is created once), the copy buffer and the
// temporary-name counter.
class TExtractSession {
public:
    TExtractSession(TZipFile& zip, const UString& path)
        : FZip(zip),
          FPath(AnchoredFolder(path)),
          FTempCounter(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

    void ExtractEntry(int index, bool createSubdirs);

private:
    UString TargetFor(const UString& name, bool createSubdirs) const;
    void CheckConfined(const UString& name, const UString& target, bool directory, bool createSubdirs);
    void MakeFolders(const UString& directory);
    void CopyEntry(TStream& data, const TZipHeader& header, const UString& target, const UString& name);

    TZipFile& FZip;
    UString FPath;
    UString FFolderFull;  // expanded on first use
    std::unique_ptr<TTargetGuard> FGuard;  // made with FFolderFull
    std::unordered_set<UString> FKnownFolders;
    TBytes FCopyBuffer;
    uint32_t FTempCounter;
};

void TZipFile::Extract(int index, const UString& path, bool createSubdirs) {
    TExtractSession(*this, path).ExtractEntry(index, createSubdirs);
}

void TZipFile::ExtractAll(const UString& path) {
    RequireOpenForReading();
    TExtractSession session(*this, path);
    const int count = FileCount();
    for (int i = 0; i < count; ++i) session.ExtractEntry(i, true);
}

void TExtractSession::ExtractEntry(int index, bool createSubdirs) {
    std::unique_ptr<TStream> data;
    TZipHeader local;
    FZip.Read(index, data, local);  // the stream is freed on every path by its owner
    const UString name = WithBackslashes(FZip.FileName(index));
    const UString target = TargetFor(name, createSubdirs);
    const bool directory = HasTrailingSeparator(target);
    CheckConfined(name, target, directory, createSubdirs);
    const UString folder = DirectoryPart(target);
    if (createSubdirs && !folder.empty()) MakeFolders(folder);
    if (directory) return;  // a directory entry only makes its folder
    CopyEntry(*data, FZip.FFiles[static_cast<size_t>(index)], target, name);
}

UString TExtractSession::TargetFor(const UString& name, bool createSubdirs) const {
    return CombinePath(FPath, createSubdirs ? name : LastPathComponent(name));
}

// CheckConfined stops an entry whose name is rooted or whose target resolves
// outside the target folder; only the folder itself may be named, and only by
// a directory entry.
void TExtractSession::CheckConfined(const UString& name, const UString& target, bool directory, bool createSubdirs) {
    if (FFolderFull.empty()) FFolderFull = FullPathOrName(FPath.empty() ? UString(u".") : FPath);
    const bool outside = (createSubdirs && (IsPathRooted(name) || ClimbsOut(name))) ||
                         !IsInsideFolder(FFolderFull, FullPathOrName(target), directory);
    if (outside) throw EZipException(Format(kOutsideTargetFolder, {name}));
    if (!FGuard) FGuard = std::make_unique<TTargetGuard>(FFolderFull);
}

void TExtractSession::MakeFolders(const UString& directory) {
    UString expanded;
    const uint32_t error = ExpandFileName(directory, expanded);
    if (error != 0 && FileErrorKind(error) != TFileErrorKind::NotFound) throw ENotSupportedException(SystemErrorText(error));
    if (FKnownFolders.count(expanded) != 0) return;
    CheckFolderPath(expanded, LogicalDrives());
    for (const UString& level : FolderLevels(expanded)) {
        if (FKnownFolders.count(level) != 0) continue;
        // A level that cannot be made is not reported here: creating the file fails instead.
        // Below the target folder, the guard makes each level without following a link.
        if (IsInsideFolder(FFolderFull, level, false)) {
            FGuard->MakeFolder(level);
        } else if (!PathExists(level)) {
            CreateFolder(level);
        }
        FKnownFolders.insert(level);
    }
    FKnownFolders.insert(expanded);
}

// CopyEntry copies exactly the central record's uncompressed size, computing
// the checksum on the way; only complete data with the right checksum reaches
// the target.
void TExtractSession::CopyEntry(TStream& data, const TZipHeader& header, const UString& target, const UString& name) {
    TOutputFile output(target, FGuard->PlaceOf(FullPathOrName(target)), FTempCounter);
    uint32_t remaining = header.UncompressedSize;
    uLong crc = crc32(0L, Z_NULL, 0);
    if (remaining > 0 && FCopyBuffer.empty()) FCopyBuffer.resize(kCopyBufferSize);
    while (remaining > 0) {
        const uint32_t piece = std::min<uint32_t>(remaining, kCopyBufferSize);
        data.ReadBuffer(FCopyBuffer.data(), piece);
        crc = crc32(crc, FCopyBuffer.data(), piece);
        output.Stream().WriteBuffer(FCopyBuffer.data(), piece);
        remaining -= piece;
    }
    if (static_cast<uint32_t>(crc) != header.CRC32) throw EZipException(Format(kChecksumError, {name}));
    output.Commit();
}
