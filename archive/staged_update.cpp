#include "archive/staged_update.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>

#include "archive/file_stream.h"
#include "archive/target_guard.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "base/file_system.h"

namespace {

constexpr UStringView kHelperPrefix = u"~kelvo";
constexpr UStringView kStagedSuffix = u".new";
constexpr UStringView kOldSuffix = u".old";
constexpr UStringView kEarlierSuffix = u".tmp";  // the replacement file of earlier versions
constexpr size_t kHelperNameLength = 18;         // "~kelvo", 8 digits, suffix

std::function<uint32_t(const UString&)>& SwapHook() {
    static std::function<uint32_t(const UString&)> hook;
    return hook;
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

// RemoveAt removes the file NAME of PLACE (a link there itself); a failure is not reported.
void RemoveAt(const TFilePlace& place, const UString& name) { RemoveFileAt(place.Folder(), name); }

}  // namespace

void SetSwapHook(std::function<uint32_t(const UString& target)> hook) { SwapHook() = std::move(hook); }

TStagedUpdate::TStagedUpdate()
    : FFlush(std::make_unique<TDataFlush>()),
      FCounter(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

// The staged files go first and their places with them, so that no held
// level keeps a folder made by this run from being removed, innermost first.
// The folders made above the target folder, the first ones made, go last:
// on Windows the guard holds them until it is freed.
TStagedUpdate::~TStagedUpdate() {
    if (FCommitted) return;
    FFlush.reset();  // it lets go of the staged files, which can then be removed
    for (const TStagedFile& file : FFiles) {
        if (!file.Staged.empty()) RemoveAt(file.Place, file.Staged);
    }
    FFiles.clear();
    for (; !FFoldersMade.empty() && FFoldersMade.back().Place.Folder().Handle != 0; FFoldersMade.pop_back()) {
        const TFilePlace& place = FFoldersMade.back().Place;
        RemoveEmptyFolderAt(place.Folder(), place.Name());
    }
    FGuard.reset();
    for (; !FFoldersMade.empty(); FFoldersMade.pop_back()) RemoveEmptyFolder(FFoldersMade.back().Folder);
}

TTargetGuard& TStagedUpdate::Guard(const UString& folder) {
    if (!FGuard) FGuard = std::make_unique<TTargetGuard>(folder);
    return *FGuard;
}

// A folder whose parent could not be reached was not made either: there is
// nothing to remove, and no held folder to remove it from.
void TStagedUpdate::FolderMade(const UString& folder, TFilePlace place) {
    if (place.Error() != 0) return;
    FFoldersMade.push_back(TFolderMade{folder, std::move(place)});
}

UString TStagedUpdate::HelperName(UStringView suffix) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    UString name(kHelperPrefix);
    const uint32_t number = FCounter++;
    for (int shift = 28; shift >= 0; shift -= 4) name.push_back(kHex[(number >> shift) & 0xF]);
    name += suffix;
    return name;
}

// RemoveLeftovers removes, once per folder, the staged files and old copies
// that a killed run left there.
void TStagedUpdate::RemoveLeftovers(const TFilePlace& place) {
    if (!FCleanedFolders.insert(place.Folder().Path).second) return;
    for (const UString& name : FileNamesStartingWithAt(place.Folder(), UString(kHelperPrefix))) {
        if (IsHelperName(name)) RemoveAt(place, name);
    }
}

void TStagedUpdate::Stage(const UString& target, TFilePlace place, const UString& name, TStream& data,
                          const TZipHeader& entry) {
    if (place.Error() != 0) RaiseFileError(true, target, place.Error());
    // The target must be one that could be created anew in its place before
    // anything is written beside it; a target that is not there is a new file.
    const uint32_t refused = CheckReplaceableAt(place.Folder(), place.Name());
    RaiseIfLinkRefused(refused, target);
    if (refused != 0 && FileErrorKind(refused) != TFileErrorKind::NotFound) RaiseFileError(true, target, refused);
    RemoveLeftovers(place);
    TNativeFile handle{};
    UString staged;
    for (int attempt = 0;; ++attempt) {
        staged = HelperName(kStagedSuffix);
        const uint32_t error = OpenFileAt(place.Folder(), staged, faReadWrite, fdCreateNew, handle);
        if (error == 0) break;
        RaiseIfLinkRefused(error, target);
        if (FileErrorKind(error) != TFileErrorKind::AlreadyExists || attempt == 1000) {
            RaiseFileError(true, target, error);
        }
    }
    FFiles.push_back(TStagedFile{target, std::move(place), staged, UString(), refused == 0});
    TFileStream out(target, handle);
    CopyChecked(data, entry, out, name);
    if (FFlush->Add(handle, entry.UncompressedSize) != 0) RaiseWriteError();
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
    if (!FFiles.empty() && FFlush->Finish(FFiles.front().Place.Folder()) != 0) RaiseWriteError();
    try {
        for (TStagedFile& file : FFiles) Swap(file);
    } catch (...) {
        PutBack();
        throw;
    }
    FCommitted = true;
    for (const TStagedFile& file : FFiles) {
        if (!file.OldCopy.empty()) RemoveAt(file.Place, file.OldCopy);
    }
}

void TStagedUpdate::Swap(TStagedFile& file) {
    const uint32_t refused = SwapHook() ? SwapHook()(file.Target) : 0;
    if (refused != 0) RaiseFileError(true, file.Target, refused);
    const TFilePlace& place = file.Place;
    const UString oldCopy = HelperName(kOldSuffix);
    const auto replace = [&] {
        return ReplaceKeepingOldAt(place.Folder(), file.Staged, place.Name(), oldCopy);
    };
    uint32_t error = file.Replaces ? replace() : MoveToNewNameAt(place.Folder(), file.Staged, place.Name());
    if (!file.Replaces && FileErrorKind(error) == TFileErrorKind::AlreadyExists) {
        // the same file given twice, or one put there since
        file.Replaces = true;
        error = replace();
    }
    RaiseIfLinkRefused(error, file.Target);
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
        const TFilePlace& place = it->Place;
        if (it->OldCopy.empty()) {
            RemoveAt(place, place.Name());
        } else {
            ReplaceFileAt(place.Folder(), it->OldCopy, place.Name());
        }
    }
}
