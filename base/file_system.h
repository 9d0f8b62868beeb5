// The file-system seam: the few system calls that the update archive needs
// for opening, creating, replacing and expanding, and those the install search
// needs for asking whether a file exists. file_system_win32.cpp calls the
// Win32 API; file_system_posix.cpp stands in on Linux for tests, fuzzing and
// benchmarks ("\" and "/" both separate folders there, and error codes are
// errno values).
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

// TNativeFile is a Win32 HANDLE or a POSIX descriptor.
using TNativeFile = intptr_t;

enum TFileAccess : uint8_t { faRead, faReadWrite };
enum TFileDisposition : uint8_t { fdOpenExisting, fdCreateAlways, fdCreateNew };

// OpenNativeFile opens name without sharing; it returns 0 and the handle, or the system's error code.
uint32_t OpenNativeFile(const UString& name, TFileAccess access, TFileDisposition disposition, TNativeFile& file);
void CloseNativeFile(TNativeFile file);
// NativeRead and NativeWrite return the bytes moved at offset; a failure counts as 0.
int64_t NativeRead(TNativeFile file, int64_t offset, void* buffer, int64_t count);
int64_t NativeWrite(TNativeFile file, int64_t offset, const void* buffer, int64_t count);
int64_t NativeFileSize(TNativeFile file);

bool IsAlreadyExistsError(uint32_t error);

// CheckReplaceable answers for an existing file what creating it anew with
// normal attributes (CreateFileW with CREATE_ALWAYS) would answer, without
// changing it: 0, or the system's error for a file in use, a folder, or a
// read-only, hidden or system file.
uint32_t CheckReplaceable(const UString& path);

// ExpandFileName gives the full path of name ("." and ".." resolved, relative
// parts joined to the current folder); it returns 0 or the system's error code.
uint32_t ExpandFileName(const UString& name, UString& full);
// ExpandFileName, or name itself when the system cannot expand it.
UString FullPathOrName(const UString& name);

// AnchoredFolder is the target folder of one extraction in a form that each
// entry's path can be joined to without asking for the current folder again.
// It names the same folder and gives the same targets, separators and
// messages as the folder itself (Linux: the current folder's text put before
// a relative folder; Windows: the folder unchanged, the system resolves it).
UString AnchoredFolder(const UString& folder);

// PathExists: the path names a file or a folder.
bool PathExists(const UString& path);
// CreateFolder makes one folder level; a failure is not reported.
void CreateFolder(const UString& path);
// LogicalDrives is the mask of drive letters (bit 0 = A:); 0 where drives do not exist.
uint32_t LogicalDrives();
// DeleteFileAt removes a file; a failure is not reported.
void DeleteFileAt(const UString& path);
// ReplaceFileWith moves source over target in one step; 0 or the system's error code.
uint32_t ReplaceFileWith(const UString& source, const UString& target);

// CurrentFolder is the current directory (GetCurrentDirectoryW), or empty when
// the system cannot tell.
UString CurrentFolder();

// The attribute bits PathAttributes reports (Linux reports them too).
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeReparsePoint = 0x400;  // carried by symbolic links and junctions
// The error mode that keeps the system's "There is no disk in the drive" box away.
constexpr uint32_t kErrorModeFailCriticalErrors = 0x0001;

struct TPathAttributes {
    bool Found;
    uint32_t Attributes;  // valid when Found
    uint32_t Error;       // the system's error code when not Found
};

struct TPathEntry {
    bool Found;
    bool Directory;  // the entry found is a folder
};

// PathAttributes asks for the path's own attributes (GetFileAttributesW): a
// link answers for itself, not for its target.
TPathAttributes PathAttributes(const UString& path);
// FindPathEntry looks the path up as a search pattern (FindFirstFileW); Linux
// looks the path up as it is.
TPathEntry FindPathEntry(const UString& path);
// OpenForReadingError opens and closes the path for shared reading
// (CreateFileW with GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING) and answers 0
// on success, else the system's error code; a folder cannot be opened so.
uint32_t OpenForReadingError(const UString& path);
// ChangeProcessErrorMode sets the process's error mode (SetErrorMode) and
// answers the previous one; Linux has no such mode and only keeps the value.
uint32_t ChangeProcessErrorMode(uint32_t mode);

// For dattool pack: cutting its temporary archive to length, and the reason of a failed write.
// SetNativeFileSize sets the file's end; 0 or the system's error code.
uint32_t SetNativeFileSize(TNativeFile file, int64_t size);
// LastSystemError is the calling thread's last system error code (GetLastError, errno).
uint32_t LastSystemError();

// Links and held folders. The update runs as administrator and writes only
// inside the folder it accepted: below that folder no link is followed, and
// on Windows a junction, symbolic link or mount point on the way to it is
// followed only when an administrator made it (its owner is the Administrators
// group, SYSTEM or TrustedInstaller). A folder opened here is held: on Windows
// it cannot be renamed, removed or replaced by a link until it is closed.

// TFileErrorKind is what a system error code means to the callers of the
// seam, so that no caller compares the system's numbers itself.
enum class TFileErrorKind : uint8_t { Other, NotFound, AlreadyExists, SharingViolation, InvalidName, UntrustedLink };
TFileErrorKind FileErrorKind(uint32_t error);
// kErrorUntrustedLink is the code the calls below answer for a link they do
// not follow (ELOOP on Linux, ERROR_REPARSE_POINT_ENCOUNTERED on Windows).
extern const uint32_t kErrorUntrustedLink;

// HoldFolderPath holds the existing folder PATH (Windows: and every level from
// its drive root, each link on the way checked for its owner); 0, or the error
// with REFUSED set to the level that failed. The holds are closed outermost
// last by CloseNativeFile; the folder itself is the last one.
uint32_t HoldFolderPath(const UString& path, std::vector<TNativeFile>& holds, UString& refused);

// TFolderIdentity tells a held folder from every other one on the machine,
// taken once, when the level is held. Linux: its device and inode (a held
// folder can be renamed there and a link put at its name). Windows: its
// volume's serial number and its path on that volume (a held level cannot
// move), which a file opened in it is checked against.
struct TFolderIdentity {
    uint64_t Device = 0;
    uint64_t Node = 0;
    UString NameOnVolume;  // Windows only
};
// THeldFolder is a folder this process holds: its handle (the last of its
// holds), its full path and its identity. The calls below work on names inside it.
struct THeldFolder {
    TNativeFile Handle = 0;
    UString Path;
    TFolderIdentity Identity;
};
// HeldFolder describes the held folder HANDLE at PATH, taking its identity.
THeldFolder HeldFolder(TNativeFile handle, const UString& path);

// OpenFolderAt holds the folder NAME (one level) inside the held folder
// PARENT, creating it first when CREATE, and adds its holds to HOLDS (the
// folder last). A link there answers kErrorUntrustedLink (Windows: unless an
// administrator made it; then the link is held too).
uint32_t OpenFolderAt(const THeldFolder& parent, const UString& name, bool create, std::vector<TNativeFile>& holds);
// HeldFolderIsAt tells whether the held folder of identity HELD is still the
// folder NAME inside PARENT (a held level used again by a later entry).
bool HeldFolderIsAt(const THeldFolder& parent, const UString& name, const TFolderIdentity& held);
// OpenFileAt, CheckReplaceableAt and ReplaceFileAt do what OpenNativeFile,
// CheckReplaceable and ReplaceFileWith do, for names inside the held folder
// FOLDER, never through a link (kErrorUntrustedLink). A file opened for
// writing is checked to lie in that folder after opening.
uint32_t OpenFileAt(const THeldFolder& folder, const UString& name, TFileAccess access, TFileDisposition disposition,
                    TNativeFile& file);
uint32_t CheckReplaceableAt(const THeldFolder& folder, const UString& name);
uint32_t ReplaceFileAt(const THeldFolder& folder, const UString& source, const UString& target);
// RemoveFileAt removes the file NAME from the held folder FOLDER, where the
// name cannot lead elsewhere: a link there is removed itself, never what it
// points to, and a folder stays. A failure is not reported.
void RemoveFileAt(const THeldFolder& folder, const UString& name);
// OpenArchiveFile opens an existing file for reading (and writing when
// faReadWrite) without following a link; a link, or a file with more than one
// name (a hard link), answers kErrorUntrustedLink.
uint32_t OpenArchiveFile(const UString& name, TFileAccess access, TNativeFile& file);

// ---- Staging an update: the calls the staged writer adds (archive/staged_update.cpp).
// Like OpenFileAt, each works on names inside the held folder FOLDER and
// never through a link: Linux through the folder's descriptor,
// Windows by name inside the held levels, which cannot be swapped.

// ReplaceKeepingOldAt puts the file REPLACEMENT in TARGET's place and keeps
// the target's old file under the name OLDCOPY. The target keeps its name as
// spelled on disk, its security settings and its creation time (ReplaceFileW;
// Linux keeps mode and owner). A link at either name answers
// kErrorUntrustedLink. 0 or the system's error code.
uint32_t ReplaceKeepingOldAt(const THeldFolder& folder, const UString& replacement, const UString& target,
                             const UString& oldCopy);
// MoveToNewNameAt gives the file SOURCE the name TARGET, which must not exist;
// 0, or the system's error code (an "already exists" one when it does).
uint32_t MoveToNewNameAt(const THeldFolder& folder, const UString& source, const UString& target);
// RemoveEmptyFolder removes a folder only when it is empty, RemoveEmptyFolderAt
// the folder NAME inside the held folder; a link there is not followed, a
// failure is not reported.
void RemoveEmptyFolder(const UString& path);
void RemoveEmptyFolderAt(const THeldFolder& folder, const UString& name);
// FileNamesStartingWithAt lists the names in the held folder that begin with prefix.
std::vector<UString> FileNamesStartingWithAt(const THeldFolder& folder, const UString& prefix);
// LongPathForm is a full path in the form that opens whatever its length
// (Windows: "\\?\" before a path of MAX_PATH characters or more; Linux: unchanged).
UString LongPathForm(const UString& fullPath);
