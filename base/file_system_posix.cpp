// Linux stand-ins for the Win32 file calls. Paths arrive in the system's own
// form, with "\" separating folders; they are turned into "/" paths here.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"

namespace {

std::string SlashPath(const UString& path) {
    std::string out = ToUtf8(path);
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

// NativePath resolves "." and ".." on the text first, as Windows does before it
// looks at the disk: "a/../b" names b even when a does not exist.
std::string NativePath(const UString& path) {
    UString full;
    return SlashPath(ExpandFileName(path, full) == 0 ? full : path);
}

uint32_t LastError() { return static_cast<uint32_t>(errno); }

constexpr unsigned kRenameExchange = 2;  // RENAME_EXCHANGE

int RenameAt2(int folder, const char* from, const char* to, unsigned flags) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    return ::renameat2(folder, from, folder, to, flags);
#elif defined(SYS_renameat2)
    return static_cast<int>(::syscall(SYS_renameat2, folder, from, folder, to, flags));
#else
    errno = ENOSYS;
    return -1;
#endif
}

int ExchangeNames(const char* a, const char* b, int folder = AT_FDCWD) {
    return RenameAt2(folder, a, b, kRenameExchange);
}

}  // namespace

uint32_t OpenNativeFile(const UString& name, TFileAccess access, TFileDisposition disposition, TNativeFile& file) {
    int flags = (access == faRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    if (disposition == fdCreateAlways) flags |= O_CREAT | O_TRUNC;
    if (disposition == fdCreateNew) flags |= O_CREAT | O_EXCL;
    const int fd = ::open(NativePath(name).c_str(), flags, 0666);
    if (fd < 0) return LastError();
    struct stat info {};
    // A folder is not a file, as on Windows; opening one for writing fails by itself.
    if (access == faRead && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    file = fd;
    return 0;
}

void CloseNativeFile(TNativeFile file) { ::close(static_cast<int>(file)); }

int64_t NativeRead(TNativeFile file, int64_t offset, void* buffer, int64_t count) {
    int64_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < count) {
        const ssize_t got = ::pread(static_cast<int>(file), out + total, static_cast<size_t>(count - total),
                                    static_cast<off_t>(offset + total));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += got;
        break;  // one read per call, like ReadFile; callers ask again for more
    }
    return total;
}

int64_t NativeWrite(TNativeFile file, int64_t offset, const void* buffer, int64_t count) {
    int64_t total = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (total < count) {  // WriteFile writes a file's bytes whole or fails
        const ssize_t put = ::pwrite(static_cast<int>(file), in + total, static_cast<size_t>(count - total),
                                     static_cast<off_t>(offset + total));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        total += put;
    }
    return total;
}

int64_t NativeFileSize(TNativeFile file) {
    struct stat info {};
    return ::fstat(static_cast<int>(file), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

bool IsAlreadyExistsError(uint32_t error) { return error == EEXIST; }

uint32_t CheckReplaceable(const UString& path) {
    const int fd = ::open(NativePath(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return LastError();
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    const uint32_t error = statted ? 0 : LastError();
    ::close(fd);
    if (!statted) return error;
    // A file without write permission is the read-only file of Windows, which
    // cannot be created anew, also for the administrator (as root opens it).
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
}

uint32_t ExpandFileName(const UString& name, UString& full) {
    // Lexical, as GetFullPathNameW is: ".." is resolved on the text, not through links.
    std::string path = SlashPath(name);
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr) return LastError();
        path = std::string(cwd) + "/" + path;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    const bool trailing = path.size() > 1 && path.back() == '/';
    if (out.empty() || trailing) out += "/";
    full = FromUtf8(out);
    return 0;
}

UString AnchoredFolder(const UString& folder) {
    // An empty folder leaves the names as they are; an absolute one needs nothing.
    if (folder.empty() || folder[0] == u'/' || folder[0] == u'\\') return folder;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return folder;
    const UString base = FromUtf8(cwd);
    // The folder's own text decides where the directory part of a target ends,
    // and which characters are refused: a current folder that holds "\", ":"
    // or a refused character would change that, so it is not put before it.
    for (char16_t c : base) {
        if (c == u'\\' || c == u':' || c < 0x20 || c == u'"' || c == u'<' || c == u'>' || c == u'|') return folder;
    }
    return base + u"/" + folder;
}

UString FullPathOrName(const UString& name) {
    UString full;
    return ExpandFileName(name, full) == 0 ? full : name;
}

bool PathExists(const UString& path) {
    struct stat info {};
    return ::stat(NativePath(path).c_str(), &info) == 0;
}

void CreateFolder(const UString& path) { ::mkdir(NativePath(path).c_str(), 0777); }

uint32_t LogicalDrives() { return 0; }

void DeleteFileAt(const UString& path) { ::unlink(NativePath(path).c_str()); }

// ReplaceFileWith exchanges the two names, then removes the source name, which
// now holds the old content. A rename over an existing file would make ext4
// flush the new file first; the exchange is as atomic (the target is never
// missing or partial) without that cost. Where the file system cannot
// exchange, a plain rename does the same job.
uint32_t ReplaceFileWith(const UString& source, const UString& target) {
    const std::string from = NativePath(source);
    const std::string to = NativePath(target);
    if (ExchangeNames(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0 || errno != EISDIR) return 0;
        // A folder took the target's place meanwhile: rename would refuse it too.
        ExchangeNames(from.c_str(), to.c_str());
        return EISDIR;
    }
    // The exchange is refused where it is not supported; a vanished target needs none.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT) return LastError();
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : LastError();
}

UString CurrentFolder() {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return UString();
    return FromUtf8(cwd);
}

namespace {

constexpr uint32_t kAttributeNormal = 0x80;  // a file with no other attribute

// The process's error mode: nothing on Linux reads it.
uint32_t FErrorMode = 0;

}  // namespace

TPathAttributes PathAttributes(const UString& path) {
    const std::string native = NativePath(path);
    struct stat own {};
    if (::lstat(native.c_str(), &own) != 0) return {false, 0, LastError()};
    if (!S_ISLNK(own.st_mode)) return {true, S_ISDIR(own.st_mode) ? kFileAttributeDirectory : kAttributeNormal, 0};
    // A link to a folder is a folder link, as Windows makes them.
    struct stat target {};
    const bool toFolder = ::stat(native.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    return {true, kFileAttributeReparsePoint | (toFolder ? kFileAttributeDirectory : 0), 0};
}

TPathEntry FindPathEntry(const UString& path) {
    const std::string native = NativePath(path);
    struct stat info {};
    if (::stat(native.c_str(), &info) == 0) return {true, S_ISDIR(info.st_mode)};
    // A dangling link is still an entry of its folder.
    return {::lstat(native.c_str(), &info) == 0, false};
}

uint32_t OpenForReadingError(const UString& path) {
    TNativeFile file = 0;
    const uint32_t error = OpenNativeFile(path, faRead, fdOpenExisting, file);
    if (error == 0) CloseNativeFile(file);
    return error;
}

uint32_t ChangeProcessErrorMode(uint32_t mode) { return std::exchange(FErrorMode, mode); }

uint32_t LastSystemError() { return static_cast<uint32_t>(errno); }

uint32_t SetNativeFileSize(TNativeFile file, int64_t size) {
    return ::ftruncate(static_cast<int>(file), static_cast<off_t>(size)) == 0 ? 0 : LastError();
}

const uint32_t kErrorUntrustedLink = ELOOP;

TFileErrorKind FileErrorKind(uint32_t error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return TFileErrorKind::NotFound;
        case EEXIST: return TFileErrorKind::AlreadyExists;
        case EBUSY: return TFileErrorKind::SharingViolation;
        case ENAMETOOLONG: return TFileErrorKind::InvalidName;
        case ELOOP: return TFileErrorKind::UntrustedLink;
        default: return TFileErrorKind::Other;
    }
}

namespace {

int Fd(TNativeFile file) { return static_cast<int>(file); }

// IsLinkAt: NAME in FOLDER is a symbolic link (O_NOFOLLOW with O_DIRECTORY
// answers ENOTDIR for one on some systems; the answer is made the same here).
bool IsLinkAt(TNativeFile folder, const std::string& name) {
    struct stat info {};
    return ::fstatat(Fd(folder), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// Every open here passes O_NOFOLLOW, so a link at NAME never answers ENOENT
// (it answers ELOOP, or EEXIST to O_EXCL): a name that is not there needs no
// second look, which spares a new file's check a call.
uint32_t OpenAtError(TNativeFile folder, const std::string& name) {
    const uint32_t error = LastError();
    if (error == ENOENT) return error;
    return IsLinkAt(folder, name) ? kErrorUntrustedLink : error;
}

}  // namespace

// Linux holds the target folder itself: the levels above it are the caller's
// choice, and a held descriptor keeps every later open relative to it.
uint32_t HoldFolderPath(const UString& path, std::vector<TNativeFile>& holds, UString& refused) {
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        refused = path;
        return LastError();
    }
    holds.push_back(fd);
    return 0;
}

uint32_t OpenFolderAt(const THeldFolder& parent, const UString& name, bool create, std::vector<TNativeFile>& holds) {
    const std::string part = SlashPath(name);
    if (create) ::mkdirat(Fd(parent.Handle), part.c_str(), 0777);  // an existing one is fine; the open answers
    const int fd = ::openat(Fd(parent.Handle), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return OpenAtError(parent.Handle, part);
    holds.push_back(fd);
    return 0;
}

// A held folder can be renamed on Linux and a link put at its name.
// An identity that could not be taken (inode 0) matches no folder: the level is opened anew.
THeldFolder HeldFolder(TNativeFile handle, const UString& path) {
    struct stat info {};
    ::fstat(Fd(handle), &info);  // a failing fstat leaves it zero
    return {handle, path, {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), {}}};
}

bool HeldFolderIsAt(const THeldFolder& parent, const UString& name, const TFolderIdentity& held) {
    struct stat there {};
    return ::fstatat(Fd(parent.Handle), SlashPath(name).c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
           static_cast<uint64_t>(there.st_dev) == held.Device && static_cast<uint64_t>(there.st_ino) == held.Node;
}

uint32_t OpenFileAt(const THeldFolder& folder, const UString& name, TFileAccess access, TFileDisposition disposition,
                    TNativeFile& file) {
    const std::string part = SlashPath(name);
    int flags = (access == faRead ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NOFOLLOW;
    if (disposition == fdCreateAlways) flags |= O_CREAT | O_TRUNC;
    if (disposition == fdCreateNew) flags |= O_CREAT | O_EXCL;
    const int fd = ::openat(Fd(folder.Handle), part.c_str(), flags, 0666);
    if (fd < 0) {
        // O_EXCL answers EEXIST for a link of any kind; a link is named as one.
        return OpenAtError(folder.Handle, part);
    }
    file = fd;
    return 0;
}

uint32_t CheckReplaceableAt(const THeldFolder& folder, const UString& name) {
    TNativeFile file = 0;
    const uint32_t error = OpenFileAt(folder, name, faReadWrite, fdOpenExisting, file);
    if (error != 0) return error;
    struct stat info {};
    const bool statted = ::fstat(Fd(file), &info) == 0;
    const uint32_t statError = statted ? 0 : LastError();
    ::close(Fd(file));
    if (!statted) return statError;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
}

// The names are exchanged inside the held folder, as ReplaceFileWith does by
// path; a link at TARGET is itself replaced, never followed.
uint32_t ReplaceFileAt(const THeldFolder& folder, const UString& source, const UString& target) {
    const std::string from = SlashPath(source);
    const std::string to = SlashPath(target);
    if (ExchangeNames(from.c_str(), to.c_str(), Fd(folder.Handle)) == 0) {
        if (::unlinkat(Fd(folder.Handle), from.c_str(), 0) == 0 || errno != EISDIR) return 0;
        ExchangeNames(from.c_str(), to.c_str(), Fd(folder.Handle));
        return EISDIR;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT) return LastError();
    return ::renameat(Fd(folder.Handle), from.c_str(), Fd(folder.Handle), to.c_str()) == 0 ? 0 : LastError();
}

// unlinkat removes a link itself and refuses a folder (no AT_REMOVEDIR).
void RemoveFileAt(const THeldFolder& folder, const UString& name) {
    ::unlinkat(Fd(folder.Handle), SlashPath(name).c_str(), 0);
}

uint32_t OpenArchiveFile(const UString& name, TFileAccess access, TNativeFile& file) {
    const int fd = ::open(NativePath(name).c_str(), (access == faRead ? O_RDONLY : O_RDWR) | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return LastError();
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? EISDIR : kErrorUntrustedLink;
    }
    file = fd;
    return 0;
}

// ---- Staging an update.

namespace {

constexpr unsigned kRenameNoReplace = 1;  // RENAME_NOREPLACE

bool Unsupported(int error) { return error == EINVAL || error == ENOSYS; }

// GiveModeOfTarget gives the staged file REPLACEMENT (never a link) what
// CREATE_ALWAYS keeps of a file: its permissions and owner. Most files of an
// update already have both, and are left as they are.
uint32_t GiveModeOfTarget(int dir, const std::string& replacement, const struct stat& target) {
    const int fd = ::openat(dir, replacement.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return OpenAtError(dir, replacement);
    struct stat info {};
    const bool file = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (file && info.st_mode != target.st_mode) ::fchmod(fd, target.st_mode & 07777);  // both are files
    if (file && (info.st_uid != target.st_uid || info.st_gid != target.st_gid)) {
        if (::fchown(fd, target.st_uid, target.st_gid) != 0) {
            // Only the administrator can give a file away; otherwise it stays the caller's.
        }
    }
    ::close(fd);
    return file ? 0 : EISDIR;
}

}  // namespace

// The exchange puts the new file in place without the flush that a rename
// over an existing file costs on ext4; the old file's name then moves on to
// oldCopy. The target name never stands empty.
uint32_t ReplaceKeepingOldAt(const THeldFolder& folder, const UString& replacement, const UString& target,
                             const UString& oldCopy) {
    const int dir = Fd(folder.Handle);
    const std::string from = SlashPath(replacement);
    const std::string to = SlashPath(target);
    const std::string old = SlashPath(oldCopy);
    struct stat info {};
    if (::fstatat(dir, to.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
    if (S_ISLNK(info.st_mode)) return kErrorUntrustedLink;
    if (!S_ISREG(info.st_mode)) return EISDIR;  // only a file is replaced
    if (const uint32_t error = GiveModeOfTarget(dir, from, info)) return error;
    if (ExchangeNames(from.c_str(), to.c_str(), dir) == 0) {
        if (::renameat(dir, from.c_str(), dir, old.c_str()) == 0) return 0;
        const uint32_t error = LastError();
        ExchangeNames(from.c_str(), to.c_str(), dir);  // the old file back in place
        return error;
    }
    if (!Unsupported(errno)) return LastError();
    if (::linkat(dir, to.c_str(), dir, old.c_str(), 0) != 0) return LastError();
    if (::renameat(dir, from.c_str(), dir, to.c_str()) == 0) return 0;
    const uint32_t error = LastError();
    ::unlinkat(dir, old.c_str(), 0);
    return error;
}

uint32_t MoveToNewNameAt(const THeldFolder& folder, const UString& source, const UString& target) {
    const int dir = Fd(folder.Handle);
    const std::string from = SlashPath(source);
    const std::string to = SlashPath(target);
    if (RenameAt2(dir, from.c_str(), to.c_str(), kRenameNoReplace) == 0) return 0;
    if (!Unsupported(errno)) return LastError();
    if (::linkat(dir, from.c_str(), dir, to.c_str(), 0) != 0) return LastError();
    ::unlinkat(dir, from.c_str(), 0);
    return 0;
}

void RemoveEmptyFolder(const UString& path) { ::rmdir(NativePath(path).c_str()); }

// unlinkat answers ENOTDIR for a link: it is left, and nothing it points to is touched.
void RemoveEmptyFolderAt(const THeldFolder& folder, const UString& name) {
    ::unlinkat(Fd(folder.Handle), SlashPath(name).c_str(), AT_REMOVEDIR);
}

std::vector<UString> FileNamesStartingWithAt(const THeldFolder& folder, const UString& prefix) {
    std::vector<UString> names;
    const int fd = ::openat(Fd(folder.Handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (dir == nullptr) {
        if (fd >= 0) ::close(fd);
        return {};
    }
    const std::string start = ToUtf8(prefix);
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, start.c_str(), start.size()) == 0) names.push_back(FromUtf8(entry->d_name));
    }
    ::closedir(dir);
    return names;
}

UString LongPathForm(const UString& fullPath) { return fullPath; }
