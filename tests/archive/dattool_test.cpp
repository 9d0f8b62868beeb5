#include <gtest/gtest.h>

#include "archive/dattool/dattool.h"
#include "tests/archive/support/archive_test_support.h"

namespace fs = std::filesystem;

namespace {

class TRecordingConsole : public TConsole {
public:
    void Out(const UString& line) override { FOut.push_back(ToUtf8(line)); }
    void Err(const UString& line) override { FErr.push_back(ToUtf8(line)); }
    std::vector<std::string> FOut, FErr;
};

struct TRun {
    int Code;
    TRecordingConsole Console;
};

TRun Tool(std::vector<UString> args) {
    TRun run{0, {}};
    run.Code = RunDatTool(args, run.Console);
    return run;
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

TEST(DatToolCheck, ReportsEveryProblemAndWritesNothing) {
    TTestEntry bzip2;
    bzip2.Name = "b.bz2";
    bzip2.Method = 12;
    TTestEntry shortData;
    shortData.Name = "short.txt";
    shortData.Data = "abc";
    shortData.Method = 8;
    shortData.UncompressedSize = 10;
    TTestEntry longData;
    longData.Name = "long.txt";
    longData.Data = "abcdef";
    longData.Method = 8;
    longData.UncompressedSize = 3;
    longData.Crc = 0x352441C2;  // CRC-32 of "abc"
    TTestEntry badName;
    badName.Name = "bad\xC3(";
    const TTestBytes zip = ZipBuilder()
                               .Add("good.txt", "fine", 8)
                               .Add(BadCrc("crc.txt"))
                               .Add(bzip2)
                               .Add("../up.txt", "x")
                               .Add("what?.txt", "x")
                               .Add(shortData)
                               .Add(longData)
                               .Add(badName)
                               .Build();
    TTempDir dir;
    WriteWholeFile(dir / "a.zip", zip);
    TRun run = Tool({u"check", U(dir / "a.zip")});
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (std::vector<std::string>{
                  "\"crc.txt\": has a wrong checksum",
                  "\"b.bz2\": uses compression method 12, which cannot be extracted",
                  "\"../up.txt\": Entry \"..\\up.txt\" would be written outside the target folder",
                  "\"what?.txt\": has characters that are not allowed in a file name",
                  "\"short.txt\": Stream read error",
                  "\"long.txt\": holds more data than its recorded size",
                  "\"bad\u251C(\": No mapping for the Unicode character exists in the target multi-byte code page",
              }));
    EXPECT_EQ(run.Console.FErr, std::vector<std::string>{"7 problems in 8 entries"});
    EXPECT_EQ(ReadWholeFile(dir / "a.zip"), zip);
    EXPECT_EQ(EntriesBelow(dir.Path()), 1);
}

TEST(DatToolCheck, ACleanArchivePasses) {
    TTempDir dir;
    WriteWholeFile(dir / "a.zip", ZipBuilder().Add("a/", "").Add("a/b.txt", std::string(100000, 'q'), 8).Build());
    TRun run = Tool({u"check", U(dir / "a.zip")});
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Console.FOut, std::vector<std::string>{"no problems in 2 entries"});
}

TEST(DatTool, UnknownCommandsPrintTheUsage) {
    TRun run = Tool({u"unpack", u"x"});
    EXPECT_EQ(run.Code, 2);
    ASSERT_EQ(run.Console.FErr.size(), 1u);
    EXPECT_EQ(run.Console.FErr[0].substr(0, 6), "usage:");
}
