// No torn files: each entry is written through TOutputFile, so a failing
// entry, a file in the way or a full disk leaves the old file as it was and no
// temporary outside the target folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "archive/zip_texts.h"
#include "base/system_text.h"
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif
#include "tests/archive/support/update_run.h"
#include "tests/support/current_folder.h"
#include "tests/support/expect_raises.h"

namespace fs = std::filesystem;

namespace {

// TWatchedArchive is an archive in memory that notes, each time extraction
// reads from it, every path below a watched folder that lies outside the target
// folder: a file made there in the middle of an entry is seen even when it is
// gone by the end.
class TWatchedArchive : public TBytesStream {
public:
    TWatchedArchive(TTestBytes bytes, fs::path watched, fs::path target)
        : TBytesStream(std::move(bytes)), FWatched(std::move(watched)), FTarget(std::move(target)) {}
    int64_t Read(void* buffer, int64_t count) override {
        for (auto it = fs::recursive_directory_iterator(FWatched); it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == FTarget) it.disable_recursion_pending();
            else Outside.insert(it->path().lexically_relative(FWatched).generic_u8string());
        }
        return TBytesStream::Read(buffer, count);
    }
    std::set<std::string> Outside;

private:
    fs::path FWatched;
    fs::path FTarget;
};

}  // namespace

TEST(ExtractNoTornFiles, AFailingEntryLeavesTheOldFileAsItWas) {
    TTestEntry corrupt = TestEntry("x.txt", std::string(100000, 'n'), 8);
    corrupt.StoredData = RawDeflate(std::string(100000, 'n')).substr(0, 40) + std::string(20, '\xFF');
    TTestEntry wrongCrc = TestEntry("x.txt", "new content", 8);
    wrongCrc.Crc = 1;
    TTestEntry shortData = TestEntry("x.txt", "new content", 8);
    shortData.UncompressedSize = 1000;
    for (const TTestEntry& e : {corrupt, wrongCrc, shortData}) {
        SCOPED_TRACE(e.Crc.has_value() ? "checksum" : e.UncompressedSize ? "short" : "corrupt");
        TUpdateFolder f;
        fs::create_directories(f.Out());
        WriteText(f.Out() / "x.txt", "old content");
        EXPECT_THROW(f.Run(ZipBuilder().Add(e).Build()), Exception);
        EXPECT_EQ(ReadText(f.Out() / "x.txt"), "old content");
        EXPECT_EQ(EntriesBelow(f.Out()), 1);  // no temporary left beside it
    }
}

TEST(ExtractNoTornFiles, ATargetThatIsAFolderCannotBeReplaced) {
    TUpdateFolder f;
    fs::create_directories(f.Out() / "x.txt");
    try {
        f.Run(ZipBuilder().Add("x.txt", "data").Build());
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        const UString start = u"Cannot create file \"" + U(f.Out() / "x.txt") + u"\". ";
        EXPECT_EQ(ToUtf8(e.Message().substr(0, start.size())), ToUtf8(start));
        EXPECT_GT(e.Message().size(), start.size());  // followed by the system's text
    }
    EXPECT_TRUE(fs::is_directory(f.Out() / "x.txt"));
    EXPECT_EQ(EntriesBelow(f.Out()), 1);
}

// A read-only file in the way stops the run where creating it anew fails, as
// CreateFileW with CREATE_ALWAYS does, before anything is written or replaced.
TEST(ExtractNoTornFiles, AReadOnlyFileInTheWayStopsTheRunAndStaysAsItWas) {
#ifdef _WIN32
    constexpr uint32_t kAccessDenied = 5;  // ERROR_ACCESS_DENIED
#else
    constexpr uint32_t kAccessDenied = EACCES;
#endif
    constexpr fs::perms kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    TUpdateFolder f;
    fs::create_directories(f.Out());
    const fs::path kept = f.Out() / "Kelvo.exe";
    WriteText(kept, "old program");
    fs::permissions(kept, kWrite, fs::perm_options::remove);
    ExpectRaises<EFCreateError>(
        [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add("Kelvo.exe", "new program", 8).Add("c.txt", "x").Build()); },
        Format(kCannotCreateFile, {U(kept), SystemErrorText(kAccessDenied)}));
    const bool stillReadOnly = (fs::status(kept).permissions() & kWrite) == fs::perms::none;
    fs::permissions(kept, fs::perms::owner_write, fs::perm_options::add);  // so that the folder can go
    EXPECT_TRUE(stillReadOnly);
    EXPECT_EQ(ReadText(kept), "old program");
    EXPECT_EQ(ReadText(f.Out() / "a.txt"), "first");
    EXPECT_FALSE(fs::exists(f.Out() / "c.txt"));
    EXPECT_EQ(EntriesBelow(f.Out()), 2);  // no temporary left
}

TEST(ExtractNoTornFiles, AFileWhereAFolderIsNeededFailsWhenTheFileIsCreated) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "a", "a file");
#ifdef _WIN32
    const UString target = U(f.Out()) + u"\\a\\b.txt";
    const UString systemText = SystemErrorText(3);  // ERROR_PATH_NOT_FOUND
#else
    const UString target = U(f.Out()) + u"/a/b.txt";
    const UString systemText = u"Not a directory";
#endif
    ExpectRaises<EFCreateError>([&] { f.Run(ZipBuilder().Add("a/b.txt", "data").Build()); },
                                Format(kCannotCreateFile, {target, systemText}));
    EXPECT_EQ(ReadText(f.Out() / "a"), "a file");
}

#ifndef _WIN32
TEST(ExtractNoTornFiles, AFullDiskFailsWithAWriteErrorAndKeepsTheOldFile) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "big.bin", "old content");
    WriteWholeFile(f.Archive(), ZipBuilder().Add("new.bin", "fits").Add("big.bin", std::string(300000, 'b'), 8).Build());
    // A file-size limit makes writes beyond 100,000 bytes fail, as a full disk does.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 100000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    UString message;
    try {
        RunUpdate(f.Archive(), Folder(f.Out()));
    } catch (const Exception& e) {
        message = e.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(ToUtf8(message), "Stream write error");
    EXPECT_EQ(ReadText(f.Out() / "big.bin"), "old content");
    EXPECT_EQ(ReadText(f.Out() / "new.bin"), "fits");
    EXPECT_EQ(EntriesBelow(f.Out()), 2);
}
#endif

TEST(ExtractNoTornFiles, TheTemporaryOfAReplacedFileStaysInsideTheTargetFolder) {
    // The folder in every form a caller may give it; forward slashes are valid Windows paths too.
    struct {
        const char* form;
        UString (*folder)(const fs::path&);
    } const forms[] = {
        {"final slash", [](const fs::path& p) { return UString(p.generic_u16string() + u"/"); }},
        {"final system separator", [](const fs::path& p) { return Folder(p); }},
        {"bare, slashes only", [](const fs::path& p) { return UString(p.generic_u16string()); }},
    };
    RegisterDefaultCompressionHandlers();
    for (const auto& form : forms) {
        SCOPED_TRACE(form.form);
        TTempDir dir;
        const fs::path out = dir / "out";
        fs::create_directories(out);
        fs::create_directories(dir / "current");
        TCurrentFolder current(dir / "current");
        TWatchedArchive archive(ZipBuilder().Add("a.txt", "first").Add("a.txt", "second").Build(), dir.Path(), out);
        TZipFile zip;
        zip.Open(archive, zmRead);
        zip.ExtractAll(form.folder(out));
        zip.Close();
        EXPECT_EQ(archive.Outside, std::set<std::string>{"current"});
        EXPECT_EQ(ReadText(out / "a.txt"), "second");
        EXPECT_EQ(EntriesBelow(out), 1);
    }
}
