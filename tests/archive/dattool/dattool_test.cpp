#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/current_folder.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TTestEntry BadCrc(std::string name) {
    TTestEntry e;
    e.Name = std::move(name);
    e.Data = "data";
    e.Method = 8;
    e.Crc = 7;
    return e;
}

}  // namespace

// An empty FOLDER is the current one, never the root: there the entry's folder
// "proc" is the kernel's, where a run into the root could not write.
TEST(DatToolExtract, ExtractsAndWritesBackOnSuccess) {
    TTempDir dir;
    const TTestBytes zip = ZipBuilder().Add("proc/a.txt", "alpha", 8).Build();
    WriteWholeFile(dir / "Data.dat", zip);
    TRun run = Tool({u"extract", U(dir / "Data.dat"), U(dir / "out")});
    EXPECT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Console.FErr.empty());
    EXPECT_EQ(ReadText(dir / "out" / "proc" / "a.txt"), "alpha");
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), zip);
    fs::create_directories(dir / "here");
    const TCurrentFolder here(dir / "here");
    EXPECT_EQ(Tool({u"extract", U(dir / "Data.dat"), u""}).Code, 0);
    EXPECT_EQ(ReadText(dir / "here" / "proc" / "a.txt"), "alpha");
}

// A failed run is exit 1 with the error display's text; an archive it cannot read is exit 2.
TEST(DatToolExtract, PrintsTheErrorAsTheErrorDisplayShowsItAndFails) {
    const std::tuple<TTestBytes, int, std::string> cases[] = {
        {ZipBuilder().Add("a.txt", "x").Add(BadCrc("b.txt")).Build(), 1, "Checksum error in \"b.txt\""},
        {TTestBytes(100, 'z'), 2, "is not an update archive, or it is cut short: its end record or directory is missing "
                                  "(Error reading zip file.)"},
        {ZipBuilder().Add("../up.txt", "x").Build(), 1, "Entry \"..\\up.txt\" would be written outside the target folder."},
    };
    for (const auto& [zip, code, last] : cases) {
        SCOPED_TRACE(last);
        TTempDir dir;
        WriteWholeFile(dir / "Data.dat", zip);
        TRun run = Tool({u"extract", U(dir / "Data.dat"), U(dir / "out")});
        EXPECT_EQ(run.Code, code);
        ASSERT_FALSE(run.Console.FErr.empty());
        EXPECT_TRUE(EndsWith(run.Console.FErr.back(), last)) << run.Console.FErr.back();
        EXPECT_FALSE(fs::exists(dir / "up.txt"));
    }
}

TEST(DatToolList, PrintsMethodSizesDateChecksumAndNameThenTheTotals) {
    TTempDir dir;
    WriteWholeFile(dir / "a.zip", ZipBuilder().Add("dir/", "").Add("x.txt", "0123456789", 8).Build());
    WriteWholeFile(dir / "empty.zip", {});
    TRun run = Tool({u"list", U(dir / "a.zip")});
    EXPECT_EQ(run.Code, 0);
    ASSERT_EQ(run.Console.FOut.size(), 4u);
    EXPECT_EQ(run.Console.FOut[0], "method\tcompressed\tsize\tmodified\tcrc32\tname");
    EXPECT_EQ(run.Console.FOut[1], "stored\t0\t0\t2025-01-14 13:25:56\t00000000\tdir/");
    const size_t compressed = ZipBuilder().Add("x.txt", "0123456789", 8).Build().size() -
                              ZipBuilder().Add("x.txt", "0123456789", 0).Build().size() + 10;
    EXPECT_EQ(run.Console.FOut[2], "deflated\t" + std::to_string(compressed) + "\t10\t2025-01-14 13:25:56\ta684c7c6\tx.txt");
    EXPECT_EQ(run.Console.FOut[3], "total\t" + std::to_string(compressed) + "\t10\t\t\t2 entries");
    EXPECT_EQ(Tool({u"list", U(dir / "empty.zip")}).Console.FOut.back(), "total\t0\t0\t\t\t0 entries");
    TTestEntry bzip2 = TestEntry("b.bz2", "");
    bzip2.Method = 12;
    WriteWholeFile(dir / "other.zip", ZipBuilder().Add(bzip2).Build());
    EXPECT_EQ(Tool({u"list", U(dir / "other.zip")}).Console.FOut.at(1).rfind("method-12\t", 0), 0u);
}

// How the command line is read, the same for every command.
TEST(DatTool, HelpVersionOptionsAnywhereAndExitCodes) {
    struct TCase {
        std::vector<UString> Args;
        int Code;
        std::string FirstOut;  // the first line on stdout ("" for none)
        std::string FirstErr;  // the first line on stderr ("" for none)
    };
    const TCase cases[] = {
        {{u"--help"}, 0, "usage: dattool COMMAND [OPTIONS] ARGUMENTS", ""},
        {{}, 2, "", "usage: dattool COMMAND [OPTIONS] ARGUMENTS"},
        {{u"--version"}, 0, "dattool " KELVO_TEST_VERSION, ""},
        {{u"list", u"--help"}, 0, "usage: dattool list ARCHIVE", ""},
        {{u"pack", u"x", u"-h", u"y"}, 0, "usage: dattool pack [--fixed-time] [--force] [--exclude PATTERN]... FOLDER ARCHIVE", ""},
        {{u"check", u"--", u"--help"}, 2, "", "\"--help\": cannot be read: Cannot open file \""},
        {{u"check", u"-"}, 2, "", "\"-\": cannot be read: Cannot open file \""},  // a lone "-" names a file
        {{u"unpack", u"x"}, 2, "", "dattool: unknown command \"unpack\""},
        {{u"check", u"--fast", u"a.dat"}, 2, "", "dattool check: unknown option \"--fast\""},
        {{u"check", u"-f", u"a.dat"}, 2, "", "dattool check: unknown option \"-f\""},
        {{u"pack", u"src", u"--exclude"}, 2, "", "dattool pack: option \"--exclude\" wants a value"},
        {{u"extract", u"a.dat"}, 2, "", "dattool extract: too few arguments"},
        {{u"list", u"a.dat", u"b.dat"}, 2, "", "dattool list: unexpected argument \"b.dat\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.FirstOut + c.FirstErr);
        TRun run = Tool(c.Args);
        EXPECT_EQ(run.Code, c.Code);
        EXPECT_EQ(run.Console.FOut.empty() ? "" : run.Console.FOut[0], c.FirstOut);
        EXPECT_EQ(run.Console.FErr.empty() ? "" : run.Console.FErr[0].substr(0, c.FirstErr.size()), c.FirstErr);
    }
    EXPECT_EQ(Tool({u"unpack"}).Console.FErr, (Lines{"dattool: unknown command \"unpack\"", "dattool --help lists the commands"}));
    // Each command's help names its options and the exit codes.
    const Lines pack = Tool({u"pack", u"--help"}).Console.FOut;
    for (const std::string option : {"--fixed-time", "--force", "--exclude PATTERN"}) {
        EXPECT_NE(std::find_if(pack.begin(), pack.end(), [&](const std::string& l) { return l.find("  " + option) == 0; }), pack.end());
    }
    EXPECT_EQ(Tool({u"check", u"--help"}).Console.FOut.back().substr(0, 13), "exit codes: 0");
    // The overview gives each command's usage and ends with the exit codes too.
    const Lines overview = Tool({u"--help"}).Console.FOut;
    EXPECT_NE(std::find(overview.begin(), overview.end(), "  dattool list ARCHIVE"), overview.end());
    EXPECT_EQ(overview.back().substr(0, 13), "exit codes: 0");
    // Options after the operands: check's --strict and pack's --fixed-time.
    TTempDir dir;
    fs::create_directories(dir / "src");
    WriteText(dir / "src" / "a.txt", "a");
    EXPECT_EQ(Tool({u"pack", U(dir / "src"), U(dir / "Data.dat"), u"--fixed-time"}).Code, 0);
    EXPECT_EQ(Tool({u"check", U(dir / "Data.dat"), u"--strict"}).Code, 0);
}
