#include <gtest/gtest.h>

#include "tests/support/expect_raises.h"
#include "tests/updater/fakes.h"
#include "updater/install_search.h"

namespace {

// ExpectedProbes spells the probe order out: drives C to L without I, on
// each the "(x86)" folder before the plain one.
std::vector<UString> ExpectedProbes() {
    std::vector<UString> probes;
    for (const char16_t drive : UStringView(u"CDEFGHJKL")) {
        for (const UStringView folder : {u"Program Files (x86)", u"Program Files"})
            probes.push_back(UString(1, drive) + u":\\" + UString(folder) + u"\\Kelvo\\Kelvo.exe");
    }
    return probes;
}

const std::vector<UString> kExpectedProbes = ExpectedProbes();

std::string U8(const UString& text) { return ToUtf8(text); }

// ExpectRejectedAfterOneLook: with only the file present, a manual pick of
// path is rejected after a single look, at the place given.
void ExpectRejectedAfterOneLook(const UString& present, const UString& path, const char* lookedAt) {
    TFakeFileSystem files;
    files.AddFile(present);
    TFakeLocaleText text;
    EXPECT_FALSE(AcceptedFolder(files, text, path, skManual).has_value());
    ASSERT_EQ(files.AttributeQueries.size(), 1u);
    EXPECT_EQ(U8(files.AttributeQueries[0]), lookedAt);
}

}  // namespace

TEST(InstallSearch, ProbesTheEighteenCandidatesInTableOrderWhenNothingExists) {
    TFakeFileSystem files;
    UString probe;
    EXPECT_EQ(SearchInstallation(files, probe), u"NotFound");
    EXPECT_EQ(files.AttributeQueries, kExpectedProbes);
    // The probe variable keeps the last candidate.
    EXPECT_EQ(U8(probe), "L:\\Program Files\\Kelvo\\Kelvo.exe");
}

TEST(InstallSearch, NeverProbesDrivesIOrM) {
    TFakeFileSystem files;
    files.AddFile(u"I:\\Program Files\\Kelvo\\Kelvo.exe");
    files.AddFile(u"M:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    UString probe;
    EXPECT_EQ(SearchInstallation(files, probe), u"NotFound");
    for (const UString& path : files.AttributeQueries) {
        SCOPED_TRACE(U8(path));
        EXPECT_NE(path[0], u'I');
        EXPECT_NE(path[0], u'M');
    }
}

TEST(InstallSearch, ReturnsTheFirstExistingCandidateAsSpelledInTheTable) {
    struct Case {
        const char16_t* installed;
        size_t probes;
    };
    const Case cases[] = {
        {u"c:\\program files (x86)\\kelvo\\kelvo.exe", 1},
        {u"C:\\Program Files\\Kelvo\\Kelvo.exe", 2},
        {u"H:\\PROGRAM FILES\\KELVO\\KELVO.EXE", 12},
        {u"J:\\Program Files (x86)\\Kelvo\\Kelvo.exe", 13},
        {u"L:\\Program Files\\Kelvo\\Kelvo.exe", 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.installed));
        TFakeFileSystem files;
        files.AddFile(c.installed);
        UString probe;
        const UString found = SearchInstallation(files, probe);
        EXPECT_EQ(found, kExpectedProbes[c.probes - 1]);
        EXPECT_EQ(probe, found);
        EXPECT_EQ(files.AttributeQueries.size(), c.probes);
    }
}

TEST(InstallSearch, TheX86FolderWinsEvenWithoutItsMarker) {
    TFakeFileSystem files;
    files.AddFile(u"C:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    files.AddFile(u"C:\\Program Files\\Kelvo\\Kelvo.exe");
    files.AddFile(u"C:\\Program Files\\Kelvo\\dbrtsl100.bpl");
    UString probe;
    EXPECT_EQ(U8(SearchInstallation(files, probe)), "C:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    EXPECT_EQ(files.AttributeQueries.size(), 1u);
}

TEST(InstallSearch, AFolderNamedKelvoExeIsNotFound) {
    TFakeFileSystem files;
    files.AddFolder(u"C:\\Program Files (x86)\\Kelvo\\Kelvo.exe");
    files.AddFile(u"D:\\Program Files\\Kelvo\\Kelvo.exe");
    UString probe;
    EXPECT_EQ(U8(SearchInstallation(files, probe)), "D:\\Program Files\\Kelvo\\Kelvo.exe");
}

TEST(InstallSearch, ProbesWithoutTheCriticalErrorBoxAndRestoresTheModeAfterwards) {
    TFakeFileSystem files;
    files.PresetMode(0x8002);
    UString probe;
    SearchInstallation(files, probe);
    ASSERT_EQ(files.ModeDuringQueries.size(), 18u);
    for (uint32_t mode : files.ModeDuringQueries) EXPECT_EQ(mode, 0x0001u);
    EXPECT_EQ(files.Mode(), 0x8002u);
}

TEST(FileExists, FollowsTheAttributeErrorAndLinkRules) {
    const uint32_t kAccessDenied = 5, kNotReady = 21, kNoMoreFiles = 18;
    struct Case {
        const char* name;
        TFakeEntry entry;
        bool exists;
        bool searched;  // FindFirstFileW asked
        bool opened;    // CreateFileW asked
    };
    const Case cases[] = {
        {"plain file", {{true, 0x20, 0}, {true, false}, 0}, true, false, false},
        {"read-only hidden file", {{true, 0x03, 0}, {true, false}, 0}, true, false, false},
        {"folder", {{true, 0x10, 0}, {true, true}, kAccessDenied}, false, false, false},
        {"file not found", {{false, 0, 2}, {true, false}, 0}, false, false, false},
        {"path not found", {{false, 0, 3}, {true, false}, 0}, false, false, false},
        {"invalid name", {{false, 0, 123}, {true, false}, 0}, false, false, false},
        {"access denied, search finds a file", {{false, 0, kAccessDenied}, {true, false}, 0}, true, true, false},
        {"access denied, search finds a folder", {{false, 0, kAccessDenied}, {true, true}, 0}, false, true, false},
        {"access denied, search finds nothing", {{false, 0, kAccessDenied}, {false, false}, 0}, false, true, false},
        {"sharing violation, search finds a file", {{false, 0, 32}, {true, false}, 0}, true, true, false},
        {"drive not ready", {{false, 0, kNotReady}, {false, false}, kNotReady}, false, true, false},
        {"link to a file", {{true, 0x420, 0}, {true, false}, 0}, true, false, true},
        {"link to a file in use", {{true, 0x420, 0}, {true, false}, 32}, true, false, true},
        {"broken link", {{true, 0x420, 0}, {false, false}, 2}, false, false, true},
        {"link to a locked file", {{true, 0x420, 0}, {true, false}, kAccessDenied}, false, false, true},
        {"link to a folder", {{true, 0x410, 0}, {true, true}, 0}, false, false, false},
        {"dangling link by attributes", {{false, 0, 2}, {false, false}, kNoMoreFiles}, false, false, false},
    };
    const UString path = u"D:\\Apps\\Kelvo.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFakeFileSystem files;
        files.Set(path, c.entry);
        EXPECT_EQ(FileExists(files, path), c.exists);
        EXPECT_EQ(!files.FindQueries.empty(), c.searched);
        EXPECT_EQ(!files.OpenQueries.empty(), c.opened);
    }
}

TEST(EndingTest, AcceptsOnlyPathsWhoseLastNineCharactersAreTheName) {
    struct Case {
        const char16_t* lowered;
        bool passes;
    };
    const Case cases[] = {
        {u"d:\\apps\\kelvo.exe", true},   {u"kelvo.exe", true},        {u"d:\\tools\\oldkelvo.exe", true},
        {u"elvo.exe", false},             {u"", false},                {u"d:\\apps\\kelvo.exe.bak", false},
        {u"d:\\apps\\kelvo.ex", false},   {u"d:\\apps\\kelvo_exe", false}, {u"d:\\apps\\Kelvo.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.lowered));
        TFakeLocaleText text;
        EXPECT_EQ(EndsWithExecutableName(text, c.lowered), c.passes);
    }
}

TEST(EndingTest, ComparesTheLastNineCharactersThroughTheLocale) {
    TFakeLocaleText text;
    EndsWithExecutableName(text, u"d:\\tools\\oldkelvo.exe");
    ASSERT_EQ(text.Comparisons.size(), 1u);
    EXPECT_EQ(U8(text.Comparisons[0]), "kelvo.exe");
}

TEST(MarkerCheck, AcceptsTheLowerCasedFolderWithItsBackslash) {
    struct Case {
        const char16_t* path;
        const char16_t* marker;
        TSelectionKind kind;
        const char* folder;
    };
    const Case cases[] = {
        {u"C:\\Program Files (x86)\\Kelvo\\Kelvo.exe", u"c:\\program files (x86)\\kelvo\\dbrtsl100.bpl", skAutomatic,
         "c:\\program files (x86)\\kelvo\\"},
        {u"D:\\Apps\\KELVO.EXE", u"D:\\Apps\\dbrtsl100.bpl", skManual, "d:\\apps\\"},
        {u"D:\\Kelvo.exe.old\\Kelvo.exe", u"d:\\kelvo.exe.old\\dbrtsl100.bpl", skManual, "d:\\kelvo.exe.old\\"},
        {u"E:\\Kelvo\\kelvo.exe\\Kelvo.exe", u"e:\\kelvo\\kelvo.exe\\dbrtsl100.bpl", skManual,
         "e:\\kelvo\\kelvo.exe\\"},
        {u"Kelvo.exe", u"dbrtsl100.bpl", skManual, ""},  // the nine characters alone leave no folder before them
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.path));
        TFakeFileSystem files;
        files.AddFile(c.marker);
        TFakeLocaleText text;
        const auto folder = AcceptedFolder(files, text, c.path, c.kind);
        ASSERT_TRUE(folder.has_value());
        EXPECT_EQ(U8(*folder), c.folder);
    }
}

TEST(MarkerCheck, LooksForTheMarkerBesideTheFileNeverInsideFolderNames) {
    ExpectRejectedAfterOneLook(u"d:\\dbrtsl100.bpl.old\\dbrtsl100.bpl", u"D:\\Kelvo.exe.old\\Kelvo.exe",
                               "d:\\kelvo.exe.old\\dbrtsl100.bpl");
}

TEST(MarkerCheck, RejectsWithoutLookingWhenAManualPickFailsTheEndingTest) {
    const char16_t* paths[] = {u"D:\\Apps\\Kelvo.exe.bak", u"D:\\Apps\\setup.exe", u"exe"};
    for (const char16_t* path : paths) {
        SCOPED_TRACE(U8(path));
        TFakeFileSystem files;
        TFakeLocaleText text;
        EXPECT_FALSE(AcceptedFolder(files, text, path, skManual).has_value());
        EXPECT_TRUE(files.AttributeQueries.empty());
    }
}

TEST(MarkerCheck, APickMerelyEndingInTheNameLooksForAMarkerOfTheSameShape) {
    ExpectRejectedAfterOneLook(u"D:\\Tools\\dbrtsl100.bpl", u"D:\\Tools\\oldkelvo.exe", "d:\\tools\\olddbrtsl100.bpl");
}

TEST(MarkerCheck, RejectsAMarkerThatIsAFolderOrMissing) {
    TFakeFileSystem files;
    files.AddFolder(u"D:\\Apps\\dbrtsl100.bpl");
    TFakeLocaleText text;
    EXPECT_FALSE(AcceptedFolder(files, text, u"D:\\Apps\\Kelvo.exe", skManual).has_value());
    EXPECT_FALSE(AcceptedFolder(files, text, u"D:\\Other\\Kelvo.exe", skManual).has_value());
}

TEST(MarkerCheck, RaisesWhenTheTextCannotBeLowerCased) {
    TFakeFileSystem files;
    TFakeLocaleText text;
    text.FailLowering = true;
    ExpectRaises<EOSError>([&] { AcceptedFolder(files, text, u"D:\\Apps\\Kelvo.exe", skManual); },
                           u"lowering failed");
}
