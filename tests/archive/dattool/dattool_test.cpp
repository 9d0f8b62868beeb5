#include <gtest/gtest.h>

#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/archive_test_support.h"

namespace fs = std::filesystem;

namespace {

TTestEntry BadCrc(std::string name) {
    TTestEntry e;
    e.Name = std::move(name);
    e.Data = "data";
    e.Method = 8;
    e.Crc = 7;
    return e;
}

}  // namespace

TEST(DatToolExtract, ExtractsAndWritesBackOnSuccess) {
    TTempDir dir;
    const TTestBytes zip = ZipBuilder().Add("sub/a.txt", "alpha", 8).Build();
    WriteWholeFile(dir / "Data.dat", zip);
    TRun run = Tool({u"extract", U(dir / "Data.dat"), U(dir / "out")});
    EXPECT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Console.FErr.empty());
    EXPECT_EQ(ReadText(dir / "out" / "sub" / "a.txt"), "alpha");
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), zip);
}

TEST(DatToolExtract, PrintsTheErrorAsTheErrorDisplayShowsItAndFails) {
    const std::pair<TTestBytes, std::string> cases[] = {
        {ZipBuilder().Add("a.txt", "x").Add(BadCrc("b.txt")).Build(), "Checksum error in \"b.txt\""},
        {TTestBytes(100, 'z'), "Error reading zip file."},
        {ZipBuilder().Add("../up.txt", "x").Build(), "Entry \"..\\up.txt\" would be written outside the target folder."},
    };
    for (const auto& [zip, last] : cases) {
        SCOPED_TRACE(last);
        TTempDir dir;
        WriteWholeFile(dir / "Data.dat", zip);
        TRun run = Tool({u"extract", U(dir / "Data.dat"), U(dir / "out")});
        EXPECT_EQ(run.Code, 1);
        ASSERT_FALSE(run.Console.FErr.empty());
        EXPECT_EQ(run.Console.FErr.back(), last);
        EXPECT_FALSE(fs::exists(dir / "up.txt"));
    }
}

TEST(DatToolList, PrintsOneLinePerEntry) {
    TTempDir dir;
    WriteWholeFile(dir / "a.zip", ZipBuilder().Add("dir/", "").Add("x.txt", "0123456789").Build());
    TRun run = Tool({u"list", U(dir / "a.zip")});
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Console.FOut, (std::vector<std::string>{"name\tmethod\tcompressed\tuncompressed\tcrc32",
                                                          "dir/\t0\t0\t0\t00000000", "x.txt\t0\t10\t10\ta684c7c6"}));
}

TEST(DatTool, UnknownCommandsPrintTheUsage) {
    TRun run = Tool({u"unpack", u"x"});
    EXPECT_EQ(run.Code, 2);
    ASSERT_EQ(run.Console.FErr.size(), 1u);
    EXPECT_EQ(run.Console.FErr[0].substr(0, 6), "usage:");
}
