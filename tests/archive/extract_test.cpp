// Extraction: where each entry lands, the errors that stop a run, and the
// names that would leave the target folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "archive/staged_update.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/update_run.h"
#include "tests/support/current_folder.h"
#include "tests/support/expect_raises.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

// TFailingCase is an entry that stops the run, and the text it stops it with.
struct TFailingCase {
    const char* Name;
    TTestEntry Entry;
    UString Message;
};

#ifndef _WIN32
int OpenDescriptors() {
    return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}
#endif

std::vector<TFailingCase> FailingCases() {
    TTestEntry bzip2 = TestEntry("b.txt", "data");
    bzip2.Method = 12;
    TTestEntry deflate64 = TestEntry("b.txt", "data");
    deflate64.Method = 9;
    TTestEntry corrupt = TestEntry("b.txt", "data", 8);
    corrupt.StoredData = std::string("\xFF\xFF\xFF\xFF", 4);
    TTestEntry shortData = TestEntry("b.txt", "data", 8);
    shortData.UncompressedSize = 100000;
    TTestEntry wrongCrc = TestEntry("sub/b.txt", "data", 8);
    wrongCrc.Crc = 0x12345678;
    return {
        {"bzip2", bzip2, u"Item not found"},
        {"deflate64", deflate64, u"Item not found"},
        {"corrupt deflate data", corrupt, u"data error"},
        {"data shorter than recorded", shortData, u"Stream read error"},
        {"wrong checksum", wrongCrc, u"Checksum error in \"sub\\b.txt\""},
        {"invalid UTF-8 name", TestEntry("bad\xC3(.txt", "data"), UString(kNoUnicodeMapping)},
        {"invalid path character", TestEntry("b\"q.txt", "data"), u"Invalid characters in path"},
    };
}

}  // namespace

TEST(ExtractAll, WritesFilesAndFoldersAtTheirRelativePaths) {
    TUpdateFolder f;
#ifndef _WIN32
    const int descriptors = OpenDescriptors();
#endif
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
#ifndef _WIN32
    EXPECT_EQ(OpenDescriptors(), descriptors);  // every folder held is let go
#endif
}

// An update packed by 7-Zip: only the Persian name carries the UTF-8 flag.
TEST(ExtractAll, AFlaggedNameBesideUnflaggedOnesIsInstalledUnderItsOwnName) {
    TTestEntry program = TestEntry("Kelvo.exe", "MZ program", 8);
    program.Flag = 0;
    TTestEntry report = TestEntry("\xDA\xAF\xD8\xB2\xD8\xA7\xD8\xB1\xD8\xB4.rep", "report");
    TUpdateFolder f;
    f.Run(ZipBuilder().Add(program).Add(report).Build());
    EXPECT_EQ(ReadText(f.Out() / "Kelvo.exe"), "MZ program");
    EXPECT_EQ(ReadText(f.Out() / fs::path(u"\u06AF\u0632\u0627\u0631\u0634.rep")), "report");
    EXPECT_EQ(EntriesBelow(f.Out()), 2);
}

TEST(ExtractAll, EmptyEntriesGiveEmptyFilesWithOrWithoutADataDescriptor) {
    TTestEntry described = TestEntry("described.txt", "");
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
#ifndef _WIN32
    // What creating the file anew would keep: its permissions.
    constexpr fs::perms kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(f.Out() / "a" / "x.txt", kMode);
#endif
    f.Run(zip);
    f.Run(zip);
#ifndef _WIN32
    EXPECT_EQ(fs::status(f.Out() / "a" / "x.txt").permissions(), kMode);
#endif
    EXPECT_EQ(ReadText(f.Out() / "a" / "x.txt"), "new");
    EXPECT_EQ(ReadText(f.Out() / "y.txt"), "why");
    EXPECT_EQ(EntriesBelow(f.Out()), 3);
}

#ifndef _WIN32
// Every staged file stays in its held folder until the commit: the folder is
// held once, not once a file, or a large update runs out of descriptors.
TEST(ExtractAll, AnUpdateOfManyFilesInOneFolderHoldsTheFolderOnce) {
    ZipBuilder zip;
    for (int i = 0; i < 300; ++i) zip.Add("a/b/" + std::to_string(i) + ".txt", "x");
    const TTestBytes bytes = zip.Build();
    TUpdateFolder f;
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 200;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limited), 0);
    const auto run = [&] { f.Run(bytes); };
    EXPECT_NO_THROW(run());
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(EntriesBelow(f.Out()), 302);
}
#endif

TEST(ExtractAll, StoredEntryCopiesTheUncompressedSizeWhateverTheCompressedSizeSays) {
    TTestEntry e = TestEntry("s.txt", "hello");
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

// Each failing entry stops the run, here the last one of an update: the
// installation is as it was, byte for byte, with no staged file and no new
// folder left (nor the target folder, where the run made it), and the archive
// is written back unchanged.
TEST(ExtractAll, AFailingEntryStopsTheRunWithItsOwnErrorAndChangesNothing) {
    for (const TFailingCase& c : FailingCases()) {
        SCOPED_TRACE(c.Name);
        TUpdateFolder f;
        fs::create_directories(f.Out());
        WriteText(f.Out() / "a.txt", "old first");
        WriteText(f.Out() / "c.txt", "old third");
        const auto before = Tree(f.Out());
        const TTestBytes zip =
            ZipBuilder().Add("a.txt", "first").Add("new/n.txt", "new", 8).Add("c.txt", "third").Add(c.Entry).Build();
        WriteWholeFile(f.Archive(), zip);
        for (const UString& folder : {Folder(f.Out()), U(f.Root()) + u"\\fresh\\out\\"}) {
            try {
                RunUpdate(f.Archive(), folder);
                ADD_FAILURE() << "no error";
            } catch (const Exception& e) {
                EXPECT_EQ(ToUtf8(e.Message()), ToUtf8(c.Message));
            }
        }
        EXPECT_EQ(Tree(f.Out()), before);
        EXPECT_FALSE(fs::exists(f.Root() / "fresh"));
        EXPECT_EQ(ReadWholeFile(f.Archive()), zip);  // written back on release, unchanged
    }
}

// A record pointing into bytes that another entry's header (its local extra
// field counted) or data takes (one compressed stream read for many entries)
// is refused before anything is written; a stored entry's data is as long as
// its uncompressed size. Central records in another order than their data are
// no overlap; a record pointing where no local header starts fails on its own.
TEST(ExtractAll, OverlappingEntriesAreRefusedBeforeAnythingIsWritten) {
    TTestEntry withExtra = TestEntry("a.txt", "data");
    withExtra.LocalExtra = std::string(8, 'x');
    const TTestBytes zip = ZipBuilder().Add(withExtra).Add("sub/b.txt", "data").Build();
    const size_t first = CentralDirectoryOffset(zip);  // a.txt's central record
    const size_t second = first + 46 + 5;              // sub/b.txt's
    const UString overlap = Format(kEntriesOverlap, {u"a.txt", u"sub/b.txt"});
    const struct {
        const char* Name;
        std::function<void(TTestBytes&)> Change;
        UString Message;  // empty: both entries are installed
    } cases[] = {
        {"the same local header", [&](TTestBytes& z) { PutLe32(z, second + 42, 0); }, overlap},
        {"stored data one byte into the next header, its compressed size 0",
         [&](TTestBytes& z) {
             PutLe32(z, first + 20, 0);
             PutLe32(z, first + 24, 5);
         },
         overlap},
        {"central records in another order",
         [&](TTestBytes& z) { std::rotate(z.begin() + first, z.begin() + second, z.begin() + second + 46 + 9); }, u""},
        {"a record pointing into the other's data", [&](TTestBytes& z) { PutLe32(z, second + 42, 30 + 5 + 8 + 1); },
         UString(kBadLocalHeader)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestBytes changed = zip;
        c.Change(changed);
        TUpdateFolder f;
        if (c.Message.empty()) {
            f.Run(changed);
            EXPECT_EQ(Tree(f.Out()), (std::map<std::string, std::string>{{"a.txt", "data"}, {"sub", "/"}, {"sub/b.txt", "data"}}));
        } else {
            ExpectRaises<EZipException>([&] { f.Run(changed); }, c.Message);
            EXPECT_EQ(EntriesBelow(f.Out()), 0);
        }
    }
}

TEST(ExtractAll, ErrorClassesMatchTheirKind) {
    TUpdateFolder f;
    TTestEntry bzip2 = TestEntry("b.txt", "data");
    bzip2.Method = 12;
    ExpectRaises<EListError>([&] { f.Run(ZipBuilder().Add(bzip2).Build()); }, u"Item not found");
    TTestEntry corrupt = TestEntry("b.txt", "data", 8);
    corrupt.StoredData = std::string("\xFF\xFF\xFF\xFF", 4);
    ExpectRaises<EZDecompressionError>([&] { f.Run(ZipBuilder().Add(corrupt).Build()); }, u"data error");
    TTestEntry shortData = TestEntry("b.txt", "data", 8);
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
        EXPECT_FALSE(fs::exists(f.Root() / "x.txt"));
        EXPECT_EQ(EntriesBelow(f.Root()), 2);  // Data.dat and out: nothing else
    }
}

#ifndef _WIN32
// The programs under test make no links on Windows (Wine lacks the call);
// there the seam's own test drives the rule through a link the build made.
// A link an ordinary user planted in the target folder: the run refuses it,
// naming it, and writes nothing where it points.
TEST(ExtractConfinement, NothingIsWrittenThroughALinkInTheTargetFolder) {
    struct TLinkCase {
        const char* Entry;
        const char* Link;  // made in "out", pointing into "elsewhere"
        const char* Points;
        bool ToFolder;
    };
    const TLinkCase cases[] = {
        {"plugins/x.dll", "plugins", "", true},
        {"plugins/new/", "plugins", "", true},
        {"a/plugins/x.dll", "a/plugins", "", true},
        {"service.ini", "service.ini", "service.ini", false},
        {"new.dll", "new.dll", "new.dll", false},  // a link to where nothing is yet
    };
    for (const TLinkCase& c : cases) {
        SCOPED_TRACE(c.Entry);
        TUpdateFolder f;
        const fs::path elsewhere = f.Root() / "elsewhere";
        fs::create_directories(elsewhere);
        WriteText(elsewhere / "service.ini", "old");
        fs::create_directories((f.Out() / c.Link).parent_path());
        if (c.ToFolder) {
            fs::create_directory_symlink(elsewhere, f.Out() / c.Link);
        } else {
            fs::create_symlink(elsewhere / c.Points, f.Out() / c.Link);
        }
        ExpectRaises<ELinkRefused>([&] { f.Run(ZipBuilder().Add(c.Entry, "evil").Build()); },
                                   Format(kLinkRefused, {U(f.Out() / c.Link)}));
        EXPECT_EQ(ReadText(elsewhere / "service.ini"), "old");
        EXPECT_EQ(EntriesBelow(elsewhere), 1);
    }
}

// The folder "sub", made and held by the run, is swapped for a link to
// "elsewhere" while entries are staged, or when the commit starts: nothing is
// written through the link. Staging refuses it, naming it, and removes what
// it staged and made in the folder it held, not the empty folder of the same
// name elsewhere; a commit goes on in the held folder.
TEST(ExtractConfinement, AFolderSwappedForALinkAfterItWasMadeIsNotWrittenThrough) {
    RegisterDefaultCompressionHandlers();
    for (const bool whileStaging : {true, false}) {
        SCOPED_TRACE(whileStaging ? "while staging" : "at the commit");
        TTempDir dir;
        const fs::path out = dir / "out";
        const fs::path elsewhere = dir / "elsewhere";
        fs::create_directories(out);
        fs::create_directories(elsewhere / "in");
        const auto swap = [&] {
            fs::rename(out / "sub", dir / "moved");
            fs::create_directory_symlink(elsewhere, out / "sub");
        };
        const TBytes bytes = ZipBuilder().Add("sub/in/a.txt", "a").Add("sub/in/b.txt", "b").Build();
        TBeforeSecondEntry archive(bytes, whileStaging ? std::function<void()>(swap) : nullptr);
        TZipFile zip;
        zip.Open(archive, zmRead);
        if (whileStaging) {
            ExpectRaises<ELinkRefused>([&] { zip.ExtractAll(Folder(out)); }, Format(kLinkRefused, {U(out / "sub")}));
            EXPECT_EQ(EntriesBelow(dir / "moved"), 0);
        } else {
            bool swapped = false;
            SetSwapHook([&](const UString&) {
                if (!std::exchange(swapped, true)) swap();
                return 0u;
            });
            TryFinally([&] { zip.ExtractAll(Folder(out)); }, [] { SetSwapHook(nullptr); });
            EXPECT_EQ(ReadText(dir / "moved" / "in" / "b.txt"), "b");
        }
        EXPECT_TRUE(fs::is_symlink(out / "sub"));
        EXPECT_EQ(EntriesBelow(elsewhere), 1);
    }
}

// A target, installed or new, that became a link before its swap is refused
// there, naming it: the swaps made are put back and nothing is written where
// the link points.
TEST(ExtractConfinement, ATargetThatBecameALinkBeforeItsSwapIsRefused) {
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "installed" : "new");
        TUpdateFolder f;
        fs::create_directories(f.Out());
        WriteText(f.Out() / "a.txt", "old a");
        if (installed) WriteText(f.Out() / "b.txt", "old b");
        const fs::path elsewhere = f.Root() / "elsewhere.txt";
        WriteText(elsewhere, "elsewhere");
        const UString linked = U(f.Out() / "b.txt");
        SetSwapHook([&](const UString& target) {
            if (target == linked) {
                fs::remove(f.Out() / "b.txt");
                fs::create_symlink(elsewhere, f.Out() / "b.txt");
            }
            return 0u;
        });
        TryFinally(
            [&] {
                ExpectRaises<ELinkRefused>([&] { f.Run(ZipBuilder().Add("a.txt", "new a").Add("b.txt", "new b").Build()); },
                                           Format(kLinkRefused, {linked}));
            },
            [] { SetSwapHook(nullptr); });
        EXPECT_EQ(ReadText(f.Out() / "a.txt"), "old a");
        EXPECT_EQ(ReadText(elsewhere), "elsewhere");
        EXPECT_EQ(EntriesBelow(f.Out()), 2);  // a.txt and the link: no staged file, no old copy
    }
}

#endif

TEST(ExtractConfinement, DotsThatStayInsideAreFine) {
    TUpdateFolder f;
    f.Run(ZipBuilder().Add("a/../b.txt", "b").Add("./c.txt", "c").Add("...x", "d").Build());
    EXPECT_EQ(ReadText(f.Out() / "b.txt"), "b");
    EXPECT_EQ(ReadText(f.Out() / "c.txt"), "c");
    EXPECT_EQ(ReadText(f.Out() / "...x"), "d");
}

TEST(Extract, WithoutSubfoldersUsesTheLastComponentOnly) {
    RegisterDefaultCompressionHandlers();
    TTempDir dir;
    TBytesStream stream(ZipBuilder().Add("deep/er/name.txt", "flat").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    zip.Extract(0, Folder(dir.Path()), false);
    EXPECT_EQ(ReadText(dir / "name.txt"), "flat");
    EXPECT_FALSE(fs::exists(dir / "deep"));
    EXPECT_THROW(zip.Extract(0, U(dir.Path()) + u"\\missing\\", false), EFCreateError);  // no folder is made
    EXPECT_FALSE(fs::exists(dir / "missing"));
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
#ifndef _WIN32
    // A link given as the folder is the caller's choice: it is followed.
    fs::create_directories(dir / "real");
    fs::create_directory_symlink(dir / "real", dir / "link");
    zip.ExtractAll(U(dir / "link"));
    EXPECT_EQ(ReadText(dir / "real" / "sub" / "name.txt"), "x");
#endif
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
        EXPECT_EQ(EntriesBelow(dir.Path()), 2);  // out and out/c.txt: a and a/b.txt were staged only
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
