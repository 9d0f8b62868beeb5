#include "archive/dattool/pack_output.h"

#include <filesystem>
#include <system_error>

#include "archive/dattool/dattool_texts.h"
#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "base/system_text.h"

namespace fs = std::filesystem;

namespace {

// Tries of a temporary name before giving up: each one taken by another file.
constexpr int kTemporaryNames = 100;

bool LiesInside(const fs::path& folder, const fs::path& archive) {
    std::error_code error;
    const fs::path realFolder = fs::canonical(folder, error);
    if (error) return false;  // the folder is refused when it is listed
    const fs::path realArchive = fs::weakly_canonical(archive, error);
    if (error) return false;
    const fs::path relative = realArchive.lexically_relative(realFolder);
    return !relative.empty() && *relative.begin() != fs::path("..");
}

bool IsUpdateArchive(const UString& archive) {
    try {
        TFileStream file(archive, faRead, fdOpenExisting);
        if (file.Size() == 0) return true;  // nothing in it to lose
        TZipFile zip;
        zip.Open(file, zmRead);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

std::optional<UString> PackOutputRefusal(const UString& folder, const UString& archive, bool force) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(fs::path(archive), error);
    const bool exists = !error && fs::exists(status);
    if (exists && !fs::is_regular_file(status)) return Format(kOutputNotRegular, {archive});
    if (LiesInside(fs::path(folder), fs::path(archive))) return Format(kArchiveInsideFolder, {archive});
    if (exists && !force && !IsUpdateArchive(archive)) return Format(kOutputNotAnArchive, {archive});
    return std::nullopt;
}

TPackTemporary::TPackTemporary(const UString& archive) : FArchive(archive) {
    const fs::path target(archive);
    const fs::path folder = target.parent_path();
    for (int i = 1; i <= kTemporaryNames; ++i) {
        const fs::path name = folder / fs::path(u"." + target.filename().u16string() + u".pack-" + Decimal(i));
        FPath = name.u16string();
        const uint32_t code = OpenNativeFile(FPath, faReadWrite, fdCreateNew, FFile);
        if (code == 0) {
            FOwnsFile = true;
            return;
        }
        if (!IsAlreadyExistsError(code)) RaiseFileError(true, FPath, code);
    }
    throw EFCreateError(Format(kNoTemporaryName, {archive}));
}

TPackTemporary::~TPackTemporary() {
    if (FOwnsFile) CloseNativeFile(FFile);
    if (!FPlaced) DeleteFileAt(FPath);
}

TNativeFile TPackTemporary::TakeFile() {
    FOwnsFile = false;
    return FFile;
}

void TPackTemporary::PutInPlace() {
    const uint32_t code = ReplaceFileWith(FPath, FArchive);
    if (code != 0) throw EFCreateError(Format(kCannotPutInPlace, {FArchive, SystemErrorText(code)}));
    FPlaced = true;
}
