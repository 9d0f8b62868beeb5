#include "updater/update_run.h"

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

void RunUpdate(TUpdateRunWindow& window, TFileSystem& files, const UString& modulePath,
               const UString& installFolder, UString& archivePath) {
    archivePath = ArchivePathBeside(modulePath);
    std::unique_ptr<TFileStream> archive;  // outlives the container, which closes first
    TZipFile zip;
    // Close is the release: after a successful Close it writes nothing more;
    // after an error between Open and Close it performs the write-back, and an
    // error of that write-back is the one the user sees.
    TryFinally(
        [&] {
            if (FileExists(files, archivePath)) {
                archive = OpenArchiveStream(archivePath, faReadWrite);  // never through a link
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
