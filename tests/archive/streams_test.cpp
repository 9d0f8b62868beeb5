#include <gtest/gtest.h>

#include "archive/file_stream.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

TEST(BytesStream, ReadsWritesAndSeeksLikeAFile) {
    TBytesStream stream;
    EXPECT_EQ(stream.Write("hello", 5), 5);
    EXPECT_EQ(stream.Seek(-2, soEnd), 3);
    char out[8];
    EXPECT_EQ(stream.Read(out, 8), 2);
    EXPECT_EQ(std::string(out, 2), "lo");
    EXPECT_EQ(stream.Read(out, 8), 0);
    stream.SetPosition(7);
    stream.Write("!", 1);  // writing past the end fills the gap with zeros
    EXPECT_EQ(Text(stream.Bytes()), std::string("hello\0\0!", 8));
}

TEST(StreamHelpers, ReadBufferAndWriteBufferInsistOnEveryByte) {
    TBytesStream stream(TTestBytes{1, 2, 3});
    uint8_t out[4];
    ExpectRaises<EReadError>([&] { stream.ReadBuffer(out, 4); }, UString(kStreamReadError));
    TShortWriteStream full(TTestBytes{}, 3);
    ExpectRaises<EWriteError>([&] { full.WriteBuffer("abcd", 4); }, UString(kStreamWriteError));
}

TEST(FileStream, WritesAndReadsAFileAndClosesItWhenFreed) {
    TTempDir dir;
    const UString name = U(dir / "f.bin");
    {
        TFileStream file(name, faReadWrite, fdCreateAlways);
        file.WriteBuffer("0123456789", 10);
        EXPECT_EQ(file.Size(), 10);
        file.SetPosition(4);
        char out[3];
        file.ReadBuffer(out, 3);
        EXPECT_EQ(std::string(out, 3), "456");
        EXPECT_EQ(file.Position(), 7);
    }
    TFileStream again(name, faRead, fdOpenExisting);  // opened without sharing: the first handle is gone
    EXPECT_EQ(again.Size(), 10);
    EXPECT_EQ(again.Write("x", 1), 0);  // a failed write counts as 0 bytes
}

TEST(FileStream, ReadsAndWritesBeyondFourGigabytes) {
    // Positions are 64-bit in every build, the 32-bit one included: a byte
    // written past 4 GB (into a sparse file) lands there and reads back there.
    TTempDir dir;
    TFileStream file(U(dir / "big.bin"), faReadWrite, fdCreateAlways);
    const int64_t far = (int64_t{1} << 32) + 5;
    file.SetPosition(far);
    file.WriteBuffer("Z", 1);
    EXPECT_EQ(file.Size(), far + 1);
    char out = 'x';
    for (const int64_t gap : {int64_t{5}, int64_t{1} << 31}) {  // the offset's low 32 bits; 2 GB
        file.SetPosition(gap);
        file.ReadBuffer(&out, 1);
        EXPECT_EQ(out, '\0') << "at " << gap;
    }
    file.SetPosition(far);
    file.ReadBuffer(&out, 1);
    EXPECT_EQ(out, 'Z');
    EXPECT_EQ(file.Position(), far + 1);
}

TEST(FileStream, CreatingInAMissingFolderFailsWithCannotCreate) {
    TTempDir dir;
    try {
        TFileStream file(U(dir / "missing" / "f.bin"), faReadWrite, fdCreateAlways);
        ADD_FAILURE() << "created";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(ToUtf8(e.Message()).rfind("Cannot create file \"", 0), 0u) << e.what();
    }
}
