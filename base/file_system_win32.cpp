#include <windows.h>

#include "base/file_system.h"
#include "base/win32_handles.h"

uint32_t OpenNativeFile(const UString& name, TFileAccess access, TFileDisposition disposition, TNativeFile& file) {
    const DWORD rights = access == faRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD create = disposition == fdOpenExisting   ? OPEN_EXISTING
                         : disposition == fdCreateAlways ? CREATE_ALWAYS
                                                         : CREATE_NEW;
    const HANDLE handle = ::CreateFileW(W(name), rights, 0, nullptr, create, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return ::GetLastError();
    file = reinterpret_cast<TNativeFile>(handle);
    return 0;
}

void CloseNativeFile(TNativeFile file) { ::CloseHandle(reinterpret_cast<HANDLE>(file)); }

namespace {

// Moves the file pointer and reads or writes in one call; the pointer ends
// after the bytes moved, as SetFilePointerEx followed by ReadFile would leave it.
OVERLAPPED At(int64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    return at;
}

constexpr int64_t kMaxTransfer = 1 << 30;

}  // namespace

int64_t NativeRead(TNativeFile file, int64_t offset, void* buffer, int64_t count) {
    OVERLAPPED at = At(offset);
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(count < kMaxTransfer ? count : kMaxTransfer);
    if (!::ReadFile(reinterpret_cast<HANDLE>(file), buffer, wanted, &got, &at)) return 0;
    return got;
}

int64_t NativeWrite(TNativeFile file, int64_t offset, const void* buffer, int64_t count) {
    int64_t total = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (total < count) {
        OVERLAPPED at = At(offset + total);
        DWORD put = 0;
        const int64_t rest = count - total;
        const DWORD wanted = static_cast<DWORD>(rest < kMaxTransfer ? rest : kMaxTransfer);
        if (!::WriteFile(reinterpret_cast<HANDLE>(file), in + total, wanted, &put, &at) || put == 0) break;
        total += put;
    }
    return total;
}

int64_t NativeFileSize(TNativeFile file) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(reinterpret_cast<HANDLE>(file), &size) ? size.QuadPart : 0;
}

bool IsAlreadyExistsError(uint32_t error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

uint32_t CheckReplaceable(const UString& path) {
    TUniqueFile file(::CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return ::GetLastError();
    // CREATE_ALWAYS refuses a read-only file, and a hidden or system one unless
    // the new attributes keep them; ours are normal.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) return ::GetLastError();
    constexpr DWORD kRefused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (info.dwFileAttributes & kRefused) != 0 ? ERROR_ACCESS_DENIED : 0;
}

uint32_t ExpandFileName(const UString& name, UString& full) {
    wchar_t small[MAX_PATH + 1];
    ::SetLastError(0);
    DWORD length = ::GetFullPathNameW(W(name), MAX_PATH + 1, small, nullptr);
    if (length == 0) {
        const DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_INVALID_NAME;
    }
    if (length <= MAX_PATH) {
        full = FromW(small, length);
    } else {
        std::u16string big(length, u'\0');
        length = ::GetFullPathNameW(W(name), length, reinterpret_cast<wchar_t*>(&big[0]), nullptr);
        big.resize(length);
        full = big;
    }
    return 0;
}

// Expanding here would change the folder's text (GetFullPathNameW drops the
// trailing dots and spaces of its last component), and the system resolves a
// relative path inside each call without a further query.
UString AnchoredFolder(const UString& folder) { return folder; }

UString FullPathOrName(const UString& name) {
    UString full;
    return ExpandFileName(name, full) == 0 ? full : name;
}

bool PathExists(const UString& path) { return ::GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

void CreateFolder(const UString& path) { ::CreateDirectoryW(W(path), nullptr); }

uint32_t LogicalDrives() { return ::GetLogicalDrives(); }

void DeleteFileAt(const UString& path) { ::DeleteFileW(W(path)); }

uint32_t ReplaceFileWith(const UString& source, const UString& target) {
    return ::MoveFileExW(W(source), W(target), MOVEFILE_REPLACE_EXISTING) ? 0 : ::GetLastError();
}

UString CurrentFolder() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return UString();
    UString folder(needed, u'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, reinterpret_cast<wchar_t*>(folder.data()));
    folder.resize(length < needed ? length : 0);
    return folder;
}

TPathAttributes PathAttributes(const UString& path) {
    const DWORD attributes = ::GetFileAttributesW(W(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) return {false, 0, ::GetLastError()};
    return {true, attributes, 0};
}

TPathEntry FindPathEntry(const UString& path) {
    WIN32_FIND_DATAW entry{};
    const TUniqueFind find(::FindFirstFileW(W(path), &entry));
    if (!find.Valid()) return {false, false};
    return {true, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

uint32_t OpenForReadingError(const UString& path) {
    const TUniqueFile file(::CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return ::GetLastError();
    return 0;
}

uint32_t ChangeProcessErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }

// ---- Staging an update.

namespace {

// SpelledOnDisk is target with its last part as the folder spells it
// (ReplaceFileW gives the file the name it is passed). A name with wildcards
// is no file's name and is left as it is.
UString SpelledOnDisk(const UString& target) {
    const size_t folderEnd = target.find_last_of(u"\\/:");
    const size_t leaf = folderEnd == UString::npos ? 0 : folderEnd + 1;
    if (target.find_first_of(u"*?", leaf) != UString::npos) return target;
    WIN32_FIND_DATAW entry{};
    const TUniqueFind find(::FindFirstFileExW(W(target), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    if (!find.Valid()) return target;
    return target.substr(0, leaf) + FromW(entry.cFileName);
}

}  // namespace

uint32_t ReplaceKeepingOld(const UString& replacement, const UString& target, const UString& oldCopy) {
    const UString spelled = SpelledOnDisk(target);
    if (::ReplaceFileW(W(spelled), W(replacement), W(oldCopy), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    // The old file was moved to oldCopy but the new one not into its place: put it back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(W(oldCopy), W(spelled), 0);
    return error;
}

uint32_t MoveToNewName(const UString& source, const UString& target) {
    return ::MoveFileExW(W(source), W(target), 0) ? 0 : ::GetLastError();
}

uint32_t FlushFileData(TNativeFile file) {
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(file)) ? 0 : ::GetLastError();
}

uint32_t FlushVolumeOf(const UString&) { return 0; }  // each file was flushed already

void RemoveEmptyFolder(const UString& path) { ::RemoveDirectoryW(W(path)); }

std::vector<UString> FileNamesStartingWith(const UString& folder, const UString& prefix) {
    std::vector<UString> names;
    UString pattern = folder;
    if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/' && pattern.back() != u':') {
        pattern.push_back(u'\\');
    }
    pattern += prefix + u"*";
    WIN32_FIND_DATAW entry{};
    const TUniqueFind find(::FindFirstFileExW(W(pattern), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    if (!find.Valid()) return names;
    do {
        names.push_back(FromW(entry.cFileName));
    } while (::FindNextFileW(find.Get(), &entry));
    return names;
}

UString LongPathForm(const UString& fullPath) {
    if (fullPath.size() < MAX_PATH || fullPath.compare(0, 4, u"\\\\?\\") == 0) return fullPath;
    if (fullPath.compare(0, 2, u"\\\\") == 0) return u"\\\\?\\UNC\\" + fullPath.substr(2);
    return u"\\\\?\\" + fullPath;
}
