// TFileStream is the file-backed stream. It owns one system file handle;
// reads and writes go straight to it with no buffering layer, a failed read or
// write counts as 0 bytes moved, and freeing the stream closes the handle.
#pragma once

#include <memory>

#include "base/file_system.h"
#include "archive/streams.h"

class TFileStream : public TStream {
public:
    // TFileStream opens fileName without sharing. A failure raises EFOpenError
    // "Cannot open file", or EFCreateError "Cannot create file" when creating.
    TFileStream(const UString& fileName, TFileAccess access, TFileDisposition disposition);
    // TFileStream takes over a handle that is already open.
    TFileStream(const UString& fileName, TNativeFile file) : FFileName(fileName), FFile(file) {}
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return NativeFileSize(FFile); }

    const UString& FileName() const { return FFileName; }

private:
    UString FFileName;
    TNativeFile FFile;
    // The handle belongs to this stream alone, so its position is kept here
    // and every transfer names its offset: no seek call per read.
    int64_t FPosition = 0;
};

// OpenArchiveStream opens the existing archive FILENAME without sharing and
// without following a link; a link or a file with more than one name raises
// ELinkRefused, any other failure EFOpenError.
std::unique_ptr<TFileStream> OpenArchiveStream(const UString& fileName, TFileAccess access);

// RaiseFileError raises the "Cannot open file" or "Cannot create file" error
// for fileName (expanded to a full path) and a system error code.
[[noreturn]] void RaiseFileError(bool creating, const UString& fileName, uint32_t error);
