#include "archive/output_file.h"

namespace {

// TemporaryName lies in the target's own folder.
UString TemporaryName(uint32_t number) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    UString name = u"~kelvo";
    for (int shift = 28; shift >= 0; shift -= 4) name.push_back(kHex[(number >> shift) & 0xF]);
    name += u".tmp";
    return name;
}

}  // namespace

TOutputFile::TOutputFile(const UString& target, TFilePlace place, uint32_t& tempCounter)
    : FTarget(target), FPlace(std::move(place)) {
    if (FPlace.Error() != 0) RaiseFileError(true, target, FPlace.Error());
    TNativeFile file{};
    uint32_t error = OpenFileAt(FPlace.Folder(), FPlace.FolderPath(), FPlace.Name(), faReadWrite, fdCreateNew, file);
    RaiseIfLinkRefused(error, target);
    if (error == 0) {  // a new target needs no temporary file
        Open(FPlace.Name(), file);
        return;
    }
    if (FileErrorKind(error) != TFileErrorKind::AlreadyExists) RaiseFileError(true, target, error);
    // The target exists: it must be one that could be created anew in its place
    // (not in use, not a folder, not read-only, hidden or system) before
    // anything is written beside it, so a refused file keeps its content and
    // attributes and the run stops there.
    error = CheckReplaceableAt(FPlace.Folder(), FPlace.FolderPath(), FPlace.Name());
    RaiseIfLinkRefused(error, target);
    if (error != 0) RaiseFileError(true, target, error);
    OpenTemporary(tempCounter);
}

void TOutputFile::OpenTemporary(uint32_t& tempCounter) {
    for (int attempt = 0;; ++attempt) {
        const UString name = TemporaryName(tempCounter++);
        TNativeFile file{};
        const uint32_t error = OpenFileAt(FPlace.Folder(), FPlace.FolderPath(), name, faReadWrite, fdCreateNew, file);
        if (error == 0) {
            Open(name, file);
            return;
        }
        const bool taken = FileErrorKind(error) == TFileErrorKind::AlreadyExists;
        if (!taken || attempt == 1000) RaiseFileError(true, FTarget, error);
    }
}

void TOutputFile::Open(const UString& name, TNativeFile file) {
    FWritten = name;
    FStream = std::make_unique<TFileStream>(FTarget, file);
}

// What was written is removed through its own handle, never by its name alone.
TOutputFile::~TOutputFile() {
    if (FStream && !FDone) DeleteOpenFile(FPlace.Folder(), FWritten, FStream->Release());
}

void TOutputFile::Commit() {
    FDone = true;
    if (FWritten == FPlace.Name()) {
        FStream.reset();  // closes the handle
        return;
    }
    FStream.reset();
    const uint32_t error = ReplaceFileAt(FPlace.Folder(), FPlace.FolderPath(), FWritten, FPlace.Name());
    if (error != 0) {
        TNativeFile file{};  // the temporary is opened again, so that its handle removes it
        if (OpenFileAt(FPlace.Folder(), FPlace.FolderPath(), FWritten, faReadWrite, fdOpenExisting, file) == 0) {
            DeleteOpenFile(FPlace.Folder(), FWritten, file);
        }
        RaiseIfLinkRefused(error, FTarget);
        RaiseFileError(true, FTarget, error);
    }
}
