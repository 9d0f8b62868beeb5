#include <gtest/gtest.h>

#include <algorithm>

#include "archive/zip_file.h"
#include "archive/zip_handlers.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

namespace {

std::string ReadAll(TStream& stream, int64_t piece) {
    std::string out;
    std::string buffer(static_cast<size_t>(piece), '\0');
    for (;;) {
        const int64_t got = stream.Read(&buffer[0], piece);
        if (got == 0) return out;
        out.append(buffer, 0, static_cast<size_t>(got));
    }
}

std::string Mixed(size_t size) {
    std::string text;
    uint32_t x = 12345;
    while (text.size() < size) {
        x = x * 1103515245u + 12345u;
        text += (x >> 28) < 2 ? std::string("kelvo ledger entry ") : std::string(1, static_cast<char>(x >> 16));
    }
    text.resize(size);
    return text;
}

}  // namespace

TEST(ZDecompressionStream, InflatesAcrossInputRefillsAndGivesBackUnusedInput) {
    RegisterDefaultCompressionHandlers();
    std::string text = Mixed(270000);  // more compressed data than one 65,536-byte refill
    text += text.substr(text.size() - 30000);  // repeated from 30,000 bytes back: the full 32 KiB window
    const std::string deflated = RawDeflate(text);
    ASSERT_GT(deflated.size(), 65536u);
    TBytesStream archive(TTestBytes(deflated.begin(), deflated.end()));
    archive.Seek(0, soEnd);
    archive.Write("AFTER", 5);
    archive.SetPosition(0);
    TZDecompressionStream stream(archive);
    const auto most = static_cast<int64_t>(text.size() - 1000);
    std::string out(static_cast<size_t>(most), '\0');
    EXPECT_EQ(stream.Read(&out[0], most), most);  // one read fills all it asks for, across input refills
    EXPECT_TRUE(out + ReadAll(stream, 61440) == text) << "the inflated text differs";
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(stream.Size(), -1);  // an inflated size is never known to the stream
    EXPECT_EQ(stream.Write("x", 1), 0);  // reading only
    EXPECT_EQ(archive.Position(), static_cast<int64_t>(deflated.size()));  // right after the deflate data
    char after[5];
    EXPECT_EQ(archive.Read(after, 5), 5);
    EXPECT_EQ(std::string(after, 5), "AFTER");
    const std::string small = Mixed(5000);
    const std::string smallDeflated = RawDeflate(small);
    TTrickleStream trickle(TTestBytes(smallDeflated.begin(), smallDeflated.end()), 1);
    TZDecompressionStream fromTrickle(trickle);
    EXPECT_TRUE(ReadAll(fromTrickle, 61440) == small) << "input that comes a byte a read inflates otherwise";
}

TEST(ZDecompressionStream, ReturnsToItsOwnPositionWhenOthersMovedTheArchive) {
    const std::string text = Mixed(200000);
    const std::string deflated = RawDeflate(text);
    TBytesStream archive(TTestBytes(deflated.begin(), deflated.end()));
    TZDecompressionStream stream(archive);
    std::string first(1000, '\0');
    ASSERT_EQ(stream.Read(&first[0], 1000), 1000);
    // The input comes in reads of 64 KiB, kept until inflate has used them.
    EXPECT_EQ(archive.Position(), std::min<int64_t>(65536, static_cast<int64_t>(deflated.size())));
    archive.SetPosition(3);
    EXPECT_EQ(stream.Read(&first[0], 0), 0);
    EXPECT_EQ(archive.Position(), 3);  // a read of nothing moves nothing
    char one = 0;
    EXPECT_EQ(stream.Read(&one, 1), 1);
    EXPECT_TRUE(first + one + ReadAll(stream, 4096) == text) << "the inflated text differs";
}

TEST(ZDecompressionStream, CorruptDataRaisesZlibsText) {
    TBytesStream archive(TTestBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    TZDecompressionStream stream(archive);
    char buffer[16];
    // zlib's text for the code, not its detailed message ("invalid block type").
    ExpectRaises<EZDecompressionError>([&] { stream.Read(buffer, sizeof buffer); }, u"data error");
    TBytesStream badLengths(TTestBytes{0x01, 0x01, 0x00, 0x00, 0x00, 'x'});  // stored block, LEN and NLEN disagree
    TZDecompressionStream second(badLengths);
    ExpectRaises<EZDecompressionError>([&] { second.Read(buffer, sizeof buffer); }, u"data error");
}

TEST(ZDecompressionStream, ShortDataEndsWithWhatWasProduced) {
    const std::string deflated = RawDeflate(Mixed(5000));
    TBytesStream archive(TTestBytes(deflated.begin(), deflated.begin() + 100));
    TZDecompressionStream stream(archive);
    std::string out(6000, '\0');
    const int64_t got = stream.Read(&out[0], 6000);
    EXPECT_GT(got, 0);
    EXPECT_LT(got, 5000);
    EXPECT_FALSE(stream.Ended());
    EXPECT_EQ(stream.Read(&out[0], 6000), 0);
}

TEST(StoredStream, PassesStraightToTheArchiveWithoutAnEnd) {
    TBytesStream archive(TTestBytes{'a', 'b', 'c', 'd', 'e'});
    archive.SetPosition(1);
    TStoredStream stream(archive);
    char out[10];
    EXPECT_EQ(stream.Read(out, 10), 4);
    EXPECT_EQ(std::string(out, 4), "bcde");
}

TEST(HandlerRegistry, UnknownMethodsAreNotFoundAndRegistrationReplaces) {
    RegisterDefaultCompressionHandlers();
    EXPECT_NE(FindDecompressor(0), nullptr);
    EXPECT_NE(FindDecompressor(8), nullptr);
    for (TZipCompression method : {1, 9, 12, 14, 93, 99}) EXPECT_EQ(FindDecompressor(method), nullptr);
    int made = 0;
    RegisterCompressionHandler(0, nullptr, [&](TStream& archive, TZipFile&, const TZipHeader&) {
        ++made;
        return std::unique_ptr<TStream>(new TStoredStream(archive));
    });
    TBytesStream stream(ZipBuilder().Add("a", "x").Build());
    TZipFile zip;
    zip.Open(stream, zmRead);
    std::unique_ptr<TStream> data;
    TZipHeader local;
    zip.Read(0, data, local);
    EXPECT_EQ(made, 1);
    RegisterDefaultCompressionHandlers();
}
