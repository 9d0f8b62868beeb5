#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <map>
#include <tuple>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <zlib.h>

#include "archive/dattool/pack.h"
#include "archive/zip_file.h"
#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/update_run.h"

namespace fs = std::filesystem;

#ifndef _WIN32
namespace {
// gClock, when set, is what this program's time() answers, which pack asks for the packing time.
std::time_t gClock = 0;
}  // namespace

extern "C" std::time_t time(std::time_t* out) noexcept {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::time_t answer = gClock != 0 ? gClock : now.tv_sec;
    if (out != nullptr) *out = answer;
    return answer;
}
#endif

namespace {

using Lines = std::vector<std::string>;

const fs::path kPersianFolder(u"\u06AF\u0632\u0627\u0631\u0634\u200C\u0647\u0627");  // گزارش‌ها
const fs::path kPersianFile(u"\u062F\u0641\u062A\u0631 \u06A9\u0644.rep");          // دفتر کل.rep

std::string Noise(size_t size) {
    std::string out(size, '\0');
    uint32_t x = 2463534242u;
    for (char& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

// DeflatedToItsOwnSize is a text that raw deflate at zlib's default level makes exactly as long: a run of
// "a" shrinks, noise grows, and each "a" more changes the difference by one byte at most.
std::string DeflatedToItsOwnSize() {
    const std::string noise = Noise(1000);
    for (size_t run = 0; run < 1000; ++run) {
        const std::string text = std::string(run, 'a') + noise;
        uLongf size = compressBound(static_cast<uLong>(text.size()));
        std::string out(size, '\0');
        if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                      static_cast<uLong>(text.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
            break;
        }
        if (size - 6 == text.size()) return text;  // less the zlib header and checksum
    }
    throw std::runtime_error("no text deflates to its own size");
}

// NamesIn lists the names in a folder, sorted.
Lines NamesIn(const fs::path& folder) {
    Lines names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
// TFileSizeLimit lets this process write no file beyond bytes (a write there
// fails with EFBIG instead of raising SIGXFSZ), for as long as it lives.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(size_t bytes) : FSignal(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &FBefore);
        rlimit limit = FBefore;
        limit.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit");
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FBefore);
        std::signal(SIGXFSZ, FSignal);
    }

private:
    void (*FSignal)(int);
    rlimit FBefore{};
};

// TOpenFileLimit lets this process open only `more` descriptors besides those it holds, for as long as it
// lives: the limit is the lowest number below which that many are free.
class TOpenFileLimit {
public:
    explicit TOpenFileLimit(int more) {
        std::vector<int> held;
        for (const auto& e : fs::directory_iterator("/proc/self/fd")) held.push_back(std::stoi(e.path().filename()));
        int below = 0;
        while (below - static_cast<int>(std::count_if(held.begin(), held.end(), [&](int fd) { return fd < below; })) < more) ++below;
        ::getrlimit(RLIMIT_NOFILE, &FBefore);
        rlimit limit = FBefore;
        limit.rlim_cur = static_cast<rlim_t>(below);
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) throw std::runtime_error("setrlimit");
    }
    ~TOpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &FBefore); }

private:
    rlimit FBefore{};
};
#endif

void MakeSampleFolder(const fs::path& root) {
    fs::create_directories(root / kPersianFolder / "sub folder" / "deeper");
    fs::create_directories(root / "empty folder");
    WriteText(root / "Kelvo.exe", "MZ program");
    WriteText(root / kPersianFolder / kPersianFile, "ledger");
    WriteText(root / kPersianFolder / "sub folder" / "empty file.txt", "");
    WriteText(root / "big text.txt", std::string(5 * kCopyBufferSize + 1, 'k'));  // deflates; read last: one byte
    WriteText(root / kPersianFolder / "sub folder" / "deeper" / "noise.bin", Noise(70000));  // stays stored
}

TRun Pack(const fs::path& folder, const fs::path& archive) { return Tool({u"pack", u"--fixed-time", U(folder), U(archive)}); }

// Today is the local date as dattool list shows it.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

}  // namespace

// The update run's write-back leaves a packed archive's bytes as they were,
// so a sealed updater's second press still finds the archive it was sealed to.
TEST(DatToolPack, PackThenTheUpdateRunGivesTheSameTreeAndKeepsTheArchivesBytes) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    TRun run = Pack(dir / "src", dir / "Data.dat");
    ASSERT_EQ(run.Code, 0) << (run.Console.FOut.empty() ? "" : run.Console.FOut.back());
    EXPECT_EQ(run.Console.FOut, (Lines{"check of the new archive: no problems in 9 entries",
                                       "packed 9 entries into " + ToUtf8(U(dir / "Data.dat"))}));
    const TTestBytes packed = ReadWholeFile(dir / "Data.dat");
    fs::create_directories(dir / "out");
    RunUpdate(dir / "Data.dat", Folder(dir / "out"));
    EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), packed);
}

TEST(DatToolPack, RecordsAreFlaggedSortedAndTheSameEachTime) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    ASSERT_EQ(Pack(dir / "src", dir / "one.dat").Code, 0);
    ASSERT_EQ(Pack(dir / "src", dir / "two.dat").Code, 0);
    EXPECT_EQ(ReadWholeFile(dir / "one.dat"), ReadWholeFile(dir / "two.dat"));
    TZipFile zip;
    zip.Open(U(dir / "one.dat"), zmRead);
    EXPECT_TRUE(zip.UTF8Support());
    std::map<std::string, uint16_t> methods;
    std::string previous;
    for (int i = 0; i < zip.FileCount(); ++i) {
        const TZipHeader h = zip.FileInfo(i);
        const std::string name(h.FileName.begin(), h.FileName.end());
        EXPECT_LT(previous, name);
        EXPECT_EQ(name.find('\\'), std::string::npos);
        EXPECT_EQ(h.Flag, kFlagUtf8Names);
        // Made by a Unix host, whose names readers take as UTF-8, needing 2.0 (folders, deflate).
        EXPECT_EQ(h.MadeByVersion, 3 << 8 | 20);
        EXPECT_EQ(h.RequiredVersion, 20);
        EXPECT_EQ(h.ModifiedDateTime, kFixedTime);
        // Unix modes for the readers that restore them (rw-r--r--, rwxr-xr-x), and the MS-DOS folder bit.
        EXPECT_EQ(h.ExternalAttributes, name.back() == '/' ? (040755u << 16 | 0x10) : 0100644u << 16) << name;
        methods[name] = h.CompressionMethod;
        previous = name;
    }
    EXPECT_EQ(methods.at("big text.txt"), 8);
    EXPECT_EQ(methods.at(kPersianFolder.u8string() + "/sub folder/deeper/noise.bin"), 0);  // deflate is not smaller
    EXPECT_EQ(methods.at("empty folder/"), 0);
    EXPECT_EQ(methods.size(), 9u);
    // Deflate looks 32 KiB back; a file it makes no smaller, not even by a byte, is stored; one stored over its
    // longer deflated bytes, packed last, leaves nothing of them after the end record. Progress hears each entry.
    fs::create_directories(dir / "noise");
    WriteText(dir / "noise" / "again.bin", Noise(20000) + Noise(20000));
    WriteText(dir / "noise" / "even.bin", DeflatedToItsOwnSize());
    WriteText(dir / "noise" / "n.bin", Noise(1 << 20));
    std::vector<UString> problems;
    TNativeFile file = 0;
    ASSERT_EQ(OpenNativeFile(U(dir / "noise.dat"), faReadWrite, fdCreateNew, file), 0u);
    std::vector<size_t> heard;
    WritePackArchive(CollectPackItems(U(dir / "noise"), {}, problems), U(dir / "noise.dat"), file, kFixedTime,
                     [&](size_t done) { heard.push_back(done); });
    EXPECT_EQ(heard, (std::vector<size_t>{1, 2, 3}));
    TZipFile noise;
    noise.Open(U(dir / "noise.dat"), zmRead);
    ASSERT_EQ(noise.FileCount(), 3);
    EXPECT_EQ(noise.FileInfo(0).CompressionMethod, 8);
    EXPECT_LT(noise.FileInfo(0).CompressedSize, 21000u);
    EXPECT_EQ(noise.FileInfo(1).CompressionMethod, 0);
    uint64_t records = 22;
    for (int i = 0; i < noise.FileCount(); ++i) records += 30 + 46 + 2 * noise.FileInfo(i).FileNameLength + noise.FileInfo(i).CompressedSize;
    EXPECT_EQ(fs::file_size(dir / "noise.dat"), records);
}

// Without --fixed-time the entries carry the time they were packed; a clock set
// before 1980, which MS-DOS time cannot hold, stamps them 1980-01-01.
TEST(DatToolPack, EntriesCarryTheDayTheyWerePacked) {
    TTempDir dir;
    fs::create_directories(dir / "src");
    WriteText(dir / "src" / "a.txt", "a");
    const auto listed = [&](const char* archive) {  // the entry's line: method, sizes, date and time, ...
        EXPECT_EQ(Tool({u"pack", U(dir / "src"), U(dir / archive)}).Code, 0);
        return Tool({u"list", U(dir / archive)}).Console.FOut.at(1);
    };
    const std::string before = Today();
    const std::string today = listed("today.dat");
    EXPECT_TRUE(today.find("\t" + before + " ") != std::string::npos || today.find("\t" + Today() + " ") != std::string::npos)
        << today;
#ifndef _WIN32
    gClock = 300000000;  // July 1979
    const std::string early = listed("1979.dat");
    gClock = 331000000;  // June 1980, the first year MS-DOS time holds
    const std::string first = listed("1980.dat");
    gClock = 1000000003;  // 43 seconds into a minute in every time zone: stored in two-second steps, 42
    const std::string late = listed("2001.dat");
    gClock = 0;
    EXPECT_NE(early.find("\t1980-01-01 00:00:00\t"), std::string::npos) << early;
    EXPECT_NE(first.find("\t1980-06-"), std::string::npos) << first;
    const std::time_t at = 1000000003;
    char shown[32] = {};
    std::strftime(shown, sizeof shown, "\t%Y-%m-%d %H:%M:42\t", std::localtime(&at));
    EXPECT_NE(late.find(shown), std::string::npos) << late;
#endif
}

// Windows keeps neither such names nor such deep folders below a test folder;
// there the same rules are shown on the listed items below.
#ifndef _WIN32
TEST(DatToolPack, RefusesWhatCheckWouldReportAndWritesNothing) {
    TTempDir dir;
    const std::string folder(240, 'd');
    fs::create_directories(dir / "src" / folder);
    WriteText(dir / "src" / "ok.txt", "x");
    WriteText(dir / "src" / "name. ", "x");
    WriteText(dir / "src" / folder / "x.txt", "x");
    TRun run = Pack(dir / "src", dir / "Data.dat");
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"" + folder + "/\": its folder in c:\\program files (x86)\\kelvo\\ has 269 characters: The "
                     "specified path is too long",
                     "\"" + folder + "/x.txt\": its folder in c:\\program files (x86)\\kelvo\\ has 269 characters: The "
                     "specified path is too long",
                     "\"" + folder + "/x.txt\": its path in c:\\program files (x86)\\kelvo\\ has 275 characters; Windows "
                     "allows at most 259",
                     "\"name. \": the name part \"name. \" ends in a dot or a space, which Windows drops",
                     "nothing packed: 4 problems"}));
    EXPECT_FALSE(fs::exists(dir / "Data.dat"));
    TRun file = Pack(dir / "src" / "ok.txt", dir / "Data.dat");
    EXPECT_EQ(file.Code, 2);
    EXPECT_EQ(file.Console.FErr, Lines{"\"" + ToUtf8(U(dir / "src" / "ok.txt")) + "\": is not a folder"});
    EXPECT_FALSE(fs::exists(dir / "Data.dat"));
    std::vector<UString> problems;  // the listing says so too, for a folder replaced after the command's check
    EXPECT_TRUE(CollectPackItems(U(dir / "src" / "ok.txt"), {}, problems).empty());
    EXPECT_EQ(problems, std::vector<UString>{u"\"" + U(dir / "src" / "ok.txt") + u"\": is not a folder"});
    fs::path deep = dir / "deep";  // a folder the listing cannot read whole: no descriptor left for its deeper levels
    for (int i = 0; i < 40; ++i) deep /= "d";
    fs::create_directories(deep);
    problems.clear();
    {
        const TOpenFileLimit limit(8);
        CollectPackItems(U(dir / "deep"), {}, problems);
    }
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(ToUtf8(problems[0]), "\"" + ToUtf8(U(dir / "deep")) + "\": cannot be read whole: Too many open files");
    fs::path longer;  // and a file it cannot size: its path is longer than the system takes, its folder's is not
    for (int i = 0; i < 16; ++i) longer /= std::string(240, 'l');
    fs::create_directories(dir / "long" / longer);
    const int folderFd = ::open((dir / "long" / longer).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folderFd, 0);
    ::close(::openat(folderFd, std::string(250, 'f').c_str(), O_CREAT | O_WRONLY, 0644));
    problems.clear();
    CollectPackItems(U(dir / "long"), {}, problems);
    ::unlinkat(folderFd, std::string(250, 'f').c_str(), 0);
    ::close(folderFd);
    EXPECT_EQ(problems, std::vector<UString>{u"\"" + U(longer / std::string(250, 'f')) + u"\": cannot be read: File name too long"});
}
#endif

TEST(DatToolPack, TheNameRulesOfCheckApplyToTheListedItems) {
    std::vector<TPackItem> items(5);
    items[4].Name = u"a\\b.txt";  // a Linux file name
    items[0].Name = u"aux.log";
    items[1].Name = u"Lib";
    items[2].Name = u"lib/x.dll";
    items[3].Name = UString(231, u'f');
    EXPECT_EQ(PackProblems(items),
              (std::vector<UString>{u"\"aux.log\": the name part \"aux.log\" is a device name on Windows",
                                    u"\"" + items[3].Name + u"\": its path in c:\\program files (x86)\\kelvo\\ has 260 "
                                    u"characters; Windows allows at most 259",
                                    u"\"a\\b.txt\": has a \"\\\", which Windows takes for a folder separator",
                                    u"\"lib/x.dll\": needs a folder \"lib\" where \"Lib\" is a file"}));
}

TEST(DatToolPack, RefusesWhatTheFormatCannotHoldWithoutZip64) {
    TTempDir dir;
    fs::create_directories(dir / "src");
    WriteText(dir / "src" / "huge.bin", "");
    fs::resize_file(dir / "src" / "huge.bin", 0x100000000ull);  // sparse: nothing is read before the refusal
    TRun run = Pack(dir / "src", dir / "Data.dat");
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut, (Lines{"\"huge.bin\": is 4294967296 bytes; an update archive holds files smaller than "
                                       "4 GiB (no ZIP64)",
                                       "nothing packed: 1 problem"}));
    EXPECT_FALSE(fs::exists(dir / "Data.dat"));
    std::vector<TPackItem> many(kMostEntries + 1);
    for (size_t i = 0; i < many.size(); ++i) many[i].Name = FromUtf8("f" + std::to_string(i));
    EXPECT_EQ(PackProblems(many), std::vector<UString>{u"the folder gives 65536 entries; an update archive holds at most 65,535 (no ZIP64)"});
    many.pop_back();
    many[0].Size = 0xFFFFFFFF;  // 4 GiB - 1, the largest size 32 bits hold
    EXPECT_TRUE(PackProblems(many).empty());
}

// What lies at ARCHIVE is replaced only when it is a regular file holding an
// update archive (or --force is given), and never by a half-made archive.
TEST(DatToolPack, NeverWritesOverWhatItDidNotMake) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    fs::create_directories(dir / "a folder");
    WriteText(dir / "notes.txt", "notes");
    WriteText(dir / "one byte", "x");
    Lines held;  // temporary names something else holds are left to it; the hundredth is still free
    for (int i = 1; i < 100; ++i) held.push_back(".notes.txt.pack-" + std::to_string(i));
    for (const std::string& name : held) WriteText(dir / name, "held");
#ifndef _WIN32  // Wine makes no links; the peers test shows the Windows build's refusal there
    fs::create_directory_symlink(dir / "src", dir / "src link");
#endif
    struct TCase {
        fs::path Archive;
        std::vector<UString> Options;
        std::string Said;  // the first line, after the archive's quoted name ("" when packed)
    };
    const TCase cases[] = {
        {dir / "a folder", {}, ": is not a regular file; pack writes only an archive file"},
        {dir / "notes.txt", {}, ": exists and is not an update archive; give --force to replace it"},
        {dir / "one byte", {}, ": exists and is not an update archive; give --force to replace it"},
        {dir / "src" / "Data.dat", {}, ": lies inside the folder to pack"},
#ifndef _WIN32
        {dir / "src link" / "Data.dat", {}, ": lies inside the folder to pack"},
#endif
        {dir / "notes.txt", {u"--force"}, ""},
        {dir / "notes.txt", {}, ""},  // now an update archive
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(U(c.Archive).size());
        std::vector<UString> args{u"pack", U(dir / "src"), U(c.Archive)};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        TRun run = Tool(args);
        ASSERT_FALSE(run.Console.FOut.empty());
        if (c.Said.empty()) {
            EXPECT_EQ(run.Code, 0) << run.Console.FOut.front();
            TZipFile zip;
            zip.Open(U(c.Archive), zmRead);
            EXPECT_EQ(zip.FileCount(), 9);
        } else {
            EXPECT_EQ(run.Code, 1);
            EXPECT_EQ(run.Console.FOut.front(), "\"" + ToUtf8(U(c.Archive)) + "\"" + c.Said);
        }
    }
    EXPECT_TRUE(fs::is_directory(dir / "a folder"));
    Lines names{"a folder", "notes.txt", "one byte", "src"};
#ifndef _WIN32
    names.push_back("src link");
#endif
    names.insert(names.end(), held.begin(), held.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(NamesIn(dir.Path()), names);  // no temporary file of its own left
    EXPECT_EQ(Tree(dir / "src").count("Data.dat"), 0u);    WriteText(dir / ".notes.txt.pack-100", "held");  // with the hundredth taken too, nothing is packed
    const TRun full = Tool({u"pack", U(dir / "src"), U(dir / "notes.txt")});
    EXPECT_EQ(full.Code, 1);
    EXPECT_EQ(full.Console.FOut.at(0), "no free name for a temporary file beside \"" + ToUtf8(U(dir / "notes.txt")) + "\"");
}

#ifndef _WIN32
// A write that fails half-way (here the file-size limit, as a full disk would)
// names the file and the system's reason, and leaves ARCHIVE as it was.
TEST(DatToolPack, AFailedWriteLeavesTheArchiveAsItWasAndSaysWhy) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    ASSERT_EQ(Pack(dir / "src", dir / "Data.dat").Code, 0);
    const TTestBytes before = ReadWholeFile(dir / "Data.dat");
    WriteText(dir / "src" / "more noise.bin", Noise(200000));
    TRun run{0, {}};
    {
        TFileSizeLimit limit(before.size() + 1000);
        run = Pack(dir / "src", dir / "Data.dat");
    }
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"cannot write \"" + ToUtf8(U(dir / ".Data.dat.pack-1")) + "\": File too large.", "nothing packed"}));
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), before);
    EXPECT_EQ(NamesIn(dir.Path()), (Lines{"Data.dat", "src"}));
}


// Links and junctions would pack what lies outside the folder, a pipe is no file,
// a name not UTF-8 has no entry name: each is named and nothing is packed. Wine makes no links: dattool_peers_test.sh shows the
// Windows build refusing a link made on the Linux side.
TEST(DatToolPack, RefusesLinksNamingEach) {
    TTempDir dir;
    fs::create_directories(dir / "src" / "sub");
    fs::create_directories(dir / "elsewhere");
    WriteText(dir / "elsewhere" / "secret.txt", "secret");
    WriteText(dir / "src" / "a.txt", "a");
    fs::create_directory_symlink(dir / "elsewhere", dir / "src" / "sub" / "to folder");
    fs::create_symlink(dir / "elsewhere" / "secret.txt", dir / "src" / "to file");
    ASSERT_EQ(::mkfifo((dir / "src" / "pipe").c_str(), 0600), 0);  // would block the packing forever
    fs::create_directories(dir / "src" / "bad\xFF");  // a refused folder is not entered
    WriteText(dir / "src" / "bad\xFF" / "x.txt", "x");
    TRun run = Pack(dir / "src", dir / "Data.dat");
    EXPECT_EQ(run.Code, 1);
    const std::string said = "\": is a link or junction; pack takes only what lies in the folder (replace it with the files)";
    EXPECT_EQ(run.Console.FOut, (Lines{"\"bad\uFFFD\": its name is not UTF-8", "\"pipe\": is not a plain file or folder",
                                       "\"sub/to folder" + said, "\"to file" + said, "nothing packed: 4 problems"}));
    std::vector<UString> problems{u"~ found before"};  // the listing sorts only the problems it adds, after those
    CollectPackItems(U(dir / "src"), {}, problems);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], u"~ found before");
    EXPECT_EQ(problems[1], u"\"bad\uFFFD\": its name is not UTF-8");
    EXPECT_FALSE(fs::exists(dir / "Data.dat"));
}
#endif

TEST(DatToolPack, ExcludePatternsLeaveOutFilesAndWholeFolders) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    WriteText(dir / "src" / "empty folder" / "inside.txt", "x");
    ASSERT_EQ(Tool({u"pack", U(dir / "src"), U(dir / "Data.dat"), u"--exclude", u"deeper", u"--exclude", u"empty f?lder"}).Code, 0);
    fs::create_directories(dir / "out");
    RunUpdate(dir / "Data.dat", Folder(dir / "out"));
    fs::remove_all(dir / "src" / "empty folder");
    fs::remove_all(dir / "src" / kPersianFolder / "sub folder" / "deeper");
    EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
    const std::tuple<const char16_t*, const char16_t*, bool> patterns[] = {
        {u"a.log", u"*.log", true}, {u"a.log.txt", u"*.log", false}, {u"logs/a", u"logs/*", true},
        {u"abc", u"a?c", true},     {u"ac", u"a?c", false},          {u"", u"*", true},
        {u"abcbd", u"a*b*d", true}, {u"abcbe", u"a*b*d", false},
    };
    for (const auto& [name, pattern, matches] : patterns) EXPECT_EQ(MatchesPattern(name, pattern), matches) << ToUtf8(name);
    // A pattern ends where its view does, whatever follows it in memory.
    EXPECT_TRUE(MatchesPattern(u"bb", UStringView(u"*b", 1)));
    EXPECT_TRUE(MatchesPattern(u"aba", UStringView(u"*a*", 2)));
    EXPECT_TRUE(MatchesPattern(u"a", UStringView(u"a*", 1)));
}
#ifndef _WIN32
// Only a file system that tells letter case apart can hold both names.
TEST(DatToolPack, RefusesNamesWindowsTakesForOneFile) {
    TTempDir dir;
    fs::create_directories(dir / "src");
    WriteText(dir / "src" / "Report.txt", "a");
    WriteText(dir / "src" / "report.txt", "b");
    TRun run = Pack(dir / "src", dir / "Data.dat");
    EXPECT_EQ(run.Console.FOut, (Lines{"\"report.txt\": is the same file as \"Report.txt\" on Windows, which writes only one of them",
                                       "nothing packed: 1 problem"}));
}
#endif
