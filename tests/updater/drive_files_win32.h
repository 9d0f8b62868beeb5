// TDriveFiles places files and folders at Windows paths (the test prefix maps
// drives D: to M: to folders of its own) and removes everything it created,
// newest first, when the test ends.
#pragma once

#include <windows.h>

#include <vector>

#include "base/text.h"

class TDriveFiles {
public:
    TDriveFiles() = default;
    ~TDriveFiles();
    TDriveFiles(const TDriveFiles&) = delete;
    TDriveFiles& operator=(const TDriveFiles&) = delete;

    // File creates an empty file, with the folders above it.
    void File(const UString& path);
    // Folder creates a folder, with the folders above it.
    void Folder(const UString& path);
    // Held opens a file without any sharing until the test ends.
    HANDLE Held(const UString& path);

private:
    void Folders(const UString& path);
    struct TMade {
        UString Path;
        bool IsFolder;
    };
    std::vector<TMade> FMade;
    std::vector<HANDLE> FHeld;
};
