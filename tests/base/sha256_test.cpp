// SHA-256 through the system's (or libcrypto's) implementation: the
// standard's examples, whole and fed in pieces across block borders.
#include "base/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Digest(const std::string& text, size_t piece) {
    TSha256 sha;
    for (size_t at = 0; at < text.size(); at += piece) sha.Update(text.data() + at, std::min(piece, text.size() - at));
    return ToUtf8(Sha256Hex(sha.Finish()));
}

}  // namespace

TEST(Sha256, GivesTheStandardsDigestsWholeAndInPieces) {
    struct Case {
        std::string text;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 16));
        for (const size_t piece : {size_t{1} << 30, size_t{1}, size_t{63}, size_t{4096}}) {
            if (piece == 1 && c.text.size() > 1000) continue;  // a million single calls add nothing
            EXPECT_EQ(Digest(c.text, piece), c.digest) << "pieces of " << piece;
        }
    }
}
