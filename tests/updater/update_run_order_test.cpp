// The order of the update run: open read-write, extract, write back, and only
// then the completion window. The archives' end records carry disk numbers 1,
// which the write-back rewrites as 0, so a test sees whether it has happened.
#include <gtest/gtest.h>

#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "tests/support/zip_builder.h"
#include "tests/support/current_folder.h"
#include "tests/support/expect_raises.h"
#include "tests/support/temp_dir.h"
#include "tests/updater/fakes.h"
#include "updater/update_run.h"
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

// WithDiskNumbers sets the end record's two disk fields to 1.
TTestBytes WithDiskNumbers(TTestBytes zip) {
    const size_t end = EndRecordOffset(zip);
    PutLe16(zip, end + 4, 1);
    PutLe16(zip, end + 6, 1);
    return zip;
}

bool WrittenBack(const fs::path& archive) {
    const TTestBytes bytes = ReadWholeFile(archive);  // fails while the run still holds the archive
    const size_t end = EndRecordOffset(bytes);
    return bytes.at(end + 4) == 0 && bytes.at(end + 6) == 0;
}

// TCompletionWitness notes, when the completion window is shown, what the run
// has done by then.
class TCompletionWitness final : public TUpdateRunWindow {
public:
    explicit TCompletionWitness(fs::path folder) : FFolder(std::move(folder)) {}
    void ShowCompletion() override {
        ++Completions;
        ExtractedBefore = fs::exists(FFolder / "kelvo" / "a.txt");
        WrittenBackBefore = WrittenBack(FFolder / "Data.dat");
    }
    void ShowPlainMessage(const UString&) override { ++Messages; }

    int Completions = 0;
    int Messages = 0;
    bool ExtractedBefore = false;
    bool WrittenBackBefore = false;

private:
    fs::path FFolder;
};


class UpdateRunOrder : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDefaultCompressionHandlers();
        fs::create_directories(Dir / "kelvo");
        Files.AddFile(u"Data.dat");
    }
    void Run(const TTestBytes& archive) {
        WriteWholeFile(Dir / "Data.dat", archive);
        TCurrentFolder here(Dir.Path());
        UString archivePath;
        RunUpdate(Window, Files, u"KelvoUpdater.exe", KelvoFolder(), archivePath);
    }

    UString KelvoFolder() const { return (Dir / "kelvo").u16string() + static_cast<char16_t>(fs::path::preferred_separator); }

    TTempDir Dir;
    TFakeFileSystem Files;
    TCompletionWitness Window{Dir.Path()};
};

TEST_F(UpdateRunOrder, TheCompletionWindowComesAfterExtractionAndWriteBack) {
    Run(WithDiskNumbers(ZipBuilder().Add("a.txt", "new", 8).Build()));
    EXPECT_EQ(Window.Completions, 1);
    EXPECT_TRUE(Window.ExtractedBefore);
    EXPECT_TRUE(Window.WrittenBackBefore);
}

TEST_F(UpdateRunOrder, AFailedExtractionIsStillWrittenBackOnRelease) {
    TTestEntry broken;
    broken.Name = "b.txt";
    broken.Data = "lost";
    broken.Method = 8;
    broken.StoredData = std::string("\x07 reserved block type", 21);
    EXPECT_THROW(Run(WithDiskNumbers(ZipBuilder().Add("a.txt", "new").Add(broken).Build())), EZDecompressionError);
    EXPECT_EQ(Window.Completions, 0);
    EXPECT_TRUE(WrittenBack(Dir / "Data.dat"));
}

#ifndef _WIN32
// Only here can a test make a write-back fail on a real file (a file-size limit, as a full disk).
TEST_F(UpdateRunOrder, AFailingWriteBackShowsNoCompletionWindow) {
    TTestEntry commented;
    commented.Name = "a.txt";
    commented.Data = "new";
    commented.Comment = std::string(8000, 'c');  // the central directory reaches past the limit
    const TTestBytes archive = ZipBuilder().Add(commented).Build();
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    WriteWholeFile(Dir / "Data.dat", archive);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    UString message;
    try {
        TCurrentFolder here(Dir.Path());
        UString archivePath;
        RunUpdate(Window, Files, u"KelvoUpdater.exe", KelvoFolder(), archivePath);
    } catch (const Exception& e) {
        message = e.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(ToUtf8(message), ToUtf8(UString(kZipWriteError)));
    EXPECT_EQ(Window.Completions, 0);
    EXPECT_TRUE(fs::exists(Dir / "kelvo" / "a.txt"));
}
#endif

}  // namespace
