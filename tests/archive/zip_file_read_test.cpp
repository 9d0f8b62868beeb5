// Which record decides what: the central record gives the method, the sizes,
// the checksum and the name; the local header's own name and extra lengths
// give where the data starts. Every archive here has local fields that differ
// from the central ones, one at a time.
#include <gtest/gtest.h>

#include "archive/zip_file.h"
#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/update_run.h"
#include "tests/support/expect_raises.h"

namespace fs = std::filesystem;

namespace {

const std::string kContent = "the content of the entry, long enough to be worth deflating, deflating, deflating";

TTestEntry Entry(uint16_t method) {
    TTestEntry e;
    e.Name = "entry.txt";
    e.Data = kContent;
    e.Method = method;
    return e;
}

// ExtractedOnly extracts the archive and gives the one file it wrote.
std::string ExtractedOnly(const TTestEntry& entry) {
    TUpdateFolder f;
    f.Run(ZipBuilder().Add(entry).Build());
    EXPECT_EQ(EntriesBelow(f.Out()), 1);
    return ReadText(f.Out() / "entry.txt");
}

}  // namespace

TEST(CentralRecord, DecidesMethodSizesChecksumAndName) {
    struct Case {
        const char* name;
        uint16_t method;
        void (*change)(TTestEntry&);
    };
    const Case cases[] = {
        {"local method stored, central deflated", 8, [](TTestEntry& e) { e.Local.Method = 0; }},
        {"local method deflated, central stored", 0, [](TTestEntry& e) { e.Local.Method = 8; }},
        {"local uncompressed size shorter", 0, [](TTestEntry& e) { e.Local.UncompressedSize = 3; }},
        {"local uncompressed size longer", 8, [](TTestEntry& e) { e.Local.UncompressedSize = 100000; }},
        {"local compressed size wrong", 8, [](TTestEntry& e) { e.Local.CompressedSize = 1; }},
        {"local checksum wrong", 8, [](TTestEntry& e) { e.Local.Crc = 0x12345678; }},
        {"local flags differ", 0, [](TTestEntry& e) { e.Local.Flag = 0x0008; }},
        {"local name of the same length differs", 0, [](TTestEntry& e) { e.Local.Name = "ENTRY.TXT"; }},
        {"stored with a data descriptor", 0, [](TTestEntry& e) { e.DataDescriptor = true; }},
        {"deflated with a data descriptor", 8, [](TTestEntry& e) { e.DataDescriptor = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestEntry e = Entry(c.method);
        c.change(e);
        EXPECT_EQ(ExtractedOnly(e), kContent);
    }
}

TEST(CentralRecord, ItsChecksumAndSizeAreTheOnesChecked) {
    TTestEntry wrongCrc = Entry(8);
    wrongCrc.Crc = 0x12345678;
    wrongCrc.Local.Crc = Crc32(kContent);
    TUpdateFolder f;
    ExpectRaises<EZipException>([&] { f.Run(ZipBuilder().Add(wrongCrc).Build()); },
                                Format(kChecksumError, {u"entry.txt"}));
    TTestEntry shorter = Entry(0);
    shorter.UncompressedSize = 5;
    shorter.Crc = Crc32(kContent.substr(0, 5));
    shorter.Local.UncompressedSize = static_cast<uint32_t>(kContent.size());
    shorter.Local.Crc = Crc32(kContent);
    EXPECT_EQ(ExtractedOnly(shorter), kContent.substr(0, 5));
}

TEST(LocalHeader, ItsOwnNameAndExtraLengthsPlaceTheData) {
    struct Case {
        const char* name;
        void (*change)(TTestEntry&);
    };
    const Case cases[] = {
        {"local name longer", [](TTestEntry& e) { e.Local.Name = "a/much/longer/local/name.txt"; }},
        {"local name shorter", [](TTestEntry& e) { e.Local.Name = "e"; }},
        {"local extra only", [](TTestEntry& e) { e.LocalExtra = std::string(13, 'L'); }},
        {"central extra only", [](TTestEntry& e) { e.Extra = std::string(9, 'C'); }},
        {"both extras, different lengths", [](TTestEntry& e) {
             e.LocalExtra = std::string(4, 'L');
             e.Extra = std::string(17, 'C');
         }},
    };
    for (uint16_t method : {0, 8}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (method == 8 ? ", deflated" : ", stored"));
            TTestEntry e = Entry(method);
            c.change(e);
            EXPECT_EQ(ExtractedOnly(e), kContent);  // named by the central record, never by the local one
        }
    }
}

TEST(CompressionMethod, OnlyItsLowEightBitsPickTheHandler) {
    for (uint16_t method : {0x108, 0xFF08, 0x100}) {
        SCOPED_TRACE(method);
        TTestEntry e = Entry(method & 0xFF);
        e.StoredData = (method & 0xFF) == 8 ? RawDeflate(kContent) : kContent;
        e.Method = method;
        EXPECT_EQ(ExtractedOnly(e), kContent);
    }
}

TEST(ArchiveOnAStream, LocalOffsetsCountFromWhereTheStreamStood) {
    RegisterDefaultCompressionHandlers();
    // The prefix shifts the local headers, not the central-directory offset,
    // which counts from the stream's own start.
    const std::string prefix(777, 'P');
    TBytesStream stream(ZipBuilder().Prefix(prefix).Add(Entry(8)).Add("second.txt", "two").Build());
    stream.SetPosition(static_cast<int64_t>(prefix.size()));
    TZipFile zip;
    zip.Open(stream, zmRead);
    ASSERT_EQ(zip.FileCount(), 2);
    TTempDir out;
    zip.ExtractAll(Folder(out.Path()));
    EXPECT_EQ(ReadText(out / "entry.txt"), kContent);
    EXPECT_EQ(ReadText(out / "second.txt"), "two");

    stream.SetPosition(0);  // opened where the prefix starts, the local headers are not found
    zip.Open(stream, zmRead);
    ExpectRaises<EZipException>([&] { zip.ExtractAll(Folder(out.Path())); }, UString(kBadLocalHeader));
}

TEST(ZipRead, ReadsTheLocalHeaderAndStartsAtTheData) {
    RegisterDefaultCompressionHandlers();
    TTestEntry entry;
    entry.Name = "a";  // the shortest name and extra field
    entry.Data = "payload";
    entry.LocalExtra = "X";  // the central record's lengths play no part
    TBytesStream stream(ZipBuilder().Add(entry).Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    std::unique_ptr<TStream> data;
    TZipHeader local;  // the fields a local header lacks start out set, and are cleared
    local.MadeByVersion = local.FileCommentLength = local.DiskNumberStart = local.InternalAttributes = 99;
    local.ExternalAttributes = local.LocalHeaderOffset = 99;
    local.FileComment = {'c'};
    zip.Read(0, data, local);
    for (const uint32_t centralOnly : {uint32_t{local.MadeByVersion}, uint32_t{local.FileCommentLength},
                                       uint32_t{local.DiskNumberStart}, uint32_t{local.InternalAttributes},
                                       local.ExternalAttributes, local.LocalHeaderOffset}) {
        EXPECT_EQ(centralOnly, 0u);
    }
    EXPECT_TRUE(local.FileComment.empty());
    EXPECT_EQ(local.ExtraFieldLength, 1);
    EXPECT_EQ(Text(local.FileName), "a");
    EXPECT_EQ(Text(local.ExtraField), "X");
    char out[7];
    data->ReadBuffer(out, 7);
    EXPECT_EQ(std::string(out, 7), "payload");
    // A local header at the very end, its name and extra field cut off: the bytes the archive lacks read as zero.
    const std::string cut = std::string("PK\x03\x04", 4) + std::string(22, '\0') + std::string("\x02\x00\x02\x00", 4) + "n";
    TTestBytes bytes = ZipBuilder().Add(TestEntry("n", "")).Comment(cut).Build();
    PutLe32(bytes, CentralDirectoryOffset(bytes) + 42, static_cast<uint32_t>(bytes.size() - cut.size()));
    TBytesStream cutStream(bytes);
    TZipFile cutZip;
    cutZip.Open(cutStream, zmRead);
    cutZip.Read(0, data, local);
    EXPECT_EQ(Text(local.FileName), std::string("n\0", 2));
    EXPECT_EQ(Text(local.ExtraField), std::string(2, '\0'));
}

TEST(ZipRead, FailsOnClosedArchiveBadIndexBadSignatureAndUnknownMethod) {
    RegisterDefaultCompressionHandlers();
    TTestEntry bzip2;
    bzip2.Name = "b.bz2";
    bzip2.Method = 12;
    TTestBytes bytes = ZipBuilder().Add("a.txt", "x").Add(bzip2).Build();
    std::unique_ptr<TStream> data;
    TZipHeader local;
    TZipFile zip;
    ExpectRaises<EZipException>([&] { zip.Read(0, data, local); }, UString(kNotOpenForReading));
    ExpectRaises<EZipException>([&] { zip.LocalHeaderSize(0); }, UString(kNotOpenForReading));
    TBytesStream stream(bytes);
    zip.Open(stream, zmRead);
    for (const int outside : {2, -1}) {
        ExpectRaises<EZipException>([&] { zip.Read(outside, data, local); }, UString(kFileNotFound));
        ExpectRaises<EZipException>([&] { zip.LocalHeaderSize(outside); }, UString(kFileNotFound));
    }
    ExpectRaises<EListError>([&] { zip.Read(1, data, local); }, UString(kItemNotFound));
    zip.Close();
    bytes[0] = 'Q';
    TBytesStream damaged(bytes);
    zip.Open(damaged, zmRead);
    ExpectRaises<EZipException>([&] { zip.Read(0, data, local); }, UString(kBadLocalHeader));
}
