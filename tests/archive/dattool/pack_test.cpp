#include <gtest/gtest.h>

#include <map>

#include "archive/dattool/pack.h"
#include "archive/zip_file.h"
#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/update_run.h"

namespace fs = std::filesystem;

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

void MakeSampleFolder(const fs::path& root) {
    fs::create_directories(root / kPersianFolder / "sub folder" / "deeper");
    fs::create_directories(root / "empty folder");
    WriteText(root / "Kelvo.exe", "MZ program");
    WriteText(root / kPersianFolder / kPersianFile, "ledger");
    WriteText(root / kPersianFolder / "sub folder" / "empty file.txt", "");
    WriteText(root / "big text.txt", std::string(300000, 'k'));   // deflates
    WriteText(root / kPersianFolder / "sub folder" / "deeper" / "noise.bin", Noise(70000));  // stays stored
}

TRun Pack(const fs::path& folder, const fs::path& archive) { return Tool({u"pack", u"--fixed-time", U(folder), U(archive)}); }

}  // namespace

TEST(DatToolPack, PackThenTheUpdateRunGivesTheSameTree) {
    TTempDir dir;
    MakeSampleFolder(dir / "src");
    TRun run = Pack(dir / "src", dir / "Data.dat");
    ASSERT_EQ(run.Code, 0) << (run.Console.FOut.empty() ? "" : run.Console.FOut.back());
    EXPECT_EQ(run.Console.FOut, (Lines{"check of the new archive: no problems in 9 entries",
                                       "packed 9 entries into " + ToUtf8(U(dir / "Data.dat"))}));
    fs::create_directories(dir / "out");
    RunUpdate(dir / "Data.dat", Folder(dir / "out"));
    EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
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
        EXPECT_EQ(h.ModifiedDateTime, kFixedTime);
        methods[name] = h.CompressionMethod;
        previous = name;
    }
    EXPECT_EQ(methods.at("big text.txt"), 8);
    EXPECT_EQ(methods.at(kPersianFolder.u8string() + "/sub folder/deeper/noise.bin"), 0);  // deflate is not smaller
    EXPECT_EQ(methods.at("empty folder/"), 0);
    EXPECT_EQ(methods.size(), 9u);
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
    EXPECT_TRUE(PackProblems(many).empty());
}

TEST(DatToolPack, RefusesAnArchiveInsideTheFolderAndAWrongCommandLine) {
    TTempDir dir;
    fs::create_directories(dir / "src");
    TRun inside = Pack(dir / "src", dir / "src" / "Data.dat");
    EXPECT_EQ(inside.Code, 1);
    EXPECT_EQ(inside.Console.FOut.back(), "nothing packed: 1 problem");
    EXPECT_FALSE(fs::exists(dir / "src" / "Data.dat"));
    EXPECT_EQ(Tool({u"pack", U(dir / "src")}).Code, 2);
    EXPECT_EQ(Tool({u"pack", u"--fast", U(dir / "src"), U(dir / "a.dat")}).Code, 2);
    EXPECT_EQ(Pack(dir / "missing", dir / "a.dat").Console.FOut.front(), "\"" + ToUtf8(U(dir / "missing")) + "\": is not a folder");
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
