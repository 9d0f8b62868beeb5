#include <gtest/gtest.h>

#include "archive/file_stream.h"
#include "archive/zip_texts.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/expect_raises.h"

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
        EXPECT_EQ(file.Read(out, 0), 0);  // moving nothing answers 0
        EXPECT_EQ(file.Write("x", 0), 0);
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
