// The file-system seam of the update archive: the few system calls that
// opening, creating, replacing and expanding need. file_system_win32.cpp
// calls the Win32 API; file_system_posix.cpp stands in on Linux for tests,
// fuzzing and benchmarks ("\" and "/" both separate folders there).
#pragma once

#include <cstdint>

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
