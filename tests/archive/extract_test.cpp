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

TTestEntry Entry(std::string name, std::string data, uint16_t method = 0) {
    TTestEntry e;
    e.Name = std::move(name);
    e.Data = std::move(data);
    e.Method = method;
    return e;
}

}  // namespace

TEST(ExtractAll, WritesFilesAndFoldersAtTheirRelativePaths) {
    TUpdateFolder f;
    f.Run(ZipBuilder()
              .Add("Kelvo.exe", "MZ program", 8)
              .Add("empty/", "")
              .Add("a/b/c.txt", std::string(200000, 'c'), 8)
              .Add("a/stored.bin", std::string("\0\1\2\3", 4))
              .Build());
    EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "MZ program");
    EXPECT_TRUE(fs::is_directory(f.Out() / "empty"));
    EXPECT_EQ(ReadText(f.Out() / "a" / "b" / "c.txt"), std::string(200000, 'c'));
    EXPECT_EQ(ReadText(f.Out() / "a" / "stored.bin"), std::string("\0\1\2\3", 4));
    EXPECT_EQ(EntriesBelow(f.Out()), 6);  // 3 files and 3 folders: no temporaries
}

// An update packed by 7-Zip: only the Persian name carries the UTF-8 flag.
TEST(ExtractAll, AFlaggedNameBesideUnflaggedOnesIsInstalledUnderItsOwnName) {
    TTestEntry program = Entry("Kelvo.exe", "MZ program", 8);
    program.Flag = 0;
    TTestEntry report = Entry("\xDA\xAF\xD8\xB2\xD8\xA7\xD8\xB1\xD8\xB4.rep", "report");
    TUpdateFolder f;
    f.Run(ZipBuilder().Add(program).Add(report).Build());
    EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "MZ program");
    EXPECT_EQ(ReadText(f.Out() / fs::path(u"\u06AF\u0632\u0627\u0631\u0634.rep")), "report");
    EXPECT_EQ(EntriesBelow(f.Out()), 2);
}

TEST(ExtractAll, EmptyEntriesGiveEmptyFilesWithOrWithoutADataDescriptor) {
    TTestEntry described = Entry("described.txt", "");
    described.Flag |= 0x0008;
    TUpdateFolder f;
    f.Run(ZipBuilder().Add("plain.txt", "").Add(described).Build());
    EXPECT_EQ(fs::file_size(f.Out() / "plain.txt"), 0u);
    EXPECT_EQ(fs::file_size(f.Out() / "described.txt"), 0u);
}

TEST(ExtractAll, ReplacesExistingFilesAndRunsAgainOverItsOwnTree) {
    TUpdateFolder f;
    fs::create_directories(f.Out() / "a");
    WriteText(f.Out() / "a" / "x.txt", "an old and much longer content");
    const TTestBytes zip = ZipBuilder().Add("a/x.txt", "new", 8).Add("y.txt", "why").Build();
    f.Run(zip);
    f.Run(zip);
    EXPECT_EQ(ReadText(f.Out() / "a" / "x.txt"), "new");
    EXPECT_EQ(ReadText(f.Out() / "y.txt"), "why");
    EXPECT_EQ(EntriesBelow(f.Out()), 3);
}

TEST(ExtractAll, StoredEntryCopiesTheUncompressedSizeWhateverTheCompressedSizeSays) {
    TTestEntry e = Entry("s.txt", "hello");
    e.StoredData = "hello world";
    e.CompressedSize = 2;
    TUpdateFolder f;
    f.Run(ZipBuilder().Add(e).Build());
    EXPECT_EQ(ReadText(f.Out() / "s.txt"), "hello");
}

TEST(ExtractAll, TheWriteBackHappensAfterExtraction) {
    TUpdateFolder f;
    const TTestBytes zip = ZipBuilder().Add("a.txt", "a").Trailing("tail").Build();
    f.Run(zip);
    EXPECT_EQ(ReadWholeFile(f.Archive()), zip);
    f.Run({});  // a 0-byte archive extracts nothing and becomes the empty archive
    EXPECT_EQ(ReadWholeFile(f.Archive()).size(), 22u);
}

TEST(ExtractAll, AnEmptyNameWritesNothing) {
    TUpdateFolder f;
    f.Run(ZipBuilder().Add("", "").Build());
    EXPECT_EQ(EntriesBelow(f.Out()), 0);
}

TEST(ExtractAll, NeedsAnOpenArchive) {
    TZipFile zip;
    TTempDir dir;
    ExpectRaises<EZipException>([&] { zip.ExtractAll(Folder(dir.Path())); }, UString(kNotOpenForReading));
}

// Each failing entry stops the run: the entries before it stay written, the
// ones after it are not touched, and the failing one leaves no file.
TEST(ExtractAll, AFailingEntryStopsTheRunWithItsOwnError) {
    struct Case {
        const char* name;
        TTestEntry entry;
        UString message;
    };
    TTestEntry bzip2 = Entry("b.txt", "data");
    bzip2.Method = 12;
    TTestEntry deflate64 = Entry("b.txt", "data");
    deflate64.Method = 9;
    TTestEntry corrupt = Entry("b.txt", "data", 8);
    corrupt.StoredData = std::string("\xFF\xFF\xFF\xFF", 4);
    TTestEntry shortData = Entry("b.txt", "data", 8);
    shortData.UncompressedSize = 100000;
    TTestEntry wrongCrc = Entry("sub/b.txt", "data", 8);
    wrongCrc.Crc = 0x12345678;
    TTestEntry badName = Entry("bad\xC3(.txt", "data");
    TTestEntry quote = Entry("b\"q.txt", "data");
    const Case cases[] = {
        {"bzip2", bzip2, u"Item not found"},
        {"deflate64", deflate64, u"Item not found"},
        {"corrupt deflate data", corrupt, u"data error"},
        {"data shorter than recorded", shortData, u"Stream read error"},
        {"wrong checksum", wrongCrc, u"Checksum error in \"sub\\b.txt\""},
        {"invalid UTF-8 name", badName, UString(kNoUnicodeMapping)},
        {"invalid path character", quote, u"Invalid characters in path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TUpdateFolder f;
        const TTestBytes zip = ZipBuilder().Add("a.txt", "first").Add(c.entry).Add("c.txt", "third").Build();
        try {
            f.Run(zip);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(ToUtf8(e.Message()), ToUtf8(c.message));
        }
        EXPECT_EQ(ReadText(f.Out() / "a.txt"), "first");
        EXPECT_FALSE(fs::exists(f.Out() / "c.txt"));
        EXPECT_FALSE(fs::exists(f.Out() / "b.txt"));
        EXPECT_FALSE(fs::exists(f.Out() / "sub" / "b.txt"));
        EXPECT_EQ(ReadWholeFile(f.Archive()), zip);  // written back on release, unchanged
    }
}

TEST(ExtractAll, ErrorClassesMatchTheirKind) {
    TUpdateFolder f;
    TTestEntry bzip2 = Entry("b.txt", "data");
    bzip2.Method = 12;
    ExpectRaises<EListError>([&] { f.Run(ZipBuilder().Add(bzip2).Build()); }, u"Item not found");
    TTestEntry corrupt = Entry("b.txt", "data", 8);
    corrupt.StoredData = std::string("\xFF\xFF\xFF\xFF", 4);
    ExpectRaises<EZDecompressionError>([&] { f.Run(ZipBuilder().Add(corrupt).Build()); }, u"data error");
    TTestEntry shortData = Entry("b.txt", "data", 8);
    shortData.UncompressedSize = 5;
    ExpectRaises<EReadError>([&] { f.Run(ZipBuilder().Add(shortData).Build()); }, u"Stream read error");
    TTestBytes badLocal = ZipBuilder().Add("b.txt", "data").Build();
    badLocal[2] = 9;
    ExpectRaises<EZipException>([&] { f.Run(badLocal); }, UString(kBadLocalHeader));
    ExpectRaises<EArgumentException>([&] { f.Run(ZipBuilder().Add("a|b", "x").Build()); }, UString(kInvalidPathChars));
    ExpectRaises<ENotSupportedException>([&] { f.Run(ZipBuilder().Add("ab:c/x.txt", "x").Build()); },
                                         UString(kPathFormatNotSupported));
    ExpectRaises<EPathTooLongException>(
        [&] { f.Run(ZipBuilder().Add(std::string(250, 'd') + "/x.txt", "x").Build()); }, UString(kPathTooLong));
}

TEST(ExtractConfinement, NamesThatLeaveTheTargetFolderAreNotWritten) {
    const std::pair<std::string, UString> cases[] = {
        {"../x.txt", u"..\\x.txt"},
        {"..\\x.txt", u"..\\x.txt"},
        {"a/../../x.txt", u"a\\..\\..\\x.txt"},
        {"/x.txt", u"\\x.txt"},
        {"\\x.txt", u"\\x.txt"},
        {"C:x.txt", u"C:x.txt"},
        {"C:\\x.txt", u"C:\\x.txt"},
        {"\\\\?\\C:\\x.txt", u"\\\\?\\C:\\x.txt"},
        {"a/..", u"a\\.."},
        {"../", u"..\\"},
    };
    for (const auto& [name, shown] : cases) {
        SCOPED_TRACE(name);
        TUpdateFolder f;
        ExpectRaises<EZipException>(
            [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add(name, "evil").Add("c.txt", "third").Build()); },
            Format(kOutsideTargetFolder, {shown}));
        EXPECT_EQ(ReadText(f.Out() / "a.txt"), "first");
        EXPECT_FALSE(fs::exists(f.Out() / "c.txt"));
        EXPECT_FALSE(fs::exists(f.Root() / "x.txt"));
        EXPECT_EQ(EntriesBelow(f.Root()), 3);  // Data.dat, out and out/a.txt: nothing else
    }
}

TEST(ExtractConfinement, DotsThatStayInsideAreFine) {
    TUpdateFolder f;
    f.Run(ZipBuilder().Add("a/../b.txt", "b").Add("./c.txt", "c").Add("...x", "d").Build());
    EXPECT_EQ(ReadText(f.Out() / "b.txt"), "b");
    EXPECT_EQ(ReadText(f.Out() / "c.txt"), "c");
    EXPECT_EQ(ReadText(f.Out() / "...x"), "d");
}

TEST(ExtractNoTornFiles, AFailingEntryLeavesTheOldFileAsItWas) {
    TTestEntry corrupt = Entry("x.txt", std::string(100000, 'n'), 8);
    corrupt.StoredData = RawDeflate(std::string(100000, 'n')).substr(0, 40) + std::string(20, '\xFF');
    TTestEntry wrongCrc = Entry("x.txt", "new content", 8);
    wrongCrc.Crc = 1;
    TTestEntry shortData = Entry("x.txt", "new content", 8);
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

TEST(Extract, WithoutSubfoldersUsesTheLastComponentOnly) {
    RegisterDefaultCompressionHandlers();
    TTempDir dir;
    TBytesStream stream(ZipBuilder().Add("deep/er/name.txt", "flat").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    zip.Extract(0, Folder(dir.Path()), false);
    EXPECT_EQ(ReadText(dir / "name.txt"), "flat");
    EXPECT_FALSE(fs::exists(dir / "deep"));
    ExpectRaises<EZipException>([&] { zip.Extract(1, Folder(dir.Path())); }, UString(kFileNotFound));
}

TEST(Extract, AFolderWithoutAFinalSeparatorGetsOne) {
    RegisterDefaultCompressionHandlers();
    TTempDir dir;
    TBytesStream stream(ZipBuilder().Add("sub/name.txt", "x").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    zip.ExtractAll(U(dir.Path()));
    EXPECT_EQ(ReadText(dir / "sub" / "name.txt"), "x");
}

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

TEST(Extract, ARelativeFolderIsTakenFromTheCurrentFolder) {
#ifdef _WIN32
    const char* forms[] = {"out", "out\\", "out/", ".\\x\\..\\out"};
#else
    const char* forms[] = {"out", "out\\", "out/", "./x/../out"};
#endif
    RegisterDefaultCompressionHandlers();
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        TTempDir dir;
        fs::create_directories(dir / "out" / "c.txt");  // a folder where a file is wanted
        TCurrentFolder current(dir.Path());
        TBytesStream archive(ZipBuilder().Add("a/b.txt", "b").Add("c.txt", "c").Build());
        TZipFile zip;
        zip.Open(archive, zmRead);
        const UString target = U(fs::current_path() / "out" / "c.txt");  // the full path, as messages give it
        UString message;
        try {
            zip.ExtractAll(FromUtf8(form));
        } catch (const EFCreateError& e) {
            message = e.Message();
        }
        EXPECT_EQ(ToUtf8(message.substr(0, message.find(u". "))), ToUtf8(u"Cannot create file \"" + target + u"\""));
        EXPECT_EQ(ReadText(dir / "out" / "a" / "b.txt"), "b");
        EXPECT_EQ(EntriesBelow(dir.Path()), 4);  // out, out/a, out/a/b.txt, out/c.txt
    }
    // A missing folder given with a final "\" is the directory part of its targets and is made.
    TTempDir dir;
    TCurrentFolder current(dir.Path());
    TBytesStream archive(ZipBuilder().Add("c.txt", "c").Build());
    TZipFile zip;
    zip.Open(archive, zmRead);
    zip.ExtractAll(u"fresh\\");
    EXPECT_EQ(ReadText(dir / "fresh" / "c.txt"), "c");
}
