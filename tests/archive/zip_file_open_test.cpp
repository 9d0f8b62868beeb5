#include <gtest/gtest.h>

#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

namespace {

TTestBytes TwoEntries() { return ZipBuilder().Add("a.txt", "hello").Add("dir/b.txt", "world", 8).Build(); }

}  // namespace

TEST(ZipOpen, ReadsCentralRecordsInOrderWithTheirFields) {
    TTestEntry entry;
    entry.Name = "docs/readme.txt";
    entry.Data = "0123456789";
    entry.Method = 8;
    entry.Extra = std::string("XY\x02\x00" "ab", 6);
    entry.Comment = "note";
    TBytesStream stream(ZipBuilder().Add("first", "1").Add(entry).Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    ASSERT_EQ(zip.FileCount(), 2);
    const TZipHeader h = zip.FileInfo(1);
    EXPECT_EQ(h.MadeByVersion, 0x031E);
    EXPECT_EQ(h.RequiredVersion, 20);
    EXPECT_EQ(h.Flag, 0x0800);
    EXPECT_EQ(h.CompressionMethod, 8);
    EXPECT_EQ(h.ModifiedDateTime, 0x5A2E6B3Cu);
    EXPECT_EQ(h.CRC32, 0xA684C7C6u);  // CRC-32 of "0123456789"
    EXPECT_EQ(h.UncompressedSize, 10u);
    EXPECT_EQ(h.FileNameLength, 15);
    EXPECT_EQ(h.ExtraFieldLength, 6);
    EXPECT_EQ(h.FileCommentLength, 4);
    EXPECT_EQ(h.InternalAttributes, 1);
    EXPECT_EQ(h.ExternalAttributes, 0x81A40000u);
    EXPECT_EQ(h.LocalHeaderOffset, 36u);  // after the first entry's 30-byte header, 5-byte name and 1 byte of data
    EXPECT_EQ(Text(h.FileName), "docs/readme.txt");
    EXPECT_EQ(Text(h.ExtraField), std::string("XY\x02\x00" "ab", 6));
    EXPECT_EQ(Text(h.FileComment), "note");
    EXPECT_EQ(zip.FileName(0), u"first");
    EXPECT_EQ(zip.Mode(), zmRead);
    // A record that runs past one 64 KiB read of the directory keeps every byte, its last one read alone.
    TTestEntry big = TestEntry("big", "b");
    big.Extra = std::string(65000, 'e') + std::string(65536 - 46 - 3 - 65000 + 1, 'f');
    TBytesStream bigStream(ZipBuilder().Add(big).Add("after", "a").Build());
    TZipFile bigZip;
    bigZip.Open(bigStream, zmRead);
    EXPECT_TRUE(Text(bigZip.FileInfo(0).ExtraField) == big.Extra) << "the long extra field differs";
    EXPECT_EQ(bigZip.FileName(1), u"after");
    // A record whose comment runs over the end record to the file's last byte, one byte past a 64 KiB read.
    TTestEntry last = TestEntry("c", "c");
    last.Comment = std::string(65536 - 46 - 1 - 22 + 1, 'm');
    TTestBytes overlapping = ZipBuilder().Add(last).Build();
    PutLe16(overlapping, CentralDirectoryOffset(overlapping) + 32, static_cast<uint16_t>(last.Comment.size() + 22));
    TBytesStream lastStream(overlapping);
    TZipFile lastZip;
    lastZip.Open(lastStream, zmRead);
    EXPECT_EQ(lastZip.FileInfo(0).FileComment.size(), last.Comment.size() + 22);
}

TEST(ZipOpen, DamagedArchivesFailWithTheirOwnMessage) {
    struct Case {
        const char* name;
        void (*damage)(TTestBytes&);
        UStringView message;
    };
    const Case cases[] = {
        {"no end record", [](TTestBytes& b) { b[EndRecordOffset(b)] = 'X'; }, kZipReadError},
        {"bad central signature", [](TTestBytes& b) { b[CentralDirectoryOffset(b) + 3] = 9; }, kBadCentralHeader},
        {"second record's signature bad",
         [](TTestBytes& b) { b[CentralDirectoryOffset(b) + 46 + 5 + 3] = 9; }, kBadCentralHeader},
        {"more records counted than present", [](TTestBytes& b) { PutLe16(b, EndRecordOffset(b) + 10, 3); },
         kBadCentralHeader},
        {"directory offset beyond the file", [](TTestBytes& b) { PutLe32(b, EndRecordOffset(b) + 16, 100000); },
         kZipReadError},
        {"fixed fields cut by the end of the file",
         [](TTestBytes& b) {
             PutLe32(b, EndRecordOffset(b) + 16, static_cast<uint32_t>(b.size() - 30));
             PutLe32(b, b.size() - 30, 0x02014B50);
         },
         kZipReadError},
        {"end record too early", [](TTestBytes& b) { b.insert(b.end(), 65535 - 21, 0); }, kZipReadError},
        {"not an archive", [](TTestBytes& b) { b.assign(5000, 'x'); }, kZipReadError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestBytes bytes = TwoEntries();
        c.damage(bytes);
        TBytesStream stream(bytes);
        TZipFile zip;
        ExpectRaises<EZipException>([&] { zip.Open(stream, zmRead); }, UString(c.message));
        EXPECT_EQ(zip.Mode(), zmClosed);
    }
}

TEST(ZipOpen, FindsTheEndRecordUpToTheSearchLimit) {
    // The end record starts 22 bytes before the file's end; trailing bytes push it back.
    // From 1006 on the signature lies across the border of the first two search windows.
    for (size_t trailing : {0, 1000, 1005, 1006, 1007, 1008, 1010, 1011, 1012, 2046, 65535 - 22}) {
        SCOPED_TRACE(trailing);
        TBytesStream stream(
            ZipBuilder().Add("pad.bin", std::string(5000, 'p')).Trailing(std::string(trailing, '\0')).Build());
        TZipFile zip;
        zip.Open(stream, zmRead);
        EXPECT_EQ(zip.FileCount(), 1);
    }
    TBytesStream tooFar(ZipBuilder().Add("a.txt", "hello").Trailing(std::string(65535 - 21, '\0')).Build());
    TZipFile zip;
    ExpectRaises<EZipException>([&] { zip.Open(tooFar, zmRead); }, UString(kZipReadError));
}

TEST(ZipOpen, TheSignatureNearestTheEndWins) {
    // A copy of the end-record signature in the comment is taken for the record, also when its
    // four bytes end a file longer than one search window (its fields past the end read as zero).
    for (size_t zeros : {18, 0}) {
        TBytesStream stream(ZipBuilder().Add("a.txt", std::string(2000, 'a')).Comment(std::string("PK\x05\x06", 4) + std::string(zeros, '\0')).Build());
        TZipFile zip;
        zip.Open(stream, zmRead);
        EXPECT_EQ(zip.FileCount(), 0) << zeros;  // its fields are all zero
    }
}

TEST(ZipOpen, KeepsTheArchiveComment) {
    TBytesStream stream(ZipBuilder().Add("a.txt", "hello").Comment("update 9.11").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(Text(zip.Comment()), "update 9.11");
    TBytesStream oneByte(ZipBuilder().Add("a.txt", "hello").Comment("u").Build());
    TZipFile withOneByte;
    withOneByte.Open(oneByte, zmRead);
    EXPECT_EQ(Text(withOneByte.Comment()), "u");
    // A stream that hands out at most one search window a read still gives a long comment whole, and no more.
    const std::string longComment = std::string(1500, 'c') + "end";
    TTrickleStream trickle(ZipBuilder().Add("a.txt", "hello").Comment(longComment).Trailing(std::string(2000, 't')).Build(), 1027);
    TZipFile trickled;
    trickled.Open(trickle, zmRead);
    EXPECT_TRUE(Text(trickled.Comment()) == longComment) << "the long comment differs";
}

TEST(ZipOpen, AShortCommentKeepsItsRecordedLengthWithZeros) {
    TTestBytes bytes = ZipBuilder().Add("a.txt", "hello").Comment("abcdef").Build();
    bytes.resize(bytes.size() - 4);
    TBytesStream stream(bytes);
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(Text(zip.Comment()), std::string("ab\0\0\0\0", 6));
}

TEST(ZipOpen, EmptyStreamFailsForReadingButIsAnEmptyArchiveForReadWrite) {
    TBytesStream forReading;
    TZipFile zip;
    ExpectRaises<EZipException>([&] { zip.Open(forReading, zmRead); }, UString(kStreamReadError));
    EXPECT_EQ(zip.Mode(), zmClosed);
    TBytesStream forWriting;
    zip.Open(forWriting, zmReadWrite);
    EXPECT_EQ(zip.Mode(), zmReadWrite);
    EXPECT_EQ(zip.FileCount(), 0);
    EXPECT_EQ(zip.EndRecordPosition(), -1);  // none was found, none was at 0
    zip.Close();  // before the stream it writes to is gone
    TBytesStream endRecordAlone(ZipBuilder().Build());  // an archive without entries
    zip.Open(endRecordAlone, zmRead);
    EXPECT_EQ(zip.FileCount(), 0);
    EXPECT_EQ(zip.EndRecordPosition(), 0);
}

TEST(ZipOpen, ClosedModeIsAnInvalidArgument) {
    TBytesStream stream(TwoEntries());
    TZipFile zip;
    ExpectRaises<EZipException>([&] { zip.Open(stream, zmClosed); }, UString(kInvalidArgument));
    TTempDir dir;
    ExpectRaises<EZipException>([&] { zip.Open(U(dir / "never.zip"), zmClosed); }, UString(kInvalidArgument));
    EXPECT_FALSE(std::filesystem::exists(dir / "never.zip"));
}

namespace {

const std::string kPersianReport = "\xDA\xAF\xD8\xB2\xD8\xA7\xD8\xB1\xD8\xB4.rep";  // گزارش.rep
const UString kPersianReportText = u"\u06AF\u0632\u0627\u0631\u0634.rep";

TTestEntry Named(std::string name, uint16_t flag) {
    TTestEntry entry;
    entry.Name = std::move(name);
    entry.Flag = flag;
    return entry;
}

// ArchiveWithOddOneAt puts the odd entry first, in the middle or last among two plain ones.
TTestBytes ArchiveWithOddOneAt(size_t at, const TTestEntry& odd, const TTestEntry& plain) {
    ZipBuilder builder;
    for (size_t i = 0; i < 3; ++i) builder.Add(i == at ? odd : plain);
    return builder.Build();
}

}  // namespace

// 7-Zip and Python's zipfile flag only names that are not plain ASCII: each
// name is read by its own flag, wherever the flagged record lies.
TEST(ZipOpen, EachNameIsDecodedByItsOwnFlag) {
    const TTestEntry persian = Named(kPersianReport, 0x0800);
    const TTestEntry ascii = Named("Kelvo.exe", 0);
    for (size_t at = 0; at < 3; ++at) {
        SCOPED_TRACE(at);
        TBytesStream stream(ArchiveWithOddOneAt(at, persian, ascii));
        TZipFile zip;
        zip.Open(stream, zmRead);
        EXPECT_FALSE(zip.UTF8Support());  // some record lacks the flag
        for (int i = 0; i < 3; ++i) EXPECT_EQ(zip.FileName(i), i == static_cast<int>(at) ? kPersianReportText : u"Kelvo.exe");
    }
    TBytesStream allFlagged(ZipBuilder().Add(persian).Add(Named("Kelvo.exe", 0x0800)).Build());
    TZipFile zip;
    zip.Open(allFlagged, zmRead);
    EXPECT_TRUE(zip.UTF8Support());
    EXPECT_EQ(zip.FileName(0), kPersianReportText);
}

TEST(ZipOpen, AFlaggedInvalidNameBesideUnflaggedOnesFailsToMap) {
    for (size_t at = 0; at < 3; ++at) {
        SCOPED_TRACE(at);
        TBytesStream stream(ArchiveWithOddOneAt(at, Named("bad\xC3(.txt", 0x0800), Named("plain.txt", 0)));
        TZipFile zip;
        zip.Open(stream, zmRead);
        for (int i = 0; i < 3; ++i) {
            if (i == static_cast<int>(at)) {
                ExpectRaises<EEncodingError>([&] { zip.FileName(i); }, UString(kNoUnicodeMapping));
            } else {
                EXPECT_EQ(zip.FileName(i), u"plain.txt");
            }
        }
    }
}

// Info-ZIP's zip flags nothing: its UTF-8 bytes are read as code page 437.
// Only bit 11 tells UTF-8; any other bit (here bit 0) does not.
TEST(ZipOpen, NamesWithoutAnyFlagAreCodePage437) {
    TBytesStream stream(ZipBuilder().Add(Named(kPersianReport, 0)).Add(Named("\xC3\xA4.txt", 0x0001)).Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_FALSE(zip.UTF8Support());
    EXPECT_EQ(zip.FileName(0), u"\u250C\u00BB\u256A\u2593\u256A\u00BA\u256A\u2592\u256A\u2524.rep");
    EXPECT_EQ(zip.FileName(1), u"\u251C\u00F1.txt");
}

TEST(ZipOpen, InvalidUtf8NameFailsWhenDecoded) {
    TTestEntry entry;
    entry.Name = "bad\xC3(.txt";
    TBytesStream stream(ZipBuilder().Add(entry).Build());
    TZipFile zip;
    zip.Open(stream, zmRead);  // opening does not decode names
    ExpectRaises<EEncodingError>([&] { zip.FileName(0); }, UString(kNoUnicodeMapping));
    EXPECT_EQ(zip.Mode(), zmRead);
}

TEST(ZipOpen, AZeroLengthNameIsEmpty) {
    TBytesStream stream(ZipBuilder().Add("", "").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    EXPECT_EQ(zip.FileName(0), u"");
    EXPECT_TRUE(zip.FileInfo(0).FileName.empty());
}

TEST(ZipOpenFile, MissingFileFailsWithItsFullPathAndTheSystemText) {
    TTempDir dir;
    TZipFile zip;
#ifdef _WIN32
    const UString systemText = u"File not found";  // Wine's text for ERROR_FILE_NOT_FOUND
#else
    const UString systemText = u"No such file or directory";
#endif
    const UString path = U(dir / "missing.zip");
    try {
        zip.Open(path, zmRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().substr(0, 18), u"Cannot open file \"");
        EXPECT_NE(e.Message().find(u"missing.zip\". "), UString::npos) << e.what();
        if (e.Message().find(systemText) == UString::npos) {
            ADD_FAILURE() << "unexpected system text: " << e.what();
        }
    }
    EXPECT_EQ(zip.Mode(), zmClosed);
}

TEST(ZipOpenFile, AFailedOpenAndACloseHoldNoHandle) {
    TTempDir dir;
    WriteText(dir / "bad.zip", "not a zip file at all");
    WriteWholeFile(dir / "good.zip", TwoEntries());
    TZipFile zip;
    ExpectRaises<EZipException>([&] { zip.Open(U(dir / "bad.zip"), zmReadWrite); }, UString(kZipReadError));
    zip.Open(U(dir / "good.zip"), zmReadWrite);
    EXPECT_EQ(zip.FileCount(), 2);
    zip.Close();
    // Archives are opened without sharing: these opens succeed only if no handle is left.
    TZipFile again;
    again.Open(U(dir / "good.zip"), zmReadWrite);
    // The archive open before is closed first, even when the next one cannot be opened.
    EXPECT_THROW(again.Open(U(dir / "missing.zip"), zmRead), EFOpenError);
    EXPECT_EQ(again.Mode(), zmClosed);
    again.Open(U(dir / "good.zip"), zmReadWrite);
    again.Close();
    ExpectRaises<EZipException>([&] { again.Open(U(dir / "bad.zip"), zmReadWrite); }, UString(kZipReadError));
}
