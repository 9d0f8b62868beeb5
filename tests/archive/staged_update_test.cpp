// All or nothing: every entry is staged and checked before any installed
// file changes (TStagedUpdate), so a failing entry, a file in the way, a full
// disk or a swap failing half-way leaves the installation byte for byte as it
// was, with no staged file, and nothing is ever written outside the target folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <set>

#include "archive/staged_update.h"
#include "base/finally.h"

#include "archive/zip_texts.h"
#include "base/system_text.h"
#ifndef _WIN32
#include <sys/mount.h>
#endif
#include "tests/archive/support/update_run.h"
#include "tests/support/current_folder.h"
#include "tests/support/expect_raises.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr uint32_t kAccessDenied = 5;  // ERROR_ACCESS_DENIED
constexpr uint32_t kFileExists = 80;   // ERROR_FILE_EXISTS
#else
constexpr uint32_t kAccessDenied = EACCES;
constexpr uint32_t kFileExists = EEXIST;
#endif

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

TEST(ExtractNoTornFiles, AFolderInTheWayStopsTheRunAndChangesNothing) {
    TUpdateFolder f;
    fs::create_directories(f.Out() / "x.txt" / "inside");
    WriteText(f.Out() / "a.txt", "old first");
    const auto before = Tree(f.Out());
    try {
        f.Run(ZipBuilder().Add("a.txt", "first").Add("sub/b.txt", "b").Add("x.txt", "data").Build());
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        const UString start = u"Cannot create file \"" + U(f.Out() / "x.txt") + u"\". ";
        EXPECT_EQ(ToUtf8(e.Message().substr(0, start.size())), ToUtf8(start));
        EXPECT_GT(e.Message().size(), start.size());  // followed by the system's text
    }
    EXPECT_EQ(Tree(f.Out()), before);
}

// A read-only file in the way stops the run where creating it anew fails, as
// CreateFileW with CREATE_ALWAYS does, before anything is written or replaced.
TEST(ExtractNoTornFiles, AReadOnlyFileInTheWayStopsTheRunAndStaysAsItWas) {
    constexpr fs::perms kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    TUpdateFolder f;
    fs::create_directories(f.Out());
    const fs::path kept = f.Out() / "Kelvo.exe";
    WriteText(kept, "old program");
    fs::permissions(kept, kWrite, fs::perm_options::remove);
    ExpectRaises<EFCreateError>(
        [&] { f.Run(ZipBuilder().Add("a.txt", "first").Add("c.txt", "x").Add("Kelvo.exe", "new program", 8).Build()); },
        Format(kCannotCreateFile, {U(kept), SystemErrorText(kAccessDenied)}));
    const bool stillReadOnly = (fs::status(kept).permissions() & kWrite) == fs::perms::none;
    fs::permissions(kept, fs::perms::owner_write, fs::perm_options::add);  // so that the folder can go
    EXPECT_TRUE(stillReadOnly);
    EXPECT_EQ(ReadText(kept), "old program");
    EXPECT_EQ(EntriesBelow(f.Out()), 1);  // a.txt was only staged; no staged file left
}

// The folder "a/c" the run meant to make cannot be made, and is not removed
// afterwards either: not the installed empty folder "c" beside "a" instead.
TEST(ExtractNoTornFiles, AFileWhereAFolderIsNeededFailsWhenTheFileIsCreated) {
    TUpdateFolder f;
    fs::create_directories(f.Out() / "c");
    WriteText(f.Out() / "a", "a file");
#ifdef _WIN32
    const UString target = U(f.Out()) + u"\\a\\c\\b.txt";
    const UString systemText = SystemErrorText(3);  // ERROR_PATH_NOT_FOUND
#else
    const UString target = U(f.Out()) + u"/a/c/b.txt";
    const UString systemText = u"Not a directory";
#endif
    const auto before = Tree(f.Out());
    ExpectRaises<EFCreateError>([&] { f.Run(ZipBuilder().Add("a/c/b.txt", "data").Build()); },
                                Format(kCannotCreateFile, {target, systemText}));
    EXPECT_EQ(Tree(f.Out()), before);
}

#ifndef _WIN32
// The folders a failed run made are removed through their held parents,
// wherever those are now, even after one it meant to make could not be reached.
TEST(ExtractNoTornFiles, MadeFoldersAreRemovedFromTheirHeldParents) {
    TTempDir dir;
    const fs::path out = dir / "out";
    fs::create_directories(out / "n");
    {
        TStagedUpdate update;
        TTargetGuard& guard = update.Guard(U(out));
        update.FolderMade(U(out / "n"), guard.PlaceOf(U(out / "n")));
        update.FolderMade(U(out / "a" / "c"), guard.PlaceOf(U(out / "a" / "c")));  // there is no "a"
        fs::rename(out, dir / "moved");
        fs::create_directories(out / "n");
    }
    EXPECT_FALSE(fs::exists(dir / "moved" / "n"));
    EXPECT_TRUE(fs::exists(out / "n"));
}

// A full disk: the installation lies on a file system of 256 KiB of its own.
TEST(ExtractNoTornFiles, AFullDiskFailsWithAWriteErrorAndChangesNothing) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    if (::mount("kelvo-test", f.Out().c_str(), "tmpfs", 0, "size=256k") != 0) {
        FAIL() << "cannot mount a 256 KiB tmpfs on " << f.Out() << ": " << std::strerror(errno)
               << " (the test needs root, or CAP_SYS_ADMIN)";
    }
    UString message;
    TryFinally(
        [&] {
            WriteText(f.Out() / "big.bin", "old content");
            fs::create_directories(f.Out() / "lib");
            const auto before = Tree(f.Out());
            WriteWholeFile(f.Archive(), ZipBuilder()
                                            .Add("new.bin", "fits")
                                            .Add("lib/a.bpl", std::string(100000, 'a'), 8)
                                            .Add("big.bin", std::string(300000, 'b'), 8)
                                            .Build());
            try {
                RunUpdate(f.Archive(), Folder(f.Out()));
            } catch (const Exception& e) {
                message = e.Message();
            }
            EXPECT_EQ(Tree(f.Out()), before);
        },
        [&] { ::umount2(f.Out().c_str(), MNT_DETACH); });
    EXPECT_EQ(ToUtf8(message), "Stream write error");
}
#endif

// A swap that fails half-way (a file taken by another program between the
// passes) puts back every file already swapped: Kelvo is wholly old.
TEST(ExtractNoTornFiles, ASwapFailingHalfWayPutsBackEverySwappedFile) {
    TUpdateFolder f;
    fs::create_directories(f.Out());
    WriteText(f.Out() / "Kelvo.exe", "old program");
    WriteText(f.Out() / "a.bpl", "old library");
    WriteText(f.Out() / "z.bpl", "old last");
    const auto before = Tree(f.Out());
    const UString held = U(f.Out() / "z.bpl");
    std::vector<UString> asked;
    SetSwapHook([&](const UString& target) {
        asked.push_back(target);
        return target == held ? kAccessDenied : 0;
    });
    TryFinally(
        [&] {
            ExpectRaises<EFCreateError>(
                [&] {
                    f.Run(ZipBuilder()
                              .Add("Kelvo.exe", "new program", 8)
                              .Add("a.bpl", "old library twice")
                              .Add("a.bpl", "new library")
                              .Add("new/n.txt", "new file")
                              .Add("z.bpl", "new last")
                              .Build());
                },
                Format(kCannotCreateFile, {held, SystemErrorText(kAccessDenied)}));
        },
        [] { SetSwapHook(nullptr); });
    EXPECT_EQ(asked.size(), 5u);  // the fifth swap failed, four were made and put back
    EXPECT_EQ(Tree(f.Out()), before);
}

// A run that was killed leaves staged files and old copies under names that
// no installed file has; the next run removes them from the folders it writes to.
TEST(ExtractNoTornFiles, TheNextRunRemovesWhatAKilledRunLeft) {
    TUpdateFolder f;
    fs::create_directories(f.Out() / "sub");
    const char* leftovers[] = {"~kelvo0000abcd.new", "~kelvo12345679.old", "sub/~kelvoffffffff.new",
                               "~kelvo0badcafe.tmp"};
    for (const char* name : leftovers) WriteText(f.Out() / name, "left by a killed run");
    WriteText(f.Out() / "~kelvo-notes.txt", "not ours");
    WriteText(f.Out() / "~kelvo0000abcd.new.txt", "not ours either");
    WriteText(f.Out() / "~kelvo0000abcg.new", "no number");
    WriteText(f.Out() / "~KELVO0000beef.new", "another's");  // Windows lists it for "~kelvo*"
    f.Run(ZipBuilder().Add("a.txt", "a").Add("sub/b.txt", "b").Build());
    EXPECT_EQ(Tree(f.Out()), (std::map<std::string, std::string>{{"a.txt", "a"},
                                                                  {"sub", "/"},
                                                                  {"sub/b.txt", "b"},
                                                                  {"~kelvo-notes.txt", "not ours"},
                                                                  {"~kelvo0000abcd.new.txt", "not ours either"},
                                                                  {"~kelvo0000abcg.new", "no number"},
                                                                  {"~KELVO0000beef.new", "another's"}}));
}

// A staged file's name that is taken is skipped for the next one, a thousand
// times at most; then the run stops rather than try on. A link there is
// refused. The names after the first entry's staged file are taken before the
// second entry is staged.
TEST(ExtractNoTornFiles, AStagedNameTakenIsSkippedAThousandTimesAtMost) {
    const struct {
        uint32_t Taken;
        bool Link;
    } cases[] = {
        {1000, false},
        {1001, false},
#ifndef _WIN32
        {1, true},  // the programs under test make no links on Windows
#endif
    };
    RegisterDefaultCompressionHandlers();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Link ? "a link" : std::to_string(c.Taken) + " taken");
        TTempDir dir;
        const fs::path out = dir / "out";
        fs::create_directories(out);
        WriteText(dir / "taken", "");
        const auto take = [&] {  // by links to one file: making a thousand files is slow
            uint32_t first = 0;
            for (const auto& entry : fs::directory_iterator(out)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind("~kelvo", 0) == 0) first = static_cast<uint32_t>(std::stoul(name.substr(6, 8), nullptr, 16));
            }
            for (uint32_t k = 1; k <= c.Taken; ++k) {
                char name[32];
                std::snprintf(name, sizeof name, "~kelvo%08x.new", static_cast<unsigned>(first + k));
                if (c.Link) {
                    fs::create_symlink(dir / "taken", out / name);
                } else {
                    fs::create_hard_link(dir / "taken", out / name);
                }
            }
        };
        TBeforeSecondEntry archive(ZipBuilder().Add("a.txt", "a").Add("b.txt", "b").Build(), take);
        TZipFile zip;
        zip.Open(archive, zmRead);
        const bool installs = c.Taken == 1000;
        if (installs) {
            zip.ExtractAll(Folder(out));
            EXPECT_EQ(ReadText(out / "b.txt"), "b");
        } else if (c.Link) {
            ExpectRaises<ELinkRefused>([&] { zip.ExtractAll(Folder(out)); }, Format(kLinkRefused, {U(out / "b.txt")}));
        } else {
            ExpectRaises<EFCreateError>([&] { zip.ExtractAll(Folder(out)); },
                                        Format(kCannotCreateFile, {U(out / "b.txt"), SystemErrorText(kFileExists)}));
        }
        EXPECT_EQ(EntriesBelow(out), static_cast<int>(c.Taken) + (installs ? 2 : 0));
        EXPECT_EQ(ReadText(dir / "taken"), "");
    }
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
