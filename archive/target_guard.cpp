#include "archive/target_guard.h"

#include <utility>

#include "archive/zip_texts.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

UString WithoutTrailingSeparators(UString path) {
    while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != u':') path.pop_back();
    return path;
}

UString Joined(const UString& folder, const UString& name) {
    return folder.empty() || IsSeparator(folder.back()) ? folder + name : folder + u"\\" + name;
}

void CloseAll(std::vector<TNativeFile>& files) {
    while (!files.empty()) {
        CloseNativeFile(files.back());
        files.pop_back();
    }
}

}  // namespace

struct THeldLevel {
    std::shared_ptr<const THeldLevel> Parent;
    std::vector<TNativeFile> Holds;  // the folder last
    THeldFolder Folder;              // the folder, its identity taken when it was opened
    ~THeldLevel() { CloseAll(Holds); }
};

void RaiseIfLinkRefused(uint32_t error, const UString& path) {
    if (FileErrorKind(error) == TFileErrorKind::UntrustedLink) {
        throw ELinkRefused(Format(kLinkRefused, {FullPathOrName(path)}));
    }
}

TTargetGuard::TTargetGuard(const UString& folder) : FFolder(WithoutTrailingSeparators(folder)) {}

TTargetGuard::~TTargetGuard() { CloseAll(FHolds); }

std::vector<UString> TTargetGuard::PartsBelow(const UString& path) const {
    std::vector<UString> parts;
    UString part;
    for (size_t at = FFolder.size(); at <= path.size(); ++at) {
        if (at == path.size() || IsSeparator(path[at])) {
            if (!part.empty() && part != u".") parts.push_back(part);
            part.clear();
        } else {
            part.push_back(path[at]);
        }
    }
    return parts;
}

void TTargetGuard::Walk(const std::vector<UString>& parts, bool create, TFilePlace& place) {
    if (!FHeld) {  // the first entry holds the folder, which exists by then
        UString refused;
        FHoldError = HoldFolderPath(FFolder, FHolds, refused);
        RaiseIfLinkRefused(FHoldError, refused);
        if (FHoldError == 0) FHeldFolder = HeldFolder(FHolds.back(), FFolder);
        FHeld = true;
    }
    place.FError = FHoldError;
    if (FHoldError != 0) return;
    // A level some place still holds is used again while it is still the
    // folder at its name; one moved away is opened anew, never through a link.
    // A place that could not be reached is given no folder at all.
    const THeldFolder* folder = &FHeldFolder;
    for (const UString& part : parts) {
        const UString levelPath = Joined(folder->Path, part);
        std::shared_ptr<const THeldLevel> level = FLevels[levelPath].lock();
        if (level && !HeldFolderIsAt(*folder, part, level->Folder.Identity)) level.reset();
        if (!level) {
            auto opened = std::make_shared<THeldLevel>();
            opened->Parent = place.FLevel;
            place.FError = OpenFolderAt(*folder, part, create, opened->Holds);
            RaiseIfLinkRefused(place.FError, levelPath);
            if (place.FError != 0) return;
            opened->Folder = HeldFolder(opened->Holds.back(), levelPath);
            FLevels[levelPath] = opened;
            level = std::move(opened);
        }
        place.FLevel = std::move(level);
        folder = &place.FLevel->Folder;
    }
    place.FFolder = *folder;
}

void TTargetGuard::MakeFolder(const UString& folder) {
    TFilePlace place;
    Walk(PartsBelow(folder), true, place);  // a level that cannot be made fails the file's creation instead
}

TFilePlace TTargetGuard::PlaceOf(const UString& target) {
    std::vector<UString> parts = PartsBelow(target);
    TFilePlace place;
    if (!parts.empty()) {
        place.FName = parts.back();
        parts.pop_back();
    }
    Walk(parts, false, place);
    return place;
}
