#include <gtest/gtest.h>

#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/archive_test_support.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

const char kSummaryTail[] = " where the update run stops; ";

}  // namespace

// What the run would do to a fresh, a current and an old installation, and where it would stop.
TEST(DatToolDiff, TellsWhatTheRunWouldDoToTheFolder) {
    TTempDir dir;
    WriteWholeFile(dir / "Data.dat",
                   ZipBuilder().Add("Kelvo.exe", "new program", 8).Add("lib/", "").Add("lib/a.dll", "library").Build());
    const std::string archive = ToUtf8(U(dir / "Data.dat"));
    fs::create_directories(dir / "fresh");
    TRun fresh = Tool({u"diff", U(dir / "Data.dat"), U(dir / "fresh")});
    EXPECT_EQ(fresh.Code, 1);
    EXPECT_EQ(fresh.Console.FOut, (Lines{"new\t\"Kelvo.exe\"", "new\t\"lib/\"", "new\t\"lib/a.dll\"",
                                         std::string("3 new, 0 replaced, 0 unchanged, 0") + kSummaryTail + "0 files not in the archive"}));

    ASSERT_EQ(Tool({u"extract", U(dir / "Data.dat"), U(dir / "fresh")}).Code, 0);
    TRun current = Tool({u"diff", U(dir / "Data.dat"), U(dir / "fresh")});
    EXPECT_EQ(current.Code, 0);
    EXPECT_EQ(current.Console.FOut.back(), std::string("0 new, 0 replaced, 3 unchanged, 0") + kSummaryTail + "0 files not in the archive");

    fs::create_directories(dir / "old" / "lib");
    WriteText(dir / "old" / "Kelvo.exe", "old program");
    WriteText(dir / "old" / "lib" / "a.dll", "library");
    for (const char* name : {"dbrtsl100.bpl", "c.bpl", "a.bpl", "e.bpl", "b.bpl"}) WriteText(dir / "old" / name, "marker");
    TRun old = Tool({u"diff", U(dir / "Data.dat"), U(dir / "old")});
    EXPECT_EQ(old.Code, 1);
    EXPECT_EQ(old.Console.FOut, (Lines{"replaced\t\"Kelvo.exe\"", "unchanged\t\"lib/\"", "unchanged\t\"lib/a.dll\"",
                                       "not in the archive (the update run leaves them):", "\ta.bpl", "\tb.bpl", "\tc.bpl",
                                       "\tdbrtsl100.bpl", "\te.bpl",
                                       std::string("0 new, 1 replaced, 2 unchanged, 0") + kSummaryTail + "5 files not in the archive"}));

    fs::permissions(dir / "old" / "Kelvo.exe", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);  // read-only
    fs::remove(dir / "old" / "lib" / "a.dll");
    fs::create_directories(dir / "old" / "lib" / "a.dll");
    TRun stops = Tool({u"diff", U(dir / "Data.dat"), U(dir / "old")});
    EXPECT_EQ(stops.Code, 1);
    ASSERT_EQ(stops.Console.FOut.size(), 10u);
    EXPECT_EQ(stops.Console.FOut[0].rfind("stops\t\"Kelvo.exe\": Cannot create file \"", 0), 0u) << stops.Console.FOut[0];
    EXPECT_EQ(stops.Console.FOut[2].rfind("stops\t\"lib/a.dll\": a folder \"", 0), 0u) << stops.Console.FOut[2];
    EXPECT_EQ(stops.Console.FOut.back(), std::string("0 new, 0 replaced, 1 unchanged, 2") + kSummaryTail + "5 files not in the archive");
    fs::permissions(dir / "old" / "Kelvo.exe", fs::perms::owner_write, fs::perm_options::add);
    TRun mixed = Tool({u"diff", U(dir / "Data.dat"), U(dir / "old")});  // one replaced, one stops: both count
    EXPECT_EQ(mixed.Code, 1);
    EXPECT_EQ(mixed.Console.FOut.back(), std::string("0 new, 1 replaced, 1 unchanged, 1") + kSummaryTail + "5 files not in the archive");

    // Compared to the last byte: here the only one of the second piece read.
    const std::string piece(kCopyBufferSize, 'p');
    WriteWholeFile(dir / "big.dat", ZipBuilder().Add("big.bin", piece + "x", 8).Build());
    WriteText(dir / "old" / "big.bin", piece + "y");
    EXPECT_EQ(Tool({u"diff", U(dir / "big.dat"), U(dir / "old")}).Console.FOut.at(0), "replaced\t\"big.bin\"");
}

// The folder is named as its full path; a target path of 260 characters is one too many.
TEST(DatToolDiff, StopsWhereAFileStandsForAFolderOrAPathIsTooLongAndCannotReadIsExitTwo) {
    TTempDir dir;
    const UString folder = U(dir / "x" / ".." / "inst");
    const std::string longName(259 - folder.size(), 'n');
    const std::string longFolder = std::string(248 - U(dir / "inst").size() - 1, 'd') + "/a";  // its folder has 248
    WriteWholeFile(dir / "Data.dat", ZipBuilder()
                                         .Add("lib/a.dll", "x")
                                         .Add(longName, "x")
                                         .Add("../up.txt", "x")
                                         .Add("/root.txt", "x")
                                         .Add(longFolder, "x")
                                         .Build());
    for (const char* name : {"x", "inst"}) fs::create_directories(dir / name);
    WriteText(dir / "inst" / "lib", "a file");
    TRun run = Tool({u"diff", U(dir / "Data.dat"), folder});
    EXPECT_EQ(run.Code, 1);
    ASSERT_EQ(run.Console.FOut.size(), 8u);
    EXPECT_EQ(run.Console.FOut[0].rfind("stops\t\"lib/a.dll\": a file \"" + ToUtf8(U(dir / "inst" / "lib")) + "\"", 0), 0u)
        << run.Console.FOut[0];
    EXPECT_EQ(run.Console.FOut[1].rfind("stops\t\"" + longName + "\": its path in this folder has 260 ", 0), 0u)
        << run.Console.FOut[1];
    EXPECT_EQ(run.Console.FOut[2], "stops\t\"../up.txt\": Entry \"..\\up.txt\" would be written outside the target folder");
    EXPECT_EQ(run.Console.FOut[3], "stops\t\"/root.txt\": Entry \"\\root.txt\" would be written outside the target folder");
    EXPECT_EQ(run.Console.FOut[4], "stops\t\"" + longFolder + "\": The specified path is too long");
    EXPECT_EQ(Tool({u"diff", U(dir / "Data.dat"), U(dir / "none")}).Console.FErr,
              Lines{"\"" + ToUtf8(U(dir / "none")) + "\": no such folder"});
    EXPECT_EQ(Tool({u"diff", U(dir / "Data.dat"), U(dir / "none")}).Code, 2);
    WriteWholeFile(dir / "cut.dat", TTestBytes(10, 'z'));
    EXPECT_EQ(Tool({u"diff", U(dir / "cut.dat"), U(dir / "inst")}).Code, 2);
}
