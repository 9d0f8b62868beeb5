// RunUpdate does what the update run does with an archive: create the
// container, open it read-write, extract everything, close, release.
#pragma once

#include <memory>

#include "archive/zip_file.h"
#include "archive/zip_handlers.h"
#include "tests/archive/support/archive_test_support.h"
#include "base/finally.h"

inline void RunUpdate(const std::filesystem::path& archive, const UString& folder) {
    RegisterDefaultCompressionHandlers();
    auto zip = std::make_unique<TZipFile>();
    TryFinally(
        [&] {
            zip->Open(U(archive), zmReadWrite);
            zip->ExtractAll(folder);
            zip->Close();
        },
        [&] { zip.reset(); });
}

// TUpdateFolder is a test folder with Data.dat and the target folder "out".
class TUpdateFolder {
public:
    std::filesystem::path Archive() const { return FDir / "Data.dat"; }
    std::filesystem::path Out() const { return FDir / "out"; }
    std::filesystem::path Root() const { return FDir.Path(); }
    void Run(const TTestBytes& zip) {
        WriteWholeFile(Archive(), zip);
        std::filesystem::create_directories(Out());
        RunUpdate(Archive(), Folder(Out()));
    }

private:
    TTempDir FDir;
};
