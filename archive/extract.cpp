// Extraction: Extract and ExtractAll (name to target, folders, and the data
// staged, then committed, through TStagedUpdate).
#include <algorithm>
#include <unordered_set>

#include "archive/entry_ranges.h"
#include "archive/extract_paths.h"
#include "archive/staged_update.h"
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
// its full path, the folders known to exist (each is created once), and the
// staged update that every entry's data goes into, with the guard that holds
// the target folder while the run writes below it.
class TExtractSession {
public:
    TExtractSession(TZipFile& zip, const UString& path) : FZip(zip), FPath(AnchoredFolder(path)) {}

    void StageEntry(int index, bool createSubdirs);
    void Commit() { FUpdate.Commit(); }

private:
    UString TargetFor(const UString& name, bool createSubdirs) const;
    void CheckConfined(const UString& name, const UString& target, bool directory, bool createSubdirs);
    void MakeFolders(const UString& directory);

    TZipFile& FZip;
    UString FPath;
    UString FFolderFull;  // expanded on first use
    std::unordered_set<UString> FKnownFolders;
    TStagedUpdate FUpdate;
};

void TZipFile::Extract(int index, const UString& path, bool createSubdirs) {
    TExtractSession session(*this, path);
    session.StageEntry(index, createSubdirs);
    session.Commit();
}

// ExtractAll refuses overlapping entries before anything is written, stages
// every entry in order, and only then replaces the installed files.
void TZipFile::ExtractAll(const UString& path) {
    RequireOpenForReading();
    CheckNoEntriesOverlap(*this);
    TExtractSession session(*this, path);
    const int count = FileCount();
    for (int i = 0; i < count; ++i) session.StageEntry(i, true);
    session.Commit();
}

void TExtractSession::StageEntry(int index, bool createSubdirs) {
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
    TFilePlace place = FUpdate.Guard(FFolderFull).PlaceOf(FullPathOrName(target));
    FUpdate.Stage(target, std::move(place), name, *data, FZip.FileInfo(index));
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
        const bool made = !PathExists(level);
        const bool inside = IsInsideFolder(FFolderFull, level, false);
        if (inside) {
            FUpdate.Guard(FFolderFull).MakeFolder(level);
        } else if (made) {
            CreateFolder(level);
        }
        // A folder made below the target is removed again, after a failure, from its held parent.
        if (made) FUpdate.FolderMade(level, inside ? FUpdate.Guard(FFolderFull).PlaceOf(level) : TFilePlace());
        FKnownFolders.insert(level);
    }
    FKnownFolders.insert(expanded);
}
