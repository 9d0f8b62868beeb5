#include "archive/output_file.h"

namespace {

// TemporaryName lies in the target's own folder: the target up to its last
// "\", "/" or ":" (a folder given as "C:/out/" holds its target behind a "/").
UString TemporaryName(const UString& target, uint32_t number) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    const size_t folderEnd = target.find_last_of(u"\\/:");
    UString name = folderEnd == UString::npos ? UString() : target.substr(0, folderEnd + 1);
    name += u"~kelvo";
    for (int shift = 28; shift >= 0; shift -= 4) name.push_back(kHex[(number >> shift) & 0xF]);
    name += u".tmp";
    return name;
}

}  // namespace

TOutputFile::TOutputFile(const UString& target, uint32_t& tempCounter) : FTarget(target) {
    TNativeFile file{};
    uint32_t error = OpenNativeFile(target, faReadWrite, fdCreateNew, file);
    if (error == 0) {  // a new target needs no temporary file
        FWritten = target;
        FStream = std::make_unique<TFileStream>(target, file);
        return;
    }
    if (!IsAlreadyExistsError(error)) RaiseFileError(true, target, error);
    // The target exists: it must be one that could be created anew in its place
    // (not in use, not a folder, not read-only, hidden or system) before
    // anything is written beside it, so a refused file keeps its content and
    // attributes and the run stops there.
    error = CheckReplaceable(target);
    if (error != 0) RaiseFileError(true, target, error);
    OpenTemporary(tempCounter);
}

void TOutputFile::OpenTemporary(uint32_t& tempCounter) {
    for (int attempt = 0;; ++attempt) {
        const UString name = TemporaryName(FTarget, tempCounter++);
        TNativeFile file{};
        const uint32_t error = OpenNativeFile(name, faReadWrite, fdCreateNew, file);
        if (error == 0) {
            FWritten = name;
            FStream = std::make_unique<TFileStream>(name, file);
            return;
        }
        if (!IsAlreadyExistsError(error) || attempt == 1000) RaiseFileError(true, FTarget, error);
    }
}

TOutputFile::~TOutputFile() {
    FStream.reset();
    if (!FDone) DeleteFileAt(FWritten);
}

void TOutputFile::Commit() {
    FStream.reset();  // closes the handle
    FDone = true;
    if (FWritten == FTarget) return;
    const uint32_t error = ReplaceFileWith(FWritten, FTarget);
    if (error != 0) {
        DeleteFileAt(FWritten);
        RaiseFileError(true, FTarget, error);
    }
}
