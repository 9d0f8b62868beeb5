#include <gtest/gtest.h>

#include <algorithm>

#include "tests/archive/support/archive_test_support.h"
#include "tests/archive/dattool/support/dattool_run.h"

namespace {

using Lines = std::vector<std::string>;

TTestEntry Unflagged(std::string name) {
    TTestEntry e = TestEntry(std::move(name), "x");
    e.Flag = 0;
    return e;
}

const std::string kPersianReport = "\xDA\xAF\xD8\xB2\xD8\xA7\xD8\xB1\xD8\xB4.rep";  // گزارش.rep in UTF-8
const std::string kPersianAsCp437 = "\u250C\u00BB\u256A\u2593\u256A\u00BA\u256A\u2592\u256A\u2524.rep";

// CheckBytes writes the archive, checks it, and makes sure check wrote nothing.
TRun CheckBytes(const TTestBytes& zip) {
    TTempDir dir;
    WriteWholeFile(dir / "Data.dat", zip);
    TRun run = Tool({u"check", U(dir / "Data.dat")});
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), zip);
    EXPECT_EQ(EntriesBelow(dir.Path()), 1);
    EXPECT_TRUE(run.Console.FErr.empty());  // everything goes to stdout
    return run;
}

TTestBytes InsertBeforeEndRecord(TTestBytes zip, const std::string& bytes) {
    zip.insert(zip.begin() + static_cast<std::ptrdiff_t>(EndRecordOffset(zip)), bytes.begin(), bytes.end());
    return zip;
}

}  // namespace

TEST(DatToolCheck, ACleanArchivePasses) {
    TTestEntry commented = TestEntry("a/c.txt", "x");
    commented.Comment = "its directory record ends after this";
    TRun run = CheckBytes(ZipBuilder().Add("a/", "").Add("a/b.txt", std::string(100000, 'q'), 8).Add(commented).Build());
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Console.FOut, Lines{"no problems in 3 entries"});
}

// Info-ZIP's zip flags nothing; 7-Zip and zipfile flag only the names that are
// not ASCII, which older updaters read as code page 437 all the same.
TEST(DatToolCheck, NamesInstalledUnderAnotherReadingAreReported) {
    TRun run = CheckBytes(ZipBuilder()
                              .Add(Unflagged("Kelvo.exe"))
                              .Add(Unflagged(kPersianReport))
                              .Add(Unflagged("caf\x82.txt"))
                              .Add(Unflagged("rub\x7F.txt"))  // ASCII to its last character: read alike by all
                              .Add(Unflagged("\x80" "a.txt"))
                              .Add(TestEntry(kPersianReport, "y"))
                              .Add(TestEntry("bad\xC3(", "z"))
                              .Build());
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"" + kPersianAsCp437 + "\": is not flagged UTF-8, so it is installed as \"" + kPersianAsCp437 +
                         "\"; read as UTF-8 it is \"\u06AF\u0632\u0627\u0631\u0634.rep\"",
                     "\"caf\u00E9.txt\": is not flagged UTF-8, so it is installed as \"caf\u00E9.txt\"",
                     "\"\u00C7a.txt\": is not flagged UTF-8, so it is installed as \"\u00C7a.txt\"",
                     "\"\u06AF\u0632\u0627\u0631\u0634.rep\": warning: is flagged UTF-8 while other names are not: "
                     "KelvoUpdater installs this name right, but readers that take one flag for the whole archive show "
                     "it as \"" + kPersianAsCp437 + "\"",
                     "\"bad\u251C(\": the update run refuses its name: No mapping for the Unicode character exists in the "
                     "target multi-byte code page",
                     "4 problems, 1 warning in 7 entries"}));
    EXPECT_EQ(CheckBytes(ZipBuilder().Add(TestEntry(kPersianReport, "y")).Add("Kelvo.exe", "x").Build()).Console.FOut,
              Lines{"no problems in 2 entries"});
}

// As 7-Zip and zipfile make them: the run installs every name right, so only --strict fails it.
TEST(DatToolCheck, MixedFlagsAreAWarningThatOnlyStrictCounts) {
    const TTestBytes zip = ZipBuilder().Add(Unflagged("Kelvo.exe")).Add(TestEntry(kPersianReport, "y")).Build();
    TRun plain = CheckBytes(zip);
    EXPECT_EQ(plain.Code, 0);
    EXPECT_EQ(plain.Console.FOut.back(), "no problems, 1 warning in 2 entries");
    const TTestBytes flaggedFirst = ZipBuilder().Add(TestEntry(kPersianReport, "y")).Add(Unflagged("Kelvo.exe")).Build();
    EXPECT_EQ(CheckBytes(flaggedFirst).Console.FOut.back(), "no problems, 1 warning in 2 entries");
    TTempDir dir;
    WriteWholeFile(dir / "Data.dat", zip);
    EXPECT_EQ(Tool({u"check", U(dir / "Data.dat"), u"--strict"}).Code, 1);
}

TEST(DatToolCheck, ManyEntriesWithTheSameProblemEndWithWhatToDo) {
    ZipBuilder builder;
    for (int i = 0; i < 9; ++i) builder.Add(Unflagged("caf\x82" + std::to_string(i) + ".txt"));
    EXPECT_EQ(CheckBytes(builder.Build()).Console.FOut.size(), 10u);  // nine lines and the summary
    builder.Add(Unflagged("caf\x82" "9.txt"));
    const Lines out = CheckBytes(builder.Build()).Console.FOut;
    ASSERT_EQ(out.size(), 12u);
    EXPECT_EQ(out[10], "10 entries: is not flagged UTF-8, so it is installed as ... - repack the folder with dattool pack, "
                       "which writes an archive without these problems");
}

TEST(DatToolCheck, NameRulesAndClashesNameTheirEntry) {
    TRun run = CheckBytes(ZipBuilder()
                              .Add("../up.txt", "x")
                              .Add("what?.txt", "x")
                              .Add("NUL.txt", "x")
                              .Add("Report.txt", "x")
                              .Add("report.TXT", "x")
                              .Add("lib", "x")
                              .Add("lib/x.dll", "x")
                              .Add("two\nlines \x1F", "x")
                              .Build());
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"../up.txt\": Entry \"..\\up.txt\" would be written outside the target folder",
                     "\"what?.txt\": has * or ?, which Windows does not allow in a name",
                     "\"NUL.txt\": the name part \"NUL.txt\" is a device name on Windows",
                     "\"report.TXT\": is the same file as \"Report.txt\" on Windows, which writes only one of them",
                     "\"lib/x.dll\": needs a folder \"lib\" where \"lib\" is a file",
                     "\"two<0x0A>lines <0x1F>\": the update run refuses it: Invalid characters in path",
                     "6 problems in 8 entries"}));
}

TEST(DatToolCheck, DataProblemsAreFoundAsExtractionWouldMeetThem) {
    TTestEntry bzip2 = TestEntry("b.bz2", "");
    bzip2.Method = 12;
    TTestEntry badCrc = TestEntry("crc.txt", "data", 8);
    badCrc.Crc = 7;
    TTestEntry shortData = TestEntry("short.txt", "abc", 8);
    shortData.UncompressedSize = 10;
    TTestEntry longData = TestEntry("long.txt", "abcdef", 8);
    longData.UncompressedSize = 3;
    longData.Crc = 0x352441C2;  // CRC-32 of "abc"
    TTestEntry stored = TestEntry("stored.bin", "0123456789");
    stored.CompressedSize = 4;
    TTestEntry encrypted = TestEntry("secret.txt", "x");
    encrypted.Flag |= 1;
    TTestEntry padded = TestEntry("padded.txt", "abc", 8);
    padded.StoredData = RawDeflate("abc") + "zz";  // the deflate data ends before its recorded size
    TTestEntry otherMethod = TestEntry("method.txt", "m");
    otherMethod.Local.Method = 8;
    TRun run = CheckBytes(ZipBuilder()
                              .Add("good.txt", "fine", 8)
                              .Add(badCrc)
                              .Add(bzip2)
                              .Add(shortData)
                              .Add(longData)
                              .Add(stored)
                              .Add(encrypted)
                              .Add(padded)
                              .Add(otherMethod)
                              .Build());
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"crc.txt\": has a wrong checksum",
                     "\"b.bz2\": uses compression method 12, which the update run cannot extract: Item not found",
                     "\"short.txt\": the update run stops here: Stream read error",
                     "\"long.txt\": holds more data than its recorded size",
                     "\"stored.bin\": is stored with two different sizes", "\"secret.txt\": is encrypted",
                     "\"padded.txt\": has a wrong compressed size",
                     "\"method.txt\": its local header gives compression method 8", "8 problems in 9 entries"}));
    // Deflate data that has not ended where the file ends: here the entry lies in the end record's comment.
    TTestEntry unended = TestEntry("open.txt", "abc", 8);
    unended.StoredData = std::string("\x00\x03\x00\xFC\xFF" "abc", 8);  // a stored block, not the last
    const TTestBytes plain = ZipBuilder().Add(unended).Build();
    const size_t central = CentralDirectoryOffset(plain);
    TTestBytes cut(plain.begin() + static_cast<std::ptrdiff_t>(central), plain.end());
    cut.insert(cut.end(), plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(central));
    PutLe32(cut, 42, static_cast<uint32_t>(plain.size() - central));  // the local header's offset
    PutLe32(cut, EndRecordOffset(plain) - central + 16, 0);                                      // the directory's
    PutLe16(cut, EndRecordOffset(plain) - central + 20, static_cast<uint16_t>(central));  // the comment's length
    EXPECT_EQ(CheckBytes(cut).Console.FOut,
              (Lines{"\"open.txt\": its data runs into the central directory", "\"open.txt\": has deflate data that does not end",
                     "2 problems in 1 entry"}));
}

TEST(DatToolCheck, LocalHeadersAndDataPlacement) {
    TTestBytes zip = ZipBuilder()
                         .Add("a.txt", "alpha")
                         .Add("b.txt", "beta")
                         .Add("c.txt", "gamma")
                         .Add("d.txt", "delta")
                         .Add("e.txt", "epsilon")
                         .Build();
    PutLe32(zip, 3 * 30 + 15 + 14 + 14, 0x12345678);  // d.txt: local checksum
    zip[0] = 'X';                  // a.txt: local signature damaged
    zip[30 + 5 + 5 + 30] = 'B';    // b.txt: local name "B.txt"
    const size_t cLocal = 2 * 30 + 10 + 9;
    PutLe32(zip, cLocal + 18, 5000);  // c.txt: local compressed size
    const size_t central = CentralDirectoryOffset(zip);
    const size_t cCentral = central + 2 * 46 + 10;  // c.txt's central record
    PutLe32(zip, cCentral + 20, 5000);  // and the central one: the data runs past the end
    PutLe16(zip, 4 * 30 + 20 + 19 + 28, 3);  // e.txt: a local extra field of 3 bytes pushes its data on
    TRun run = CheckBytes(zip);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"a.txt\": the update run stops here: Invalid Zip Local Header signature",
                     "\"b.txt\": its local header gives another name",
                     "\"c.txt\": its data runs past the end of the archive",
                     "\"c.txt\": is stored with two different sizes",
                     "\"d.txt\": its local header gives other sizes or another checksum than the central directory",
                     "\"e.txt\": its data runs into the central directory", "\"e.txt\": has a wrong checksum",
                     "7 problems in 5 entries"}));
    TTestBytes past = ZipBuilder().Add("x.txt", "x").Add("y.txt", "y").Build();
    const size_t pastCentral = CentralDirectoryOffset(past);
    PutLe32(past, pastCentral + 42, static_cast<uint32_t>(past.size() - 29));       // x.txt: its header would end past the end
    PutLe32(past, pastCentral + 51 + 42, static_cast<uint32_t>(past.size() - 30));  // y.txt: its header ends at the end
    EXPECT_EQ(CheckBytes(past).Console.FOut,
              (Lines{"\"x.txt\": its local header lies past the end of the archive",
                     "\"y.txt\": the update run stops here: Invalid Zip Local Header signature", "2 problems in 2 entries"}));
}

TEST(DatToolCheck, Zip64MarkersAndBytesBeforeTheEndRecord) {
    TTestEntry zip64 = TestEntry("big.bin", "x");
    zip64.Extra = std::string("\x01\x00\x08\x00\x01\x00\x00\x00\x00\x00\x00\x00", 12);
    zip64.LocalExtra = std::string("\x0A\x00\x02\x00xx\x01\x00\x00\x00", 10);  // another block, then ZIP64
    const std::string locator = std::string("PK\x06\x07", 4) + std::string(16, '\0');
    TRun run = CheckBytes(InsertBeforeEndRecord(ZipBuilder().Add(zip64).Build(), locator));
    EXPECT_EQ(run.Code, 1);
    EXPECT_EQ(run.Console.FOut,
              (Lines{"\"big.bin\": has ZIP64 markers, which the update run does not read",
                     "\"big.bin\": its local header has ZIP64 markers, which the update run does not read",
                     "archive: the end record has ZIP64 markers, which the update run does not read",
                     "archive: 20 bytes lie between the central directory and the end record; the update run's "
                     "write-back overwrites them",
                     "4 problems in 1 entry"}));
    // Every field that ZIP64 escapes with all bits set is a marker; 3 bytes are too few for a block.
    for (const auto& [at, width] : {std::pair{20, 4}, {24, 4}, {42, 4}, {34, 2}}) {
        TTestBytes escaped = ZipBuilder().Add("a.txt", "x").Build();
        const size_t field = CentralDirectoryOffset(escaped) + static_cast<size_t>(at);
        width == 4 ? PutLe32(escaped, field, 0xFFFFFFFF) : PutLe16(escaped, field, 0xFFFF);
        EXPECT_EQ(CheckBytes(escaped).Console.FOut.at(0), "\"a.txt\": has ZIP64 markers, which the update run does not read")
            << at;
    }
    TTestEntry shortExtra = TestEntry("a.txt", "x");
    shortExtra.Extra = std::string("\x01\x00\x00", 3);
    EXPECT_EQ(CheckBytes(ZipBuilder().Add(shortExtra).Build()).Console.FOut, Lines{"no problems in 1 entry"});
    shortExtra.Extra.push_back('\0');  // 4 bytes: a block without data
    EXPECT_EQ(CheckBytes(ZipBuilder().Add(shortExtra).Build()).Console.FOut.at(0),
              "\"a.txt\": has ZIP64 markers, which the update run does not read");
    const Lines first = CheckBytes(InsertBeforeEndRecord(ZipBuilder().Build(), locator)).Console.FOut;  // at offset 0
    EXPECT_NE(std::find(first.begin(), first.end(), "archive: the end record has ZIP64 markers, which the update run does not read"),
              first.end());
    // So is each end record field, also in an end record at offset 0 (an archive without entries).
    for (const TTestBytes& plain : {ZipBuilder().Add("a.txt", "x").Build(), ZipBuilder().Build()}) {
        for (const auto& [at, width] : {std::pair{4, 2}, {6, 2}, {8, 2}, {12, 4}}) {
            TTestBytes escaped = plain;
            const size_t field = EndRecordOffset(escaped) + static_cast<size_t>(at);
            width == 4 ? PutLe32(escaped, field, 0xFFFFFFFF) : PutLe16(escaped, field, 0xFFFF);
            EXPECT_EQ(CheckBytes(escaped).Console.FOut.at(0),
                      "archive: the end record has ZIP64 markers, which the update run does not read")
                << at << " in " << plain.size();
        }
    }
    TTestBytes halfSize = ZipBuilder().Add("a.txt", "x").Build();
    PutLe16(halfSize, EndRecordOffset(halfSize) + 12, 0xFFFF);  // a directory size of 65,535 is no marker
    EXPECT_EQ(CheckBytes(halfSize).Console.FOut, Lines{"no problems in 1 entry"});
    TTestBytes overlap = ZipBuilder().Add("a.txt", "x").Build();
    PutLe16(overlap, CentralDirectoryOffset(overlap) + 32, 4);  // a record comment taking the end record's signature
    EXPECT_EQ(CheckBytes(overlap).Console.FOut,
              (Lines{"archive: the central directory runs into the end record", "1 problem in 1 entry"}));
}

// The run installs nothing from an archive without entries: a release gate must not pass it.
TEST(DatToolCheck, AnArchiveWithoutEntriesIsAProblemAndAnUnreadableOneIsExitTwo) {
    TRun empty = CheckBytes({});
    EXPECT_EQ(empty.Code, 1);
    EXPECT_EQ(empty.Console.FOut,
              (Lines{"archive: the archive is empty (0 bytes): the update run takes it for an archive without entries "
                     "and installs nothing",
                     "1 problem in 0 entries"}));
    TRun noEntries = CheckBytes(ZipBuilder().Build());
    EXPECT_EQ(noEntries.Code, 1);
    EXPECT_EQ(noEntries.Console.FOut,
              (Lines{"archive: the archive holds no entries: the update run installs nothing", "1 problem in 0 entries"}));
    TTempDir dir;
    WriteWholeFile(dir / "cut.dat", TTestBytes(100, 'z'));
    TRun cut = Tool({u"check", U(dir / "cut.dat")});
    EXPECT_EQ(cut.Code, 2);
    EXPECT_EQ(cut.Console.FErr, Lines{"\"" + ToUtf8(U(dir / "cut.dat")) + "\": is not an update archive, or it is cut "
                                      "short: its end record or directory is missing (Error reading zip file.)"});
    TRun missing = Tool({u"check", U(dir / "none.dat")});
    EXPECT_EQ(missing.Code, 2);
    ASSERT_EQ(missing.Console.FErr.size(), 1u);
    EXPECT_EQ(missing.Console.FErr[0].rfind("\"" + ToUtf8(U(dir / "none.dat")) + "\": cannot be read: Cannot open file", 0), 0u);
    EXPECT_EQ(Tool({u"check"}).Code, 2);
}

TEST(DatToolCheck, TheSummaryCountsProblemsWarningsAndEntries) {
    EXPECT_EQ(ToUtf8(CheckSummary(0, 0, 2)), "no problems in 2 entries");
    EXPECT_EQ(ToUtf8(CheckSummary(1, 0, 2)), "1 problem in 2 entries");
    EXPECT_EQ(ToUtf8(CheckSummary(3, 0, 40)), "3 problems in 40 entries");
    EXPECT_EQ(ToUtf8(CheckSummary(2, 0, 1)), "2 problems in 1 entry");
    EXPECT_EQ(ToUtf8(CheckSummary(0, 1, 2)), "no problems, 1 warning in 2 entries");
    EXPECT_EQ(ToUtf8(CheckSummary(1, 3, 4)), "1 problem, 3 warnings in 4 entries");
}
