// dattool seal on executables crafted here byte by byte (a PE file whose
// resource directory holds the seal and a version resource), and on Windows
// on the updater the build made.
#include <gtest/gtest.h>

#include "archive/archive_seal.h"
#include "archive/dattool/seal_image.h"
#include "tests/archive/dattool/support/dattool_run.h"
#include "tests/archive/support/archive_test_support.h"
#include "tests/support/zip_builder.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// SHA-256 of "abc", the standard's own example.
const std::string kAbcDigest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

struct TCraftedResource {
    uint32_t Type;
    std::u16string Name;  // empty: id 1
    TTestBytes Data;
};

TTestBytes Bytes(const std::string& text) { return TTestBytes(text.begin(), text.end()); }

TTestBytes UnsealedSeal() {
    return Bytes("KelvoUpdaterSeal" "unsealed........" + std::string(32, '.'));
}

// VersionResource: a version block whose fixed part says 1.23.456.7891 (every
// part odd, two of them past one byte). It lies 4 bytes further than in a
// block with no padding after its key, at the next 32-bit boundary, where the
// search must find it all the same; the block ends with the file version, the
// last field read.
TTestBytes VersionResource() {
    TTestBytes data(44 + 16, 0);
    PutLe32(data, 44, 0xFEEF04BD);
    PutLe32(data, 52, 1 << 16 | 23);
    PutLe32(data, 56, 456 << 16 | 7891);
    return data;
}

// CraftedExe is a PE32 file (PE32+ when plus) with one section, .rsrc at
// address 0x1000 and file offset 0x200, holding each resource (type, name,
// language 0x409); signed adds a security directory.
TTestBytes CraftedExe(const std::vector<TCraftedResource>& resources, bool isSigned = false, bool plus = false) {
    const size_t n = resources.size();
    const size_t root = 0, perResource = 64;
    size_t at = 16 + 8 * n + perResource * n;
    std::vector<size_t> names, datas;
    for (const auto& r : resources) {
        names.push_back(at);
        at += 2 + 2 * r.Name.size();
    }
    at = (at + 7) & ~size_t{7};
    for (const auto& r : resources) {
        datas.push_back(at);
        at += (r.Data.size() + 7) & ~size_t{7};
    }
    TTestBytes rsrc(at, 0);
    PutLe16(rsrc, root + 14, static_cast<uint16_t>(n));
    for (size_t i = 0; i < n; ++i) {
        const TCraftedResource& r = resources[i];
        const size_t typeDir = 16 + 8 * n + perResource * i, langDir = typeDir + 24, dataEntry = typeDir + 48;
        PutLe32(rsrc, root + 16 + 8 * i, r.Type);
        PutLe32(rsrc, root + 20 + 8 * i, 0x80000000u | static_cast<uint32_t>(typeDir));
        PutLe16(rsrc, typeDir + (r.Name.empty() ? 14 : 12), 1);
        PutLe32(rsrc, typeDir + 16, r.Name.empty() ? 1 : 0x80000000u | static_cast<uint32_t>(names[i]));
        PutLe32(rsrc, typeDir + 20, 0x80000000u | static_cast<uint32_t>(langDir));
        PutLe16(rsrc, langDir + 14, 1);
        PutLe32(rsrc, langDir + 16, 0x409);
        PutLe32(rsrc, langDir + 20, static_cast<uint32_t>(dataEntry));
        PutLe32(rsrc, dataEntry, static_cast<uint32_t>(0x1000 + datas[i]));
        PutLe32(rsrc, dataEntry + 4, static_cast<uint32_t>(r.Data.size()));
        PutLe16(rsrc, names[i], static_cast<uint16_t>(r.Name.size()));
        for (size_t c = 0; c < r.Name.size(); ++c) PutLe16(rsrc, names[i] + 2 + 2 * c, r.Name[c]);
        std::copy(r.Data.begin(), r.Data.end(), rsrc.begin() + static_cast<ptrdiff_t>(datas[i]));
    }
    TTestBytes exe(0x200, 0);
    exe[0] = 'M', exe[1] = 'Z';
    PutLe32(exe, 0x3C, 0x40);
    PutLe32(exe, 0x40, 0x00004550);
    PutLe16(exe, 0x44, 0x14C);     // i386
    PutLe16(exe, 0x46, 1);         // one section
    const size_t optional = 0x58, directories = optional + (plus ? 112 : 96);
    PutLe16(exe, 0x54, static_cast<uint16_t>(directories - optional + 16 * 8));
    PutLe16(exe, optional, plus ? 0x20B : 0x10B);
    PutLe32(exe, directories - 4, 16);
    PutLe32(exe, directories + 8 * 2, 0x1000);
    PutLe32(exe, directories + 8 * 2 + 4, static_cast<uint32_t>(rsrc.size()));
    if (isSigned) {
        PutLe32(exe, directories + 8 * 4, static_cast<uint32_t>(0x200 + rsrc.size()));
        PutLe32(exe, directories + 8 * 4 + 4, 8);
    }
    const size_t section = directories + 16 * 8;
    std::copy_n(".rsrc", 5, exe.begin() + static_cast<ptrdiff_t>(section));
    PutLe32(exe, section + 8, static_cast<uint32_t>(rsrc.size()));
    PutLe32(exe, section + 12, 0x1000);
    PutLe32(exe, section + 16, static_cast<uint32_t>(rsrc.size()));
    PutLe32(exe, section + 20, 0x200);
    exe.insert(exe.end(), rsrc.begin(), rsrc.end());
    if (isSigned) exe.insert(exe.end(), 8, 0);
    return exe;
}

TTestBytes Updater(bool isSigned = false, bool plus = false) {
    return CraftedExe({{16, u"", VersionResource()}, {10, u"KELVOSEAL", UnsealedSeal()}}, isSigned, plus);
}

// Sealed is exe's seal resource as Show reports it.
std::string Shown(const fs::path& exe) {
    const TRun run = Tool({u"seal", u"--show", U(exe)});
    EXPECT_EQ(run.Code, 0) << (run.Console.FErr.empty() ? "" : run.Console.FErr.back());
    return run.Console.FOut.empty() ? "" : run.Console.FOut.back();
}

}  // namespace

TEST(DatToolSeal, SealsInPlaceAndShowsWhatTheExeIsSealedTo) {
    TTempDir dir;
    const TTestBytes unsealed = Updater();
    WriteWholeFile(dir / "up.exe", unsealed);
    WriteText(dir / "Data.dat", "abc");
    const std::string exe = ToUtf8(U(dir / "up.exe"));
    EXPECT_EQ(Shown(dir / "up.exe"), exe + ": version 1.23.456.7891, not sealed");

    const TRun run = Tool({u"seal", U(dir / "up.exe"), U(dir / "Data.dat")});
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Console.FOut, (Lines{"sealed " + exe + " to " + ToUtf8(U(dir / "Data.dat")) + ": SHA-256 " + kAbcDigest}));
    EXPECT_EQ(Shown(dir / "up.exe"), exe + ": version 1.23.456.7891, sealed to SHA-256 " + kAbcDigest);
    // Only the seal's 64 bytes changed, and to the sealed layout.
    const TTestBytes sealed = ReadWholeFile(dir / "up.exe");
    ASSERT_EQ(sealed.size(), unsealed.size());
    std::vector<size_t> changed;
    for (size_t i = 0; i < sealed.size(); ++i)
        if (sealed[i] != unsealed[i]) changed.push_back(i);
    ASSERT_FALSE(changed.empty());
    EXPECT_LE(changed.back() - changed.front(), kSealSize - 1);
    TArchiveSeal seal;
    const TTestBytes reserved = UnsealedSeal();
    const auto sealAt = std::search(unsealed.begin(), unsealed.end(), reserved.begin(), reserved.end()) - unsealed.begin();
    EXPECT_FALSE(ParseSeal(sealed.data() + sealAt, kSealSize + 1, seal));  // a resource of another size is none
    ASSERT_TRUE(ParseSeal(sealed.data() + sealAt, kSealSize, seal));
    EXPECT_TRUE(seal.Sealed);
    EXPECT_EQ(ToUtf8(Sha256Hex(seal.Digest)), kAbcDigest);
    // The digest is of the whole archive, wherever its stream stood.
    TBytesStream archive(TBytes{'a', 'b', 'c'});
    archive.SetPosition(2);
    EXPECT_EQ(ToUtf8(Sha256Hex(Sha256OfStream(archive))), kAbcDigest);
}

TEST(DatToolSeal, RefusesASignedExeAndWhatIsNoUpdaterWritingNothing) {
    TTestBytes damagedSeal = UnsealedSeal();
    damagedSeal[20] = 'X';  // neither state
    TTestBytes stray = UnsealedSeal();
    stray[40] = 0;          // unsealed, but not full stops
    TTestBytes cut = Updater();
    cut.resize(0x180);      // headers whole, resources missing
    const size_t sealEntry = 0x200 + 16 + 8 * 2 + 64 + 48;  // the seal's data entry: address, size
    TTestBytes outside = Updater();
    PutLe32(outside, sealEntry, 0x5000);  // the seal's data address lies beyond the section
    TTestBytes shortSeal = Updater();
    PutLe32(shortSeal, sealEntry + 4, static_cast<uint32_t>(kSealSize - 1));  // the seal's bytes follow all the same
    TTestBytes longSeal = UnsealedSeal();
    longSeal.push_back('.');
    // The resource directory's root begins in one section and ends in the next.
    TTestBytes split = Updater();
    const size_t first = 0x58 + 96 + 16 * 8, second = first + 40;
    PutLe16(split, 0x46, 2);
    PutLe32(split, first + 16, 15);
    PutLe32(split, second + 12, 0x1000 + 16);
    PutLe32(split, second + 16, static_cast<uint32_t>(split.size() - 0x200 - 16));
    PutLe32(split, second + 20, 0x200 + 16);
    TTestBytes twoDirectories = Updater();  // the resource directory is the third
    PutLe32(twoDirectories, 0x58 + 92, 2);
    struct Case {
        const char* what;
        TTestBytes exe;
        std::string error;
    };
    const std::string notUpdater = "is not an updater with a seal resource";
    const Case cases[] = {
        {"signed", Updater(true), "is already signed: a seal written now would break its signature; seal first, then sign"},
        {"not a PE file", Bytes("plain text, not a program"), notUpdater},
        {"cut short", cut, notUpdater},
        {"no seal resource", CraftedExe({{16, u"", VersionResource()}}), notUpdater},
        {"seal a byte short", shortSeal, notUpdater},
        {"seal a byte long", CraftedExe({{10, u"KELVOSEAL", longSeal}}), notUpdater},
        {"resource root across two sections", split, notUpdater},
        {"two data directories", twoDirectories, notUpdater},
        {"seal of another name", CraftedExe({{10, u"KELVOSEAM", UnsealedSeal()}}), notUpdater},
        {"seal in neither state", CraftedExe({{10, u"KELVOSEAL", damagedSeal}}), notUpdater},
        {"unsealed with a stray byte", CraftedExe({{10, u"KELVOSEAL", stray}}), notUpdater},
        {"seal outside its section", outside, notUpdater},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTempDir dir;
        WriteWholeFile(dir / "up.exe", c.exe);
        WriteText(dir / "Data.dat", "abc");
        const TRun run = Tool({u"seal", U(dir / "up.exe"), U(dir / "Data.dat")});
        EXPECT_EQ(run.Code, 1);
        ASSERT_EQ(run.Console.FErr.size(), 1u);
        EXPECT_NE(run.Console.FErr[0].find(c.error), std::string::npos) << run.Console.FErr[0];
        EXPECT_EQ(ReadWholeFile(dir / "up.exe"), c.exe);
    }
    const TRun usage = Tool({u"seal", u"--show"});
    EXPECT_EQ(usage.Code, 2);
    EXPECT_EQ(usage.Console.FErr, (Lines{"dattool seal: too few arguments",
                                         "usage: dattool seal UPDATER_EXE ARCHIVE | --show UPDATER_EXE",
                                         "dattool seal --help tells more"}));
}

// A 64-bit updater (PE32+) is read like a 32-bit one. The file's size bounds
// every read, not the memory that holds its bytes: an image cut short in its
// resource directory or its seal is refused even while the bytes after the cut
// are still there.
TEST(DatToolSeal, ReadsBothFormatsButNothingBeyondTheImagesEnd) {
    TUpdaterImage image;
    ASSERT_TRUE(ReadUpdaterImage(Updater(true, true), image));
    EXPECT_EQ(image.Version, u"1.23.456.7891");
    EXPECT_TRUE(image.Signed);
    const TTestBytes whole = Updater();
    ASSERT_TRUE(ReadUpdaterImage(whole, image));
    EXPECT_FALSE(image.Signed);
    TTestBytes fewer = Updater(true);  // four data directories: the security one, the fifth, is absent
    PutLe32(fewer, 0x58 + 92, 4);
    ASSERT_TRUE(ReadUpdaterImage(fewer, image));
    EXPECT_FALSE(image.Signed);
    TTestBytes sizes = Updater(true);  // a security directory counts by its size, not its address
    PutLe32(sizes, 0x58 + 96 + 8 * 4 + 4, 0);
    ASSERT_TRUE(ReadUpdaterImage(sizes, image));
    EXPECT_FALSE(image.Signed);
    PutLe32(sizes, 0x58 + 96 + 8 * 4, 0);
    PutLe32(sizes, 0x58 + 96 + 8 * 4 + 4, 0x01000000);
    ASSERT_TRUE(ReadUpdaterImage(sizes, image));
    EXPECT_TRUE(image.Signed);
    const uint32_t rawSize = static_cast<uint32_t>(whole.size() - 0x200);
    TTestBytes atEnd = whole;  // an empty version resource at the section's end lies outside it
    PutLe32(atEnd, 0x200 + 80, 0x1000 + rawSize);
    PutLe32(atEnd, 0x200 + 84, 0);
    EXPECT_FALSE(ReadUpdaterImage(atEnd, image));
    TTestBytes over = Updater(true);  // a version resource 4 bytes longer than its section, the file's bytes after it
    PutLe32(over, 0x200 + 84, rawSize - 184 + 4);
    EXPECT_FALSE(ReadUpdaterImage(over, image));
    TTestBytes shortVersion = whole;  // a version block one byte short of the file version's last byte has none
    PutLe32(shortVersion, 0x200 + 84, 59);
    ASSERT_TRUE(ReadUpdaterImage(shortVersion, image));
    EXPECT_EQ(image.Version, u"");
    TTestBytes second = whole;  // the resources in the second of two sections, the first lying elsewhere
    const size_t first = 0x58 + 96 + 16 * 8;
    std::copy_n(whole.begin() + static_cast<ptrdiff_t>(first), 40, second.begin() + static_cast<ptrdiff_t>(first + 40));
    PutLe16(second, 0x46, 2);
    PutLe32(second, first + 12, 0x8000);
    ASSERT_TRUE(ReadUpdaterImage(second, image));
    EXPECT_EQ(image.Version, u"1.23.456.7891");
    TTestBytes rootAtEnd = whole;  // the resource root fills the first of two sections to its last byte
    PutLe16(rootAtEnd, 0x46, 2);
    PutLe32(rootAtEnd, first + 16, 16);
    PutLe32(rootAtEnd, first + 40 + 12, 0x1000 + 16);
    PutLe32(rootAtEnd, first + 40 + 16, static_cast<uint32_t>(whole.size() - 0x200 - 16));
    PutLe32(rootAtEnd, first + 40 + 20, 0x200 + 16);
    EXPECT_TRUE(ReadUpdaterImage(rootAtEnd, image));
    TTestBytes zeroAddress = whole;  // address 0 is no resource directory, even where a section begins there
    PutLe32(zeroAddress, 0x58 + 96 + 8 * 2, 0);
    PutLe32(zeroAddress, first + 12, 0);
    PutLe32(zeroAddress, 0x200 + 80, 184);   // the version's data, now at address 184
    PutLe32(zeroAddress, 0x200 + 144, 248);  // and the seal's
    EXPECT_FALSE(ReadUpdaterImage(zeroAddress, image));
    TTestBytes uncounted = whole;  // the seal's address lies only in a section header beyond the count
    PutLe32(uncounted, 0x200 + 16 + 8 * 2 + 64 + 48, 0x5000);
    PutLe32(uncounted, first + 40 + 12, 0x5000);
    PutLe32(uncounted, first + 40 + 16, 0x100);
    PutLe32(uncounted, first + 40 + 20, 0x200);
    EXPECT_FALSE(ReadUpdaterImage(uncounted, image));
    PutLe16(uncounted, 0x46, 2);  // counted, it is found there
    EXPECT_TRUE(ReadUpdaterImage(uncounted, image));
    // The resource structure ends the file: the seal's name is its last two bytes (the seal's data the
    // directory's own), the version resource empty at the very end; a byte less cuts the name short.
    TTestBytes tail = whole;
    PutLe32(tail, 0x200 + 144, 0x1000);
    PutLe32(tail, 0x200 + 80, 0x1000 + 182);
    PutLe32(tail, 0x200 + 84, 0);
    tail.resize(0x200 + 182);
    ASSERT_TRUE(ReadUpdaterImage(tail, image));
    EXPECT_EQ(image.Version, u"");
    tail.resize(0x200 + 181);
    PutLe32(tail, 0x200 + 80, 0x1000 + 181);
    EXPECT_FALSE(ReadUpdaterImage(tail, image));
    TTestBytes oddName = whole;  // the seal's name one byte further, at an odd offset
    std::copy_backward(whole.begin() + 0x200 + 162, whole.begin() + 0x200 + 182, oddName.begin() + 0x200 + 183);
    PutLe32(oddName, 0x200 + 112, 0x80000000u | 163);
    EXPECT_TRUE(ReadUpdaterImage(oddName, image));
    for (const size_t cut : {size_t{0x200 + 15}, whole.size() - 1}) {
        TTestBytes bytes = whole;
        bytes.resize(cut);  // keeps the memory, and what it holds beyond the cut
        EXPECT_FALSE(ReadUpdaterImage(bytes, image)) << cut;
    }
}

#ifdef KELVO_UPDATER_EXE
// The updater the build made carries its seal reserved, unsealed, and the
// project's version; sealed, the same bytes show the archive's digest.
TEST(DatToolSeal, TheBuiltUpdaterCarriesItsSealReservedAndTheProjectsVersion) {
    TTempDir dir;
    fs::copy_file(fs::u8path("Z:" KELVO_UPDATER_EXE), dir / "KelvoUpdater.exe");  // the build tree, as Wine sees it
    WriteText(dir / "Data.dat", "abc");
    const std::string exe = ToUtf8(U(dir / "KelvoUpdater.exe"));
    EXPECT_EQ(Shown(dir / "KelvoUpdater.exe"), exe + ": version " KELVO_VERSION_FOUR ", not sealed");
    EXPECT_EQ(Tool({u"seal", U(dir / "KelvoUpdater.exe"), U(dir / "Data.dat")}).Code, 0);
    EXPECT_EQ(Shown(dir / "KelvoUpdater.exe"), exe + ": version " KELVO_VERSION_FOUR ", sealed to SHA-256 " + kAbcDigest);
}
#endif
