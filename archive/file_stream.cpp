#include "archive/file_stream.h"

#include "archive/zip_texts.h"
#include "base/system_text.h"

void RaiseFileError(bool creating, const UString& fileName, uint32_t error) {
    const UString systemText = SystemErrorText(error);  // before anything else can change the error state
    const UString full = FullPathOrName(fileName);
    if (creating) throw EFCreateError(Format(kCannotCreateFile, {full, systemText}));
    throw EFOpenError(Format(kCannotOpenFile, {full, systemText}));
}

std::unique_ptr<TFileStream> OpenArchiveStream(const UString& fileName, TFileAccess access) {
    TNativeFile file{};
    const uint32_t error = OpenArchiveFile(fileName, access, file);
    if (FileErrorKind(error) == TFileErrorKind::UntrustedLink) {
        throw ELinkRefused(Format(kArchiveIsLinked, {FullPathOrName(fileName)}));
    }
    if (error != 0) RaiseFileError(false, fileName, error);
    return std::make_unique<TFileStream>(fileName, file);
}

TFileStream::TFileStream(const UString& fileName, TFileAccess access, TFileDisposition disposition)
    : FFileName(fileName) {
    const uint32_t error = OpenNativeFile(fileName, access, disposition, FFile);
    if (error != 0) RaiseFileError(disposition != fdOpenExisting, fileName, error);
}

TFileStream::~TFileStream() { CloseNativeFile(FFile); }

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t got = NativeRead(FFile, FPosition, buffer, count);
    FPosition += got;
    return got;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t put = NativeWrite(FFile, FPosition, buffer, count);
    FPosition += put;
    return put;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = PositionAfterSeek(FPosition, offset, origin);
    return FPosition;
}
