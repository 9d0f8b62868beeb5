#include "updater/file_system.h"

TPathAttributes TSystemFileSystem::Attributes(const UString& path) { return PathAttributes(path); }

TPathEntry TSystemFileSystem::FindEntry(const UString& path) { return FindPathEntry(path); }

uint32_t TSystemFileSystem::OpenForReading(const UString& path) { return OpenForReadingError(path); }

uint32_t TSystemFileSystem::ChangeErrorMode(uint32_t mode) { return ChangeProcessErrorMode(mode); }
