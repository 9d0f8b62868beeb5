// Where pack writes: never over what it did not make. The archive is written
// to a new temporary file beside ARCHIVE and renamed into place only when it
// is complete and checked; on any failure ARCHIVE stays as it was and only
// the temporary file, which pack created itself, is deleted.
#pragma once

#include <optional>

#include "base/file_system.h"
#include "base/text.h"

// PackOutputRefusal says why ARCHIVE must not be written (empty when it may):
// it is not a regular file (a device, a folder, a link), it lies inside the
// folder to pack (links resolved), or it exists and is not an update archive
// and force is not given.
std::optional<UString> PackOutputRefusal(const UString& folder, const UString& archive, bool force);

class TPackTemporary {
public:
    // TPackTemporary creates a new file beside archive, never an existing one.
    explicit TPackTemporary(const UString& archive);
    ~TPackTemporary();  // deletes the temporary file unless it was put in place
    TPackTemporary(const TPackTemporary&) = delete;
    TPackTemporary& operator=(const TPackTemporary&) = delete;

    const UString& Path() const { return FPath; }
    // TakeFile hands the open file over to its writer, once.
    TNativeFile TakeFile();
    // PutInPlace renames the temporary file over the archive.
    void PutInPlace();

private:
    UString FArchive;
    UString FPath;
    TNativeFile FFile = 0;
    bool FOwnsFile = false;
    bool FPlaced = false;
};
