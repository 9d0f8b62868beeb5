// RunUpdate does what the update run does with an archive: create the
// container, open it read-write, extract everything, close, release.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

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

// TBeforeSecondEntry runs ACTION once, when the archive's second local
// record is read for its data: after the overlap check read every record and
// the first entry was checked and staged, before the second one is.
class TBeforeSecondEntry : public TBytesStream {
public:
    TBeforeSecondEntry(const TBytes& bytes, std::function<void()> action)
        : TBytesStream(bytes), FAction(std::move(action)) {
        const std::string text(bytes.begin(), bytes.end());
        FSecond = static_cast<int64_t>(text.find("PK\3\4", 1));
    }
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t at = Seek(0, soCurrent);
        if (FAction && at == FSecond && ++FReads == 2) std::exchange(FAction, nullptr)();
        return TBytesStream::Read(buffer, count);
    }

private:
    std::function<void()> FAction;
    int64_t FSecond;
    int FReads = 0;
};
