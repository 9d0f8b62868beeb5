// The target guard: an extraction writes only inside its target folder. The
// folder is held open from the first entry until the run ends, and every
// level below it is opened from the level above without following a link,
// so that no link planted in the folder, and none put there after a check,
// redirects a write (on Windows the held levels cannot even be swapped).
// Any writer calls it the same way: ask for the place of a target, then
// open, replace and remove files there by name.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "base/file_system.h"

// THeldLevel is one folder below the target folder, held open, with the
// levels above it: every place inside it shares it, so that an update of
// thousands of files holds each folder once.
struct THeldLevel;

// TFilePlace is the held folder a target lies in, and the target's own name
// there. The levels it reached stay held for as long as it lives.
class TFilePlace {
public:
    uint32_t Error() const { return FError; }  // 0 when the folder is held
    const THeldFolder& Folder() const { return FFolder; }
    const UString& Name() const { return FName; }

private:
    friend class TTargetGuard;
    std::shared_ptr<const THeldLevel> FLevel;  // none for the target folder itself
    THeldFolder FFolder;
    UString FName;
    uint32_t FError = 0;
};

class TTargetGuard {
public:
    // FOLDER is the target folder's full path; nothing is opened yet.
    explicit TTargetGuard(const UString& folder);
    ~TTargetGuard();
    TTargetGuard(const TTargetGuard&) = delete;
    TTargetGuard& operator=(const TTargetGuard&) = delete;

    // MakeFolder creates each missing level of FOLDER (a full path inside the
    // target folder); a link on the way raises ELinkRefused naming it.
    void MakeFolder(const UString& folder);
    // PlaceOf is the place of TARGET (a full path inside the target folder):
    // its folder reached level by level, a link on the way raising
    // ELinkRefused naming it; any other failure is left in Error.
    TFilePlace PlaceOf(const UString& target);

private:
    // Walk opens each of PARTS below the held target folder into PLACE.
    void Walk(const std::vector<UString>& parts, bool create, TFilePlace& place);
    std::vector<UString> PartsBelow(const UString& path) const;

    UString FFolder;
    std::unordered_map<UString, std::weak_ptr<const THeldLevel>> FLevels;  // by full path, while a place holds them
    std::vector<TNativeFile> FHolds;  // the target folder (Windows: and the levels above it)
    THeldFolder FHeldFolder;          // the target folder, once held
    uint32_t FHoldError = 0;
    bool FHeld = false;
};

// RaiseIfLinkRefused raises ELinkRefused naming PATH when ERROR is the
// seam's answer for a link it does not follow.
void RaiseIfLinkRefused(uint32_t error, const UString& path);
