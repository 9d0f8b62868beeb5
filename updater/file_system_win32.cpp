#include "updater/file_system_win32.h"

#include "base/win32_handles.h"

TAttributesResult TSystemFileSystem::Attributes(const UString& path) {
    const DWORD attributes = ::GetFileAttributesW(W(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) return {false, 0, ::GetLastError()};
    return {true, attributes, 0};
}

TFindResult TSystemFileSystem::FindEntry(const UString& path) {
    WIN32_FIND_DATAW entry{};
    const TUniqueFind find(::FindFirstFileW(W(path), &entry));
    if (!find.Valid()) return {false, false};
    return {true, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

uint32_t TSystemFileSystem::OpenForReading(const UString& path) {
    const TUniqueFile file(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return ::GetLastError();
    return 0;
}

uint32_t TSystemFileSystem::ChangeErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }
