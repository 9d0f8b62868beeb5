#include <gtest/gtest.h>

#include "archive/zip_file.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

namespace {

TTestBytes Sample() {
    TTestEntry commented;
    commented.Name = "dir/b.txt";
    commented.Data = "world";
    commented.Method = 8;
    commented.Extra = std::string("\x55\x54\x05\x00\x03\x01\x02\x03\x04", 9);
    commented.Comment = "entry comment";
    return ZipBuilder().Add("a.txt", "hello").Add(commented).Add("dir/", "").Comment("archive comment").Build();
}

TTestBytes OpenAndClose(TTestBytes bytes, TZipMode mode) {
    TBytesStream stream(std::move(bytes));
    TZipFile zip;
    zip.Open(stream, mode);
    zip.Close();
    return stream.Bytes();
}

// EmptyArchiveAfter is an end record without entries behind some bytes, its
// central-directory offset set to offset.
TTestBytes EmptyArchiveAfter(const std::string& before, uint32_t offset) {
    TTestBytes bytes(before.begin(), before.end());
    const TTestBytes end = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.end(), end.begin(), end.end());
    PutLe32(bytes, before.size() + 16, offset);
    return bytes;
}

}  // namespace

TEST(ZipWriteBack, LeavesAWellFormedArchiveUnchanged) {
    TTestEntry oneByteParts = TestEntry("x", "1");
    oneByteParts.Extra = "e";
    oneByteParts.Comment = "c";
    TTestEntry wide = TestEntry("wide", "w");
    wide.Extra = std::string(40000, 'e');
    wide.Comment = std::string(30000, 'c');
    const struct {
        const char* name;
        TTestBytes bytes;
    } cases[] = {
        {"names, extra fields and comments", Sample()},
        {"one byte each", ZipBuilder().Add(oneByteParts).Comment("!").Build()},
        {"a directory larger than one 64 KiB write", ZipBuilder().Add(wide).Add(wide).Add("last", "l").Build()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(OpenAndClose(c.bytes, zmReadWrite) == c.bytes) << "read-write changed the archive";
        EXPECT_TRUE(OpenAndClose(c.bytes, zmRead) == c.bytes) << "read changed the archive";
    }
}

TEST(ZipWriteBack, TurnsAnEmptyFileIntoTheEmptyArchive) {
    const TTestBytes empty = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(OpenAndClose({}, zmReadWrite), empty);
}

TEST(ZipWriteBack, AnArchiveCommentIsCutTo65535Bytes) {
    TBytesStream stream;
    WriteCentralDirectory(stream, 0, {}, TBytes(70000, 'c'));
    ASSERT_EQ(stream.Size(), 22 + 65535);
    EXPECT_EQ(stream.Bytes()[20] | stream.Bytes()[21] << 8, 65535);
}

TEST(ZipWriteBack, KeepsTrailingBytesAfterTheEndRecord) {
    const TTestBytes original = ZipBuilder().Add("a.txt", "hello").Trailing("JUNKJUNK").Build();
    EXPECT_EQ(OpenAndClose(original, zmReadWrite), original);
}

TEST(ZipWriteBack, RewritesWhatTheStoredEndRecordGotWrong) {
    TTestBytes original = Sample();
    const size_t end = EndRecordOffset(original);
    TTestBytes damaged = original;
    PutLe16(damaged, end + 4, 7);     // this disk
    PutLe16(damaged, end + 6, 7);     // directory's disk
    PutLe16(damaged, end + 8, 9);     // entries on this disk
    PutLe32(damaged, end + 12, 1);    // directory size
    EXPECT_EQ(OpenAndClose(damaged, zmReadWrite), original);
}

TEST(ZipWriteBack, OverwritesBytesBetweenTheDirectoryAndTheEndRecordAndKeepsTheRest) {
    const TTestBytes original = ZipBuilder().Add("a.txt", "hello").Build();
    const size_t end = EndRecordOffset(original);
    TTestBytes padded(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(end));
    padded.insert(padded.end(), {'P', 'A', 'D', '!'});
    padded.insert(padded.end(), original.begin() + static_cast<std::ptrdiff_t>(end), original.end());
    TTestBytes expected = original;
    expected.insert(expected.end(), padded.end() - 4, padded.end());  // the old record's last 4 bytes stay
    EXPECT_EQ(OpenAndClose(padded, zmReadWrite), expected);
}

TEST(ZipWriteBack, ShortWriteFailsAndStillCloses) {
    const TTestBytes original = Sample();
    for (int64_t budget : {int64_t{0}, int64_t{50}, static_cast<int64_t>(original.size() - CentralDirectoryOffset(original) - 1)}) {
        SCOPED_TRACE(budget);
        TShortWriteStream stream(original, budget);
        TZipFile zip;
        zip.Open(stream, zmReadWrite);
        ExpectRaises<EZipException>([&] { zip.Close(); }, UString(kZipWriteError));
        EXPECT_EQ(zip.Mode(), zmClosed);
        EXPECT_EQ(zip.FileCount(), 0);
    }
}

TEST(ZipWriteBack, HappensOnceWhetherClosedOrReleased) {
    const TTestBytes original = ZipBuilder().Add("a.txt", "hello").Build();
    TTestBytes emptyArchive;
    {
        TBytesStream stream;
        {
            TZipFile zip;
            zip.Open(stream, zmReadWrite);
            zip.Close();
            EXPECT_EQ(stream.Size(), 22);
            stream.SetPosition(0);
            stream.Write("XXXX", 4);  // a second Close or the release must not write again
            zip.Close();
        }
        EXPECT_EQ(Text(stream.Bytes()).substr(0, 4), "XXXX");
    }
    {
        TBytesStream stream;
        {
            TZipFile zip;
            zip.Open(stream, zmReadWrite);
        }  // released without Close: the write-back happens here
        EXPECT_EQ(stream.Size(), 22);
    }
}

TEST(ZipWriteBack, FailingWriteBackOnReleaseDoesNotThrow) {
    TShortWriteStream stream(Sample(), 0);
    auto zip = std::make_unique<TZipFile>();
    zip->Open(stream, zmReadWrite);
    EXPECT_NO_THROW(zip.reset());
}

TEST(ZipWriteBack, ReopeningWritesBackThePreviousArchive) {
    TBytesStream first;
    TBytesStream second(Sample());
    TZipFile zip;
    zip.Open(first, zmReadWrite);
    zip.Open(second, zmRead);
    EXPECT_EQ(first.Size(), 22);
    EXPECT_EQ(zip.FileCount(), 3);
}

// The central directory cannot start after its end record; such an archive is
// damaged and is neither opened nor written back (the write-back would grow
// the file up to the offset, or overwrite bytes that are no directory).
TEST(ZipWriteBack, ADirectoryOffsetBeyondTheEndRecordIsNotOpenedAndNotWritten) {
    TTestBytes withEntries = Sample();
    PutLe32(withEntries, EndRecordOffset(withEntries) + 16, static_cast<uint32_t>(EndRecordOffset(withEntries) + 1));
    TTestBytes intoTrailingBytes = ZipBuilder().Trailing(std::string(100, 'T')).Build();
    PutLe32(intoTrailingBytes, 16, 40);
    const struct {
        const char* name;
        TTestBytes bytes;
    } cases[] = {
        {"one byte beyond", EmptyArchiveAfter("JUNK", 5)},
        {"far beyond the end of the file", EmptyArchiveAfter("", 0x3E87A3B1)},
        {"into the trailing bytes", intoTrailingBytes},
        {"with entries, one byte beyond", withEntries},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBytesStream stream(c.bytes);
        {
            TZipFile zip;
            ExpectRaises<EZipException>([&] { zip.Open(stream, zmReadWrite); }, UString(kZipReadError));
            EXPECT_EQ(zip.Mode(), zmClosed);
            zip.Close();
        }  // nor does the release write anything
        EXPECT_EQ(stream.Bytes(), c.bytes);
    }
}

TEST(ZipWriteBack, ADirectoryOffsetAtTheEndRecordItselfStillOpens) {
    // No entries, and the directory (empty) ends where the end record starts.
    const TTestBytes atTheRecord = EmptyArchiveAfter("JUNK", 4);
    EXPECT_EQ(OpenAndClose(atTheRecord, zmReadWrite), atTheRecord);
    // An offset before the record is written back where it points, as always:
    // the new record covers the first 22 bytes, the old record's last 4 stay.
    TTestBytes expected = EmptyArchiveAfter("", 0);
    expected.insert(expected.end(), 4, 0);
    EXPECT_EQ(OpenAndClose(EmptyArchiveAfter("JUNK", 0), zmReadWrite), expected);
}

TEST(ZipWriteBackFile, ArchiveOnDiskKeepsItsBytes) {
    TTempDir dir;
    const TTestBytes original = ZipBuilder().Add("a.txt", "hello").Trailing("tail").Build();
    WriteWholeFile(dir / "Data.dat", original);
    WriteWholeFile(dir / "empty.dat", {});
    for (const char* name : {"Data.dat", "empty.dat"}) {
        TZipFile zip;
        zip.Open(U(dir / name), zmReadWrite);
        zip.Close();
    }
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), original);
    EXPECT_EQ(ReadWholeFile(dir / "empty.dat").size(), 22u);
}

TEST(ZipWriteBackFile, AnArchivePointingFarBeyondItsEndIsNotGrown) {
    TTempDir dir;
    const TTestBytes damaged = EmptyArchiveAfter("", 0x3E87A3B1);
    WriteWholeFile(dir / "Data.dat", damaged);
    {
        TZipFile zip;
        ExpectRaises<EZipException>([&] { zip.Open(U(dir / "Data.dat"), zmReadWrite); }, UString(kZipReadError));
    }
    EXPECT_EQ(ReadWholeFile(dir / "Data.dat"), damaged);
}
