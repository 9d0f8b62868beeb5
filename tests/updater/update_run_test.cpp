// The update run behind the start button: where the archive lies, the text
// of the box when it is missing, and the order of the run: open read-write,
// extract, write back, and only then the completion window. The order's
// archives carry disk numbers 1 in their end records, which the write-back
// rewrites as 0, so a test sees whether it has happened.
#include "updater/update_run.h"

#include <gtest/gtest.h>

#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "tests/support/zip_builder.h"
#include "tests/support/current_folder.h"
#include "tests/support/expect_raises.h"
#include "tests/support/temp_dir.h"
#include "tests/updater/fakes.h"
#include "updater/updater_texts.h"
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

// HeldHere: this process has ARCHIVE open (Windows: reading it fails then, see WrittenBack).
bool HeldHere(const fs::path& archive) {
#ifdef _WIN32
    (void)archive;
    return false;
#else
    std::error_code error;
    for (const fs::directory_entry& descriptor : fs::directory_iterator("/proc/self/fd", error)) {
        if (fs::read_symlink(descriptor.path(), error) == fs::canonical(archive, error)) return true;
    }
    return false;
#endif
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
        ClosedBefore = !HeldHere(FFolder / "Data.dat");
    }
    void ShowPlainMessage(const UString&) override { ++Messages; }

    int Completions = 0;
    int Messages = 0;
    bool ExtractedBefore = false;
    bool WrittenBackBefore = false;
    bool ClosedBefore = false;

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
        RunUpdate(Window, Files, u"KelvoUpdater.exe", KelvoFolder(), archivePath, Seal);
    }

    UString KelvoFolder() const { return (Dir / "kelvo").u16string() + static_cast<char16_t>(fs::path::preferred_separator); }

    TTempDir Dir;
    TFakeFileSystem Files;
    TCompletionWitness Window{Dir.Path()};
    TArchiveSeal Seal;  // unsealed unless a test seals it
};

TArchiveSeal SealOf(const TTestBytes& archive) {
    TSha256 sha;
    sha.Update(archive.data(), archive.size());
    return TArchiveSeal{true, sha.Finish()};
}

TEST(ArchivePath, IsDataDatBesideTheExecutable) {
    struct Case {
        const char16_t* module;
        const char16_t* archive;
    };
    const Case cases[] = {
        {u"C:\\Updater\\KelvoUpdater.exe", u"C:\\Updater\\Data.dat"},
        {u"C:\\KelvoUpdater.exe", u"C:\\Data.dat"},
        {u"\\\\server\\share\\up\\x.exe", u"\\\\server\\share\\up\\Data.dat"},
        {u"D:x.exe", u"D:Data.dat"},                      // a colon cuts as well
        {u"C:\\a.b\\c:d.exe", u"C:\\a.b\\c:Data.dat"},    // whichever comes last
        {u"C:\\dir.with\\dots\\up.date.exe", u"C:\\dir.with\\dots\\Data.dat"},
        {u"x.exe", u"Data.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.module));
        EXPECT_EQ(ToUtf8(ArchivePathBeside(c.module)), ToUtf8(c.archive));
    }
}

TEST(MissingArchiveText, HasItsTwentyFourCharactersInStoredOrder) {
    const UString text(kMissingArchiveText);
    ASSERT_EQ(text.size(), 24u);
    EXPECT_EQ(ToUtf8(text),
              "\x20\xd9\x85\xd9\x88\xd8\xac\xd9\x88\xd8\xaf\x20\xd9\x86\xdb\x8c\xd8\xb3\xd8\xaa"
              "Data.dat\xd9\x81\xd8\xa7\xdb\x8c\xd9\x84\x20");
}

TEST_F(UpdateRunOrder, TheCompletionWindowComesAfterExtractionAndWriteBack) {
    Run(WithDiskNumbers(ZipBuilder().Add("a.txt", "new", 8).Build()));
    EXPECT_EQ(Window.Completions, 1);
    EXPECT_TRUE(Window.ExtractedBefore);
    EXPECT_TRUE(Window.WrittenBackBefore);
    EXPECT_TRUE(Window.ClosedBefore);
}

TEST_F(UpdateRunOrder, AMissingArchiveIsOnlyReported) {
    TFakeFileSystem withoutDataDat;
    TCurrentFolder here(Dir.Path());
    UString archivePath;
    RunUpdate(Window, withoutDataDat, u"KelvoUpdater.exe", KelvoFolder(), archivePath, Seal);
    EXPECT_EQ(Window.Messages, 1);
    EXPECT_EQ(Window.Completions, 0);
}

// Data.dat is read only as a file of its own: a link, or a second name of a
// file kept elsewhere, is refused before anything is extracted. (Wine shows a
// file link as a plain file; there the hard link stands for both.)
TEST_F(UpdateRunOrder, ALinkedArchiveIsRefusedAndNothingIsExtracted) {
    const std::pair<const char*, void (*)(const fs::path&, const fs::path&)> cases[] = {
        {"hard link", [](const fs::path& real, const fs::path& name) { fs::create_hard_link(real, name); }},
#ifndef _WIN32
        {"symbolic link", [](const fs::path& real, const fs::path& name) { fs::create_symlink(real, name); }},
#endif
    };
    for (const auto& [kind, link] : cases) {
        SCOPED_TRACE(kind);
        fs::remove(Dir / "Data.dat");
        WriteWholeFile(Dir / "real.dat", ZipBuilder().Add("a.txt", "new").Build());
        link(Dir / "real.dat", Dir / "Data.dat");
        TCurrentFolder here(Dir.Path());
        UString archivePath;
        ExpectRaises<ELinkRefused>([&] { RunUpdate(Window, Files, u"KelvoUpdater.exe", KelvoFolder(), archivePath); },
                                   Format(kArchiveIsLinked, {(fs::current_path() / "Data.dat").u16string()}));
        EXPECT_FALSE(fs::exists(Dir / "kelvo" / "a.txt"));
        EXPECT_EQ(Window.Completions, 0);
    }
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

// A sealed updater installs its own archive at every press (the write-back
// keeps its bytes), and refuses any other before writing anything: neither
// into Kelvo's folder nor back into Data.dat (the disk numbers show a write-back).
TEST_F(UpdateRunOrder, ASealedRunInstallsOnlyTheArchiveItWasSealedTo) {
    // Its digest is taken in reads of 61,440 bytes: the comment makes the last one a single byte.
    const size_t bare = ZipBuilder().Add("a.txt", "new", 8).Build().size();
    const TTestBytes own = ZipBuilder().Add("a.txt", "new", 8).Comment(std::string(61441 - bare, 'c')).Build();
    ASSERT_EQ(own.size(), 61441u);
    Seal = SealOf(own);
    Run(own);
    Run(ReadWholeFile(Dir / "Data.dat"));
    EXPECT_EQ(Window.Completions, 2);
    EXPECT_EQ(ReadWholeFile(Dir / "Data.dat"), own);

    TTestBytes oneByte = own;
    oneByte[oneByte.size() / 2] ^= 1;
    for (const TTestBytes& other : {WithDiskNumbers(ZipBuilder().Add("a.txt", "stranger", 8).Build()),
                                    WithDiskNumbers(own), oneByte}) {
        fs::remove(Dir / "kelvo" / "a.txt");
        ExpectRaises<EForeignArchive>([&] { Run(other); }, UString(kForeignArchiveText));
        EXPECT_EQ(ReadWholeFile(Dir / "Data.dat"), other);
        EXPECT_TRUE(fs::is_empty(Dir / "kelvo"));
    }
    EXPECT_EQ(Window.Completions, 2);
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
