// The file calls of the install search, behind an interface so that the
// search's rules can be driven by a fake where the real system cannot produce
// a case (links on files, access denied, drives that are not ready).
#pragma once

#include <cstdint>

#include "base/text.h"

// Error codes and attribute bits the existence test tells apart.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeReparsePoint = 0x400;  // carried by symbolic links and junctions
constexpr uint32_t kFailCriticalErrors = 0x0001;     // no "There is no disk in the drive" box

struct TAttributesResult {
    bool Found;
    uint32_t Attributes;  // valid when Found
    uint32_t Error;       // the system's error code when not Found
};

struct TFindResult {
    bool Found;
    bool Directory;  // the entry found is a folder
};

class TFileSystem {
public:
    virtual ~TFileSystem() = default;
    // Attributes asks for the path's attributes (GetFileAttributesW).
    virtual TAttributesResult Attributes(const UString& path) = 0;
    // FindEntry looks the path up as a search pattern (FindFirstFileW).
    virtual TFindResult FindEntry(const UString& path) = 0;
    // OpenForReading opens and closes the path for shared reading
    // (CreateFileW with GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING) and
    // answers 0 on success, else the system's error code.
    virtual uint32_t OpenForReading(const UString& path) = 0;
    // ChangeErrorMode sets the process's error mode and answers the previous one.
    virtual uint32_t ChangeErrorMode(uint32_t mode) = 0;
};
