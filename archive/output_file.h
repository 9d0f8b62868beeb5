// TOutputFile is where one entry's data goes, so that a target is never left
// torn: a target that did not exist is created directly and removed again if
// the entry fails; an existing target is first checked to be replaceable, the
// data goes to a temporary file beside it, and only a complete, verified file
// replaces it (Commit). Until Commit, freeing the object removes what it wrote.
#pragma once

#include <memory>

#include "archive/file_stream.h"
#include "archive/target_guard.h"

class TOutputFile {
public:
    // TOutputFile raises EFCreateError "Cannot create file" with the target's
    // full path when the target cannot be created or replaced.
    // The files are opened, replaced and removed in PLACE, the target's held
    // folder, never through a link (ELinkRefused names it).
    TOutputFile(const UString& target, TFilePlace place, uint32_t& tempCounter);
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    TStream& Stream() { return *FStream; }
    // Commit closes the file and, for a replacement, moves it over the target.
    void Commit();

private:
    void OpenTemporary(uint32_t& tempCounter);

    void Open(const UString& name, TNativeFile file);

    UString FTarget;
    TFilePlace FPlace;
    UString FWritten;  // the name being written in FPlace: the target's own or the temporary's
    std::unique_ptr<TFileStream> FStream;
    bool FDone = false;
};
