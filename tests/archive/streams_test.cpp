#include <gtest/gtest.h>

#include "archive/streams.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

TEST(BytesStream, ReadsWritesAndSeeksLikeAFile) {
    TBytesStream stream;
    EXPECT_EQ(stream.Write("hel", 3), 3);
    EXPECT_EQ(stream.Write("lo", 2), 2);  // each write goes on where the last ended
    EXPECT_EQ(stream.Seek(-2, soEnd), 3);
    char out[8];
    EXPECT_EQ(stream.Read(out, 8), 2);
    EXPECT_EQ(std::string(out, 2), "lo");
    EXPECT_EQ(stream.Read(out, 8), 0);
    stream.SetPosition(7);
    EXPECT_EQ(stream.Read(out, 8), 0);  // nothing to read past the end
    EXPECT_EQ(stream.Write("!", 0), 0);
    EXPECT_EQ(stream.Size(), 5);  // writing nothing past the end grows nothing
    stream.Write("!", 1);  // writing past the end fills the gap with zeros
    EXPECT_EQ(Text(stream.Bytes()), std::string("hello\0\0!", 8));
}

TEST(StreamHelpers, ReadBufferAndWriteBufferInsistOnEveryByte) {
    TTrickleStream trickle(TTestBytes{'a', 'b', 'c', 'd', 'e', 'f', 'g'}, 3);
    char whole[7];
    trickle.ReadBuffer(whole, 7);  // short reads (3, 3, 1) are asked again, each after the last
    EXPECT_EQ(std::string(whole, 7), "abcdefg");
    TBytesStream stream(TTestBytes{1, 2, 3});
    uint8_t out[4];
    ExpectRaises<EReadError>([&] { stream.ReadBuffer(out, 4); }, UString(kStreamReadError));
    TShortWriteStream full(TTestBytes{}, 3);
    ExpectRaises<EWriteError>([&] { full.WriteBuffer("abcd", 4); }, UString(kStreamWriteError));
}
