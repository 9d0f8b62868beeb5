// TStagedUpdate makes an extraction all or nothing. Stage writes one entry's
// data into a staged file beside its target and checks it (size, CRC-32);
// nothing installed changes. Commit puts the staged data on the disk, then
// replaces the targets in the order they were staged, keeping the old file of
// each; a swap that fails puts back every file already swapped, and only when
// all have succeeded are the old files removed. An update freed without a
// successful Commit removes its staged files and the folders noted as made by
// this run (those that are empty), so the target folder is as it was.
//
// Staged files and old copies lie beside their targets under names no
// installed file has: "~kelvo", 8 hexadecimal digits, ".new" or ".old"; a
// staged file's name that is taken is skipped for the next, a thousand times at
// most. A run that was killed leaves at most such files; the next run removes
// them from every folder it stages into, before it stages.
//
// Every file is made, replaced and removed inside the held folder of its
// target's place (TFilePlace, from the target guard), never through a link;
// the places stay held until the update is freed, so no folder it works in
// can be swapped between staging and the commit.
#pragma once

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "archive/streams.h"
#include "archive/target_guard.h"
#include "archive/zip_format.h"
#include "base/data_flush.h"
#include "base/text.h"

class TStagedUpdate {
public:
    TStagedUpdate();
    ~TStagedUpdate();
    TStagedUpdate(const TStagedUpdate&) = delete;
    TStagedUpdate& operator=(const TStagedUpdate&) = delete;

    // Guard is the target guard of FOLDER (the target folder's full path),
    // made on first use; the update keeps it, and so the folders it holds,
    // for as long as the update lives.
    TTargetGuard& Guard(const UString& folder);
    // FolderMade notes a folder this run created: a failed update removes it
    // again when empty. PLACE is the folder's own place (its parent held, its
    // name), or one without a folder for a level above the target folder.
    void FolderMade(const UString& folder, TFilePlace place);
    // Stage writes exactly entry.UncompressedSize bytes of data into a staged
    // file beside target. It raises EFCreateError "Cannot create file" (the
    // target's full path) when the target is there but could not be created
    // anew (in use, a folder, read-only, hidden or system) or the staged file
    // cannot be made; the copy's own errors ("Stream read error", "Stream write
    // error"); and EZipException "Checksum error in" name for a wrong CRC-32.
    // PLACE is the target's place; a link there raises ELinkRefused.
    void Stage(const UString& target, TFilePlace place, const UString& name, TStream& data, const TZipHeader& entry);
    // Commit replaces the targets; a failing swap raises the error of that
    // target ("Cannot create file") after every earlier swap was put back.
    void Commit();

private:
    struct TStagedFile {
        UString Target;
        TFilePlace Place;  // the target's held folder and name
        UString Staged;    // the staged file's name there, then (after its swap) nothing
        UString OldCopy;   // the name of the target's old file while the update is not complete
        bool Replaces;     // a file stood at the target when it was staged
        bool Swapped = false;
    };
    struct TFolderMade {
        UString Folder;
        TFilePlace Place;
    };

    UString HelperName(UStringView suffix);
    void RemoveLeftovers(const TFilePlace& place);
    void CopyChecked(TStream& data, const TZipHeader& entry, TStream& out, const UString& name);
    void Swap(TStagedFile& file);
    void PutBack();

    std::unique_ptr<TTargetGuard> FGuard;  // freed after the places below, which lie in its folders
    std::unique_ptr<TDataFlush> FFlush;    // holds the staged files it has not flushed yet
    std::vector<TStagedFile> FFiles;
    std::vector<TFolderMade> FFoldersMade;
    std::unordered_set<UString> FCleanedFolders;
    TBytes FCopyBuffer;
    uint32_t FCounter;
    bool FCommitted = false;
};

// SetSwapHook (tests only: a swap failing half-way) runs hook before each
// swap with the target's path; a nonzero answer fails that swap with this
// system error code, as if the system had refused it. An empty hook ends it.
void SetSwapHook(std::function<uint32_t(const UString& target)> hook);
