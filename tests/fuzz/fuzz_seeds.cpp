// fuzz_seeds FOLDER writes the seed corpus of the extraction and pre-flight fuzzer: small
// archives like those the archive tests build, one behaviour each, so that the
// fuzzer starts from every path of opening and extraction.
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/zip_builder.h"

namespace {

TTestEntry With(TTestEntry e, void (*change)(TTestEntry&)) {
    change(e);
    return e;
}

using TSeeds = std::vector<std::pair<std::string, TTestBytes>>;

const std::string kText = "Kelvo ledger line 0001, balance 1250.00\n";

std::string LongText() {
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += kText;
    return longText;
}

// ContainerSeeds open and extract: entries, comments, framing, names' encodings.
TSeeds ContainerSeeds() {
    const std::string longText = LongText();
    return {
        {"tree", ZipBuilder()
                     .Add("Kelvo.exe", "MZ program", 8)
                     .Add("empty/", "")
                     .Add("a/b/c.txt", longText, 8)
                     .Add("a/stored.bin", std::string("\0\1\2\3", 4))
                     .Build()},
        {"empty-archive", ZipBuilder().Build()},
        {"zero-bytes", {}},
        {"empty-entries", ZipBuilder().Add("plain.txt", "").Add(With(TestEntry("d.txt", ""), [](TTestEntry& e) {
                                                                  e.Flag |= 0x0008;
                                                              })).Build()},
        {"comment", ZipBuilder().Add("a.txt", "a").Comment("update 2024.3").Build()},
        {"prefix-and-trailing", ZipBuilder().Add("a.txt", kText, 8).Prefix("MZ self-extractor").Trailing("tail").Build()},
        {"cp437-names", ZipBuilder().Add(With(TestEntry("caf\x82.txt", "x"), [](TTestEntry& e) { e.Flag = 0; }))
                            .Add("b.txt", "b")
                            .Build()},
        {"utf8-names", ZipBuilder().Add("\xD8\xAF\xD8\xA7\xD8\xAF\xD9\x87/\xD9\x81.txt", "fa", 8).Build()},
    };
}

// DamageSeeds are the archives whose names or data the update run refuses.
TSeeds DamageSeeds() {
    return {
        {"dots-inside", ZipBuilder().Add("a/../b.txt", "b").Add("./c.txt", "c").Add("...x", "d").Build()},
        {"dots-outside", ZipBuilder().Add("a.txt", "first").Add("../x.txt", "evil").Build()},
        {"backslash-outside", ZipBuilder().Add("a\\..\\..\\x.txt", "evil").Build()},
        {"rooted", ZipBuilder().Add("/x.txt", "evil").Add("C:\\x.txt", "evil").Build()},
        {"wrong-crc", ZipBuilder().Add(With(TestEntry("sub/b.txt", "data", 8), [](TTestEntry& e) { e.Crc = 1; })).Build()},
        {"short-data", ZipBuilder().Add(With(TestEntry("b.txt", "data", 8), [](TTestEntry& e) {
                                       e.UncompressedSize = 100000;
                                   })).Build()},
        {"corrupt-deflate", ZipBuilder().Add(With(TestEntry("b.txt", "data", 8), [](TTestEntry& e) {
                                            e.StoredData = std::string("\xFF\xFF\xFF\xFF", 4);
                                        })).Build()},
        {"stored-size-mismatch", ZipBuilder().Add(With(TestEntry("s.bin", "0123456789"), [](TTestEntry& e) {
                                                 e.CompressedSize = 3;
                                             })).Build()},
        {"bzip2-method", ZipBuilder().Add("a.txt", "a").Add(With(TestEntry("b.txt", "b"), [](TTestEntry& e) {
                                                                 e.Method = 12;
                                                             })).Build()},
        {"extra-fields", ZipBuilder().Add(With(TestEntry("x.txt", kText, 8), [](TTestEntry& e) {
                                         e.Extra = std::string("\x55\x54\x05\x00\x01\x00\x00\x00\x00", 9);
                                         e.LocalExtra = std::string("\x75\x78\x0B\x00\x01\x04\xE8\x03\x00\x00\x04\xE8\x03\x00\x00", 15);
                                         e.Comment = "entry comment";
                                     })).Build()},
    };
}

// NameSeeds are names Windows treats in its own way, and what only the pre-flight looks at.
TSeeds NameSeeds() {
    TSeeds seeds = {
        {"same-name-twice", ZipBuilder().Add("a.txt", "one").Add("a.txt", "two", 8).Add("a.txt/", "").Build()},
        {"file-then-folder", ZipBuilder().Add("a", "file").Add("a/b.txt", "b").Build()},
        {"invalid-chars", ZipBuilder().Add("a|b", "x").Add("q\"x", "y").Build()},
        {"colon-after-drive", ZipBuilder().Add("ab:c/x.txt", "x").Build()},
        {"long-path", ZipBuilder().Add(std::string(250, 'd') + "/x.txt", "x").Build()},
        {"mixed-flags", ZipBuilder().Add(With(TestEntry("Kelvo.exe", "MZ"), [](TTestEntry& e) { e.Flag = 0; }))
                            .Add("\xDA\xAF\xD8\xB2.rep", "r")
                            .Build()},
        {"windows-names", ZipBuilder().Add("CON.txt", "x").Add("a. /b ", "x").Add("Same", "x").Add("same/x", "x").Build()},
        {"zip64-extra", ZipBuilder().Add(With(TestEntry("big.bin", kText, 8), [](TTestEntry& e) {
                                        e.Extra = std::string("\x01\x00\x08\x00\x28\x00\x00\x00\x00\x00\x00\x00", 12);
                                        e.LocalExtra = e.Extra;
                                    })).Build()},
    };
    TTestBytes gap = ZipBuilder().Add("a.txt", kText, 8).Build();
    const std::string locator = std::string("PK\x06\x07", 4) + std::string(16, '\0');
    gap.insert(gap.begin() + static_cast<std::ptrdiff_t>(EndRecordOffset(gap)), locator.begin(), locator.end());
    seeds.emplace_back("zip64-locator-gap", gap);
    return seeds;
}

TSeeds Seeds() {
    TSeeds seeds = ContainerSeeds();
    for (TSeeds more : {DamageSeeds(), NameSeeds()}) seeds.insert(seeds.end(), more.begin(), more.end());
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    for (const auto& [name, bytes] : Seeds()) {
        std::ofstream out(std::string(argv[1]) + "/seed-" + name + ".zip", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
