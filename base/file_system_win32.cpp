#include <windows.h>
#include <aclapi.h>

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

namespace {

// AttributesOf asks an open file for its attributes alone: GetFileInformationByHandle
// would also ask for the volume's serial number, which Wine fetches from its mount
// manager, another process, every time (most of an update's time there).
bool AttributesOf(HANDLE file, DWORD& attributes) {
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info)) return false;
    attributes = info.FileAttributes;
    return true;
}

uint32_t ReplaceableError(HANDLE file) {
    // CREATE_ALWAYS refuses a read-only file, and a hidden or system one unless
    // the new attributes keep them; ours are normal.
    DWORD attributes = 0;
    if (!AttributesOf(file, attributes)) return ::GetLastError();
    constexpr DWORD kRefused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kRefused) != 0 ? ERROR_ACCESS_DENIED : 0;
}

}  // namespace

uint32_t CheckReplaceable(const UString& path) {
    TUniqueFile file(::CreateFileW(W(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return ::GetLastError();
    return ReplaceableError(file.Get());
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

uint32_t LastSystemError() { return ::GetLastError(); }

uint32_t SetNativeFileSize(TNativeFile file, int64_t size) {
    const HANDLE handle = reinterpret_cast<HANDLE>(file);
    LARGE_INTEGER end;
    end.QuadPart = size;
    if (!::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) return ::GetLastError();
    return 0;
}

// ERROR_REPARSE_POINT_ENCOUNTERED: "The object manager encountered a reparse
// point while retrieving an object."
const uint32_t kErrorUntrustedLink = 4395;

TFileErrorKind FileErrorKind(uint32_t error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return TFileErrorKind::NotFound;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return TFileErrorKind::AlreadyExists;
        case ERROR_SHARING_VIOLATION: return TFileErrorKind::SharingViolation;
        case ERROR_INVALID_NAME: return TFileErrorKind::InvalidName;
        case kErrorUntrustedLink: return TFileErrorKind::UntrustedLink;
        default: return TFileErrorKind::Other;
    }
}

namespace {

// The three owners whose links are followed: only an administrator can give
// a file to one of them.
bool IsTrustedOwner(PSID owner) {
    if (owner == nullptr || !::IsValidSid(owner)) return false;
    if (::IsWellKnownSid(owner, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(owner, WinLocalSystemSid)) return true;
    // NT SERVICE\TrustedInstaller: S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID installer = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 6, 80, 956008885, 3418522649u, 1831038044, 1853292631, 2271478464u, 0, 0,
                                    &installer)) {
        return false;
    }
    const bool same = ::EqualSid(owner, installer) != FALSE;
    ::FreeSid(installer);
    return same;
}

bool OwnerIsTrusted(HANDLE handle) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = ::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                          nullptr, &descriptor);
    const TUniqueLocal descriptorMemory(descriptor);
    return error == ERROR_SUCCESS && IsTrustedOwner(owner);
}

// IsReparsePoint asks the opened object, and its path as well: Wine reports a
// folder link only through the path's attributes.
bool IsReparsePoint(HANDLE handle, const UString& path) {
    DWORD own = 0;
    if (AttributesOf(handle, own) && (own & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    const DWORD attributes = ::GetFileAttributesW(W(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

constexpr DWORD kHoldShare = FILE_SHARE_READ | FILE_SHARE_WRITE;  // never FILE_SHARE_DELETE: no rename, no removal
constexpr DWORD kHoldRights = FILE_READ_ATTRIBUTES | READ_CONTROL;

// HoldLevel holds one folder level. The level itself is opened, not what a
// link there points to; a link is followed only when an administrator made
// it, and then what it points to is held as well.
uint32_t HoldLevel(const UString& path, std::vector<TNativeFile>& holds) {
    TUniqueFile level(::CreateFileW(W(path), kHoldRights, kHoldShare, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!level.Valid()) return ::GetLastError();
    if (!IsReparsePoint(level.Get(), path)) {
        holds.push_back(reinterpret_cast<TNativeFile>(level.Release()));
        return 0;
    }
    if (!OwnerIsTrusted(level.Get())) return kErrorUntrustedLink;
    TUniqueFile followed(
        ::CreateFileW(W(path), kHoldRights, kHoldShare, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!followed.Valid()) return ::GetLastError();
    holds.push_back(reinterpret_cast<TNativeFile>(level.Release()));
    holds.push_back(reinterpret_cast<TNativeFile>(followed.Release()));
    return 0;
}

// JoinedPath is NAME inside FOLDER (a full path), in the form that opens
// whatever its length: a helper name beside a legal target may pass MAX_PATH.
UString JoinedPath(const UString& folder, const UString& name) {
    return LongPathForm(!folder.empty() && folder.back() == u'\\' ? folder + name : folder + u"\\" + name);
}

// RootLength: "C:\" or "\\server\share\" (also behind "\\?\" and "\\?\UNC\").
size_t RootLength(const UString& path) {
    size_t start = 0;
    if (path.compare(0, 8, u"\\\\?\\UNC\\") == 0) {
        start = 8;
    } else if (path.compare(0, 4, u"\\\\?\\") == 0) {
        start = 4;
    } else if (path.compare(0, 2, u"\\\\") == 0) {
        start = 2;
    }
    if (start != 2 && start != 8) return path.size() > start + 2 && path[start + 1] == u':' ? start + 3 : start;
    const size_t server = path.find(u'\\', start);
    const size_t share = server == UString::npos ? UString::npos : path.find(u'\\', server + 1);
    return share == UString::npos ? path.size() : share + 1;
}

// VolumeOf is the serial number of the volume an open file lies on. FileIdInfo
// (Windows 8 and later) answers from the file system; Wine answers it without
// asking its mount manager, another process, as GetFileInformationByHandle
// does each time. Older systems answer only the latter.
bool VolumeOf(HANDLE handle, uint64_t& volume) {
    struct TFileIdInfo {  // FILE_ID_INFO, which the headers show only to programs for Windows 8 and later
        ULONGLONG VolumeSerialNumber;
        BYTE FileId[16];
    } id{};
    constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    if (::GetFileInformationByHandleEx(handle, kFileIdInfo, &id, sizeof id)) {
        volume = id.VolumeSerialNumber;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return false;
    volume = info.dwVolumeSerialNumber;
    return true;
}

// NameOnVolume is the path of an open file or folder on its volume (what a
// link on the way led to, without the drive) and the volume's serial number.
// Asked of the handle, at any length (GetFinalPathNameByHandleW under Wine
// stops at MAX_PATH).
bool NameOnVolume(HANDLE handle, UString& name, uint64_t& volume) {
    if (!VolumeOf(handle, volume)) return false;
    std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 32768 * sizeof(WCHAR)) / sizeof(DWORD) + 1);
    auto* named = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!::GetFileInformationByHandleEx(handle, FileNameInfo, named, static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
        return false;
    }
    name.assign(reinterpret_cast<const char16_t*>(named->FileName), named->FileNameLength / sizeof(WCHAR));
    return true;
}

bool SameText(const UString& a, const UString& b) {
    return ::CompareStringOrdinal(W(a), static_cast<int>(a.size()), W(b), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// LiesIn: the opened file lies on the held folder's volume, in that folder.
// A folder whose name could not be taken when it was held holds no file.
bool LiesIn(HANDLE file, const TFolderIdentity& folder) {
    UString filePath;
    uint64_t fileVolume = 0;
    if (folder.NameOnVolume.empty() || !NameOnVolume(file, filePath, fileVolume)) return false;
    const size_t cut = filePath.find_last_of(u'\\');
    if (fileVolume != folder.Device || cut == UString::npos) return false;
    UString folderPath = folder.NameOnVolume;
    while (!folderPath.empty() && folderPath.back() == u'\\') folderPath.pop_back();
    return SameText(filePath.substr(0, cut), folderPath);
}

}  // namespace

uint32_t HoldFolderPath(const UString& path, std::vector<TNativeFile>& holds, UString& refused) {
    UString full;
    uint32_t error = ExpandFileName(path, full);
    const size_t root = error == 0 ? RootLength(full) : 0;
    for (size_t at = root; error == 0 && at <= full.size(); ++at) {
        if (at != full.size() && full[at] != u'\\') continue;
        if (at > root && full[at - 1] == u'\\') continue;
        const UString level = at == root ? full.substr(0, root) : full.substr(0, at);
        error = HoldLevel(level, holds);
        if (error != 0) refused = level;
    }
    if (error != 0 && refused.empty()) refused = path;
    return error;
}

uint32_t OpenFolderAt(const THeldFolder& parent, const UString& name, bool create, std::vector<TNativeFile>& holds) {
    const UString path = JoinedPath(parent.Path, name);
    if (create) ::CreateDirectoryW(W(path), nullptr);  // an existing one is fine; holding it answers
    return HoldLevel(path, holds);
}

// Held without FILE_SHARE_DELETE, a level (and every level above it) can be
// neither renamed nor removed, and nothing else can take its name: its path
// on the volume, taken once here, stays true while it is held.
THeldFolder HeldFolder(TNativeFile handle, const UString& path) {
    THeldFolder held{handle, path, {}};
    if (!NameOnVolume(reinterpret_cast<HANDLE>(handle), held.Identity.NameOnVolume, held.Identity.Device)) {
        held.Identity.NameOnVolume.clear();
    }
    return held;
}

bool HeldFolderIsAt(const THeldFolder&, const UString&, const TFolderIdentity&) { return true; }

uint32_t OpenFileAt(const THeldFolder& folder, const UString& name, TFileAccess access, TFileDisposition disposition,
                    TNativeFile& file) {
    const DWORD rights = access == faRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE | DELETE;
    const DWORD create = disposition == fdOpenExisting   ? OPEN_EXISTING
                         : disposition == fdCreateAlways ? CREATE_ALWAYS
                                                         : CREATE_NEW;
    const UString path = JoinedPath(folder.Path, name);
    TUniqueFile opened(::CreateFileW(W(path), rights, 0, nullptr, create,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.Valid()) return ::GetLastError();
    // A file link is never written through, whoever made it: what it points
    // to lies outside the folder. And what was opened must lie in the folder.
    if (IsReparsePoint(opened.Get(), path) || !LiesIn(opened.Get(), folder.Identity)) {
        if (disposition == fdCreateNew) {  // a file this call created goes again, through its handle
            FILE_DISPOSITION_INFO remove{TRUE};
            ::SetFileInformationByHandle(opened.Get(), FileDispositionInfo, &remove, sizeof remove);
        }
        return kErrorUntrustedLink;
    }
    file = reinterpret_cast<TNativeFile>(opened.Release());
    return 0;
}

uint32_t CheckReplaceableAt(const THeldFolder& folder, const UString& name) {
    TNativeFile file = 0;
    const uint32_t error = OpenFileAt(folder, name, faReadWrite, fdOpenExisting, file);
    if (error != 0) return error;
    const TUniqueFile opened(reinterpret_cast<HANDLE>(file));
    return ReplaceableError(opened.Get());
}

// The folder is held, so the two names resolve inside it; MoveFileExW
// replaces a link at TARGET itself and never follows it.
uint32_t ReplaceFileAt(const THeldFolder& folder, const UString& source, const UString& target) {
    return ReplaceFileWith(JoinedPath(folder.Path, source), JoinedPath(folder.Path, target));
}

// DeleteFileW removes a link itself; the held levels keep the name inside the folder.
void RemoveFileAt(const THeldFolder& folder, const UString& name) {
    ::DeleteFileW(W(JoinedPath(folder.Path, name)));
}

uint32_t OpenArchiveFile(const UString& name, TFileAccess access, TNativeFile& file) {
    const DWORD rights = access == faRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    TUniqueFile opened(::CreateFileW(W(name), rights, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!opened.Valid()) return ::GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(opened.Get(), &info)) return ::GetLastError();
    if (IsReparsePoint(opened.Get(), name) || info.nNumberOfLinks != 1) return kErrorUntrustedLink;
    file = reinterpret_cast<TNativeFile>(opened.Release());
    return 0;
}

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

// The target is opened first as OpenFileAt opens it: a link there, or a file
// that is not replaceable, is refused before ReplaceFileW sees its name.
uint32_t ReplaceKeepingOldAt(const THeldFolder& folder, const UString& replacement, const UString& target,
                             const UString& oldCopy) {
    if (const uint32_t refused = CheckReplaceableAt(folder, target)) return refused;
    const UString spelled = SpelledOnDisk(JoinedPath(folder.Path, target));
    const UString old = JoinedPath(folder.Path, oldCopy);
    if (::ReplaceFileW(W(spelled), W(JoinedPath(folder.Path, replacement)), W(old), REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    // The old file was moved to oldCopy but the new one not into its place: put it back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(W(old), W(spelled), 0);
    return error;
}

uint32_t MoveToNewNameAt(const THeldFolder& folder, const UString& source, const UString& target) {
    return ::MoveFileExW(W(JoinedPath(folder.Path, source)), W(JoinedPath(folder.Path, target)), 0) ? 0
                                                                                                     : ::GetLastError();
}

void RemoveEmptyFolder(const UString& path) { ::RemoveDirectoryW(W(path)); }

// RemoveDirectoryW removes a link itself, never what it points to.
void RemoveEmptyFolderAt(const THeldFolder& folder, const UString& name) {
    ::RemoveDirectoryW(W(JoinedPath(folder.Path, name)));
}

std::vector<UString> FileNamesStartingWithAt(const THeldFolder& folder, const UString& prefix) {
    std::vector<UString> names;
    const UString pattern = JoinedPath(folder.Path, prefix + u"*");
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
