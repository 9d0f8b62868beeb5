#include "archive/staged_update.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>

#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "base/file_system.h"

namespace {

constexpr uint32_t kErrorFileNotFound = 2;  // ERROR_FILE_NOT_FOUND, and ENOENT alike
constexpr UStringView kHelperPrefix = u"~kelvo";
constexpr UStringView kStagedSuffix = u".new";
constexpr UStringView kOldSuffix = u".old";
constexpr UStringView kEarlierSuffix = u".tmp";  // the replacement file of earlier versions
constexpr size_t kHelperNameLength = 18;         // "~kelvo", 8 digits, suffix

std::function<uint32_t(const UString&)>& SwapHook() {
    static std::function<uint32_t(const UString&)> hook;
    return hook;
}

// FullFolderOf is the folder of target's full path, with its final separator.
UString FullFolderOf(const UString& target) {
    const UString full = FullPathOrName(target);
    const size_t end = full.find_last_of(u"\\/:");
    return end == UString::npos ? UString() : full.substr(0, end + 1);
}

bool IsHelperName(const UString& name) {
    if (name.size() != kHelperNameLength || UStringView(name).substr(0, kHelperPrefix.size()) != kHelperPrefix) {
        return false;
    }
    for (size_t i = kHelperPrefix.size(); i < kHelperPrefix.size() + 8; ++i) {
        const char16_t c = name[i];
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
    }
    const UStringView suffix = UStringView(name).substr(kHelperPrefix.size() + 8);
    return suffix == kStagedSuffix || suffix == kOldSuffix || suffix == kEarlierSuffix;
}

[[noreturn]] void RaiseWriteError() { throw EWriteError(UString(kStreamWriteError)); }

}  // namespace

void SetSwapHook(std::function<uint32_t(const UString& target)> hook) { SwapHook() = std::move(hook); }

TStagedUpdate::TStagedUpdate()
    : FCounter(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

TStagedUpdate::~TStagedUpdate() {
    if (FCommitted) return;
    for (const TStagedFile& file : FFiles) {
        if (!file.Staged.empty()) DeleteFileAt(file.Staged);
    }
    for (auto it = FFoldersMade.rbegin(); it != FFoldersMade.rend(); ++it) RemoveEmptyFolder(*it);
}

void TStagedUpdate::FolderMade(const UString& folder) { FFoldersMade.push_back(folder); }

UString TStagedUpdate::HelperName(const UString& folder, UStringView suffix) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    UString name = folder;
    name += kHelperPrefix;
    const uint32_t number = FCounter++;
    for (int shift = 28; shift >= 0; shift -= 4) name.push_back(kHex[(number >> shift) & 0xF]);
    name += suffix;
    return LongPathForm(name);
}

// RemoveLeftovers removes, once per folder, the staged files and old copies
// that a killed run left there.
void TStagedUpdate::RemoveLeftovers(const UString& folder) {
    if (!FCleanedFolders.insert(folder).second) return;
    for (const UString& name : FileNamesStartingWith(folder, UString(kHelperPrefix))) {
        if (IsHelperName(name)) DeleteFileAt(LongPathForm(folder + name));
    }
}

void TStagedUpdate::Stage(const UString& target, const UString& name, TStream& data, const TZipHeader& entry) {
    // The target must be one that could be created anew in its place before
    // anything is written beside it; a target that is not there is a new file.
    const uint32_t refused = CheckReplaceable(target);
    if (refused != 0 && refused != kErrorFileNotFound) RaiseFileError(true, target, refused);
    const UString folder = FullFolderOf(target);
    RemoveLeftovers(folder);
    TNativeFile handle{};
    UString staged;
    for (int attempt = 0;; ++attempt) {
        staged = HelperName(folder, kStagedSuffix);
        const uint32_t error = OpenNativeFile(staged, faReadWrite, fdCreateNew, handle);
        if (error == 0) break;
        if (!IsAlreadyExistsError(error) || attempt == 1000) RaiseFileError(true, target, error);
    }
    FFiles.push_back(TStagedFile{target, folder, staged, UString(), refused == 0});
    TFileStream out(staged, handle);
    CopyChecked(data, entry, out, name);
    if (FlushFileData(handle) != 0) RaiseWriteError();
}

// CopyChecked copies exactly the central record's uncompressed size,
// computing the checksum on the way.
void TStagedUpdate::CopyChecked(TStream& data, const TZipHeader& entry, TStream& out, const UString& name) {
    uint32_t remaining = entry.UncompressedSize;
    uLong crc = crc32(0L, Z_NULL, 0);
    if (remaining > 0 && FCopyBuffer.empty()) FCopyBuffer.resize(kCopyBufferSize);
    while (remaining > 0) {
        const uint32_t piece = std::min<uint32_t>(remaining, kCopyBufferSize);
        data.ReadBuffer(FCopyBuffer.data(), piece);
        crc = crc32(crc, FCopyBuffer.data(), piece);
        out.WriteBuffer(FCopyBuffer.data(), piece);
        remaining -= piece;
    }
    if (static_cast<uint32_t>(crc) != entry.CRC32) throw EZipException(Format(kChecksumError, {name}));
}

void TStagedUpdate::Commit() {
    // On the disk before the first swap: a power cut cannot leave a new name with lost contents.
    if (!FFiles.empty() && FlushVolumeOf(FFiles.front().Staged) != 0) RaiseWriteError();
    try {
        for (TStagedFile& file : FFiles) Swap(file);
    } catch (...) {
        PutBack();
        throw;
    }
    FCommitted = true;
    for (const TStagedFile& file : FFiles) {
        if (!file.OldCopy.empty()) DeleteFileAt(file.OldCopy);
    }
}

void TStagedUpdate::Swap(TStagedFile& file) {
    const uint32_t refused = SwapHook() ? SwapHook()(file.Target) : 0;
    if (refused != 0) RaiseFileError(true, file.Target, refused);
    const UString oldCopy = HelperName(file.Folder, kOldSuffix);
    uint32_t error = file.Replaces ? ReplaceKeepingOld(file.Staged, file.Target, oldCopy)
                                   : MoveToNewName(file.Staged, file.Target);
    if (!file.Replaces && IsAlreadyExistsError(error)) {  // the same file given twice, or one put there since
        file.Replaces = true;
        error = ReplaceKeepingOld(file.Staged, file.Target, oldCopy);
    }
    if (error != 0) RaiseFileError(true, file.Target, error);
    file.Staged.clear();
    if (file.Replaces) file.OldCopy = oldCopy;
    file.Swapped = true;
}

// PutBack undoes the swaps made, the last first, so that a target given twice
// ends with its first old file. An old copy that cannot be put back stays
// where it is rather than be lost.
void TStagedUpdate::PutBack() {
    for (auto it = FFiles.rbegin(); it != FFiles.rend(); ++it) {
        if (!it->Swapped) continue;
        if (it->OldCopy.empty()) {
            DeleteFileAt(it->Target);
        } else if (ReplaceFileWith(it->OldCopy, it->Target) == 0) {
            it->OldCopy.clear();
        }
        it->Swapped = false;
    }
}
