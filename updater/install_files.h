// The file questions of the install search, behind an interface so that the
// search's rules can be driven by a fake where the real system cannot produce
// a case (links on files, access denied, drives that are not ready).
// TSystemFileSystem answers them through the base layer's file-system seam.
#pragma once

#include <cstdint>

#include "base/file_system.h"
#include "base/text.h"

// Windows' error codes the existence test tells apart.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorInvalidName = 123;

class TFileSystem {
public:
    virtual ~TFileSystem() = default;
    // Attributes asks for the path's own attributes (GetFileAttributesW).
    virtual TPathAttributes Attributes(const UString& path) = 0;
    // FindEntry looks the path up as a search pattern (FindFirstFileW).
    virtual TPathEntry FindEntry(const UString& path) = 0;
    // OpenForReading opens and closes the path for shared reading
    // (CreateFileW with GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING) and
    // answers 0 on success, else the system's error code.
    virtual uint32_t OpenForReading(const UString& path) = 0;
    // ChangeErrorMode sets the process's error mode and answers the previous one.
    virtual uint32_t ChangeErrorMode(uint32_t mode) = 0;
};

// TSystemFileSystem asks the system itself.
class TSystemFileSystem final : public TFileSystem {
public:
    TPathAttributes Attributes(const UString& path) override;
    TPathEntry FindEntry(const UString& path) override;
    uint32_t OpenForReading(const UString& path) override;
    uint32_t ChangeErrorMode(uint32_t mode) override;
};

// FileExists tells whether path names an existing file, not a folder, with
// symbolic links followed.
bool FileExists(TFileSystem& files, const UString& path);
