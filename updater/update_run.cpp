#include "updater/update_run.h"

#include <memory>

#include "archive/file_stream.h"
#include "archive/zip_file.h"
#include "base/finally.h"
#include "updater/install_files.h"
#include "updater/updater_texts.h"

UString ArchivePathBeside(const UString& modulePath) {
    const size_t cut = modulePath.find_last_of(u"\\:");
    const UString folder = cut == UString::npos ? UString() : modulePath.substr(0, cut + 1);
    return folder + UString(kArchiveName);
}

namespace {

// RequireReleasedArchive: a sealed updater goes on only with the archive it
// was sealed to, read whole through the handle the extraction will use (held
// without sharing, so nothing changes in between); a refusal writes nothing.
void RequireReleasedArchive(TStream& archive, const TArchiveSeal& seal) {
    if (!seal.Sealed) return;
    if (Sha256OfStream(archive) != seal.Digest) throw EForeignArchive(UString(kForeignArchiveText));
    archive.SetPosition(0);
}

}  // namespace

void RunUpdate(TUpdateRunWindow& window, TFileSystem& files, const UString& modulePath,
               const UString& installFolder, UString& archivePath, const TArchiveSeal& seal) {
    archivePath = ArchivePathBeside(modulePath);
    std::unique_ptr<TFileStream> archive;  // outlives zip, which writes back through it
    TZipFile zip;
    // Close is the release: after a successful Close it writes nothing more;
    // after an error between Open and Close it performs the write-back, and an
    // error of that write-back is the one the user sees.
    TryFinally(
        [&] {
            if (FileExists(files, archivePath)) {
                archive = OpenArchiveStream(archivePath, faReadWrite);  // never through a link
                RequireReleasedArchive(*archive, seal);
                zip.Open(*archive, zmReadWrite);
                zip.ExtractAll(installFolder);
                zip.Close();
                archive.reset();  // Data.dat is closed before the completion window shows
                window.ShowCompletion();
            } else {
                window.ShowPlainMessage(UString(kMissingArchiveText));
            }
        },
        [&] { zip.Close(); });
}
