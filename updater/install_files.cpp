#include "updater/install_files.h"

namespace {

// A failed attribute query proves absence only for these errors; any other
// (access denied, sharing violation, drive not ready) leaves it to a search.
bool ErrorMeansAbsent(uint32_t error) {
    return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorInvalidName;
}

}  // namespace

TPathAttributes TSystemFileSystem::Attributes(const UString& path) { return PathAttributes(path); }

TPathEntry TSystemFileSystem::FindEntry(const UString& path) { return FindPathEntry(path); }

uint32_t TSystemFileSystem::OpenForReading(const UString& path) { return OpenForReadingError(path); }

uint32_t TSystemFileSystem::ChangeErrorMode(uint32_t mode) { return ChangeProcessErrorMode(mode); }

bool FileExists(TFileSystem& files, const UString& path) {
    const TPathAttributes attributes = files.Attributes(path);
    if (!attributes.Found) {
        if (ErrorMeansAbsent(attributes.Error)) return false;
        const TPathEntry entry = files.FindEntry(path);
        return entry.Found && !entry.Directory;
    }
    if ((attributes.Attributes & kFileAttributeDirectory) != 0) return false;
    if ((attributes.Attributes & kFileAttributeReparsePoint) == 0) return true;
    // A link: it counts only when its target can be opened, or is merely in use.
    const uint32_t error = files.OpenForReading(path);
    return error == 0 || error == kErrorSharingViolation;
}
