#include <gtest/gtest.h>

#include "archive/extract_paths.h"
#include "archive/zip_texts.h"
#include "tests/support/expect_raises.h"

TEST(ExtractPaths, CombinesFolderAndName) {
    struct Case {
        UStringView folder, name, target;
    };
    const Case cases[] = {
        {u"c:\\program files\\kelvo\\", u"a\\b.txt", u"c:\\program files\\kelvo\\a\\b.txt"},
        {u"C:\\K", u"a.txt", u"C:\\K\\a.txt"},
        {u"C:", u"a.txt", u"C:a.txt"},
        {u"/tmp/out/", u"a.txt", u"/tmp/out/a.txt"},
        {u"", u"a.txt", u"a.txt"},
        {u"C:\\K\\", u"", u"C:\\K\\"},
        {u"C:\\K\\", u"..\\x.txt", u"C:\\K\\..\\x.txt"},  // nothing normalised here
        {u"C:\\K\\", u"\\x.txt", u"\\x.txt"},             // rooted names stand alone
        {u"C:\\K\\", u"D:\\x.txt", u"D:\\x.txt"},
        {u"C:\\K\\", u"a*?:.txt", u"C:\\K\\a*?:.txt"},   // accepted by the combining rule
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        EXPECT_EQ(CombinePath(c.folder, c.name), c.target);
    }
}

TEST(ExtractPaths, RejectsInvalidCharactersInEitherPart) {
    const std::pair<UStringView, UStringView> cases[] = {
        {u"C:\\K\\", u"a\"b"}, {u"C:\\K\\", u"a<b"}, {u"C:\\K\\", u"a>b"}, {u"C:\\K\\", u"a|b"},
        {u"C:\\K\\", u"a\tb"}, {u"C:\\K\\", UStringView(u"a\0b", 3)},  {u"C:\\K\x1F\\", u"a"},
    };
    for (const auto& [folder, name] : cases) {
        SCOPED_TRACE(ToUtf8(name));
        ExpectRaises<EArgumentException>([&] { CombinePath(folder, name); }, UString(kInvalidPathChars));
    }
}

TEST(ExtractPaths, TellsRootedNames) {
    for (UStringView rooted : {u"\\a", u"/a", u"C:a", u"C:\\a", u"\\\\?\\C:\\a", u"\\\\server\\share\\a", u"x:"}) {
        SCOPED_TRACE(ToUtf8(rooted));
        EXPECT_TRUE(IsPathRooted(rooted));
    }
    for (UStringView relative : {u"a", u"a\\b", u"..\\a", u"ab:c", u"", u"a/"}) {
        SCOPED_TRACE(ToUtf8(relative));
        EXPECT_FALSE(IsPathRooted(relative));
    }
    EXPECT_FALSE(IsPathRooted(UStringView(u"a:", 1)));  // the colon lies beyond the view
}

TEST(ExtractPaths, DirectoryPartKeepsARootSeparator) {
    const std::pair<UStringView, UStringView> cases[] = {
        {u"C:\\K\\a.txt", u"C:\\K"}, {u"C:\\a.txt", u"C:\\"}, {u"a.txt", u""},
        {u"C:\\K\\sub\\", u"C:\\K\\sub"}, {u"C:a.txt", u"C:"}, {u"\\\\a.txt", u"\\\\"},
        {u"C:\\K\\ab:c", u"C:\\K\\ab:"}, {u"a\\b.txt", u"a"}, {u"\\a.txt", u"\\"},
    };
    for (const auto& [target, part] : cases) {
        SCOPED_TRACE(ToUtf8(target));
        EXPECT_EQ(DirectoryPart(target), part);
    }
    EXPECT_EQ(LastPathComponent(u"a\\b\\c.txt"), u"c.txt");
    EXPECT_EQ(LastPathComponent(u"C:x.txt"), u"x.txt");
    EXPECT_EQ(LastPathComponent(u"dir\\"), u"");
}

TEST(ExtractPaths, ChecksAFolderBeforeItIsCreated) {
    const uint32_t drivesCK = (1u << 2) | (1u << 10);  // C: and K:
    const UString longPath = u"C:\\" + UString(244, u'a');  // 247 characters
    EXPECT_NO_THROW(CheckFolderPath(longPath, drivesCK));
    EXPECT_NO_THROW(CheckFolderPath(u"\\\\?\\" + longPath, drivesCK));
    EXPECT_NO_THROW(CheckFolderPath(u"k:\\program files\\kelvo", drivesCK));
    EXPECT_NO_THROW(CheckFolderPath(u"\\\\server\\share\\x", 0));
    EXPECT_NO_THROW(CheckFolderPath(u"\\\\?\\Q:\\K", drivesCK));  // behind "\\?\" no drive is checked
    EXPECT_NO_THROW(CheckFolderPath(u"/tmp/out", 0));
    ExpectRaises<EPathTooLongException>([&] { CheckFolderPath(longPath + u"a", drivesCK); }, UString(kPathTooLong));
    ExpectRaises<ENotSupportedException>([&] { CheckFolderPath(u"C:\\K\\ab:", drivesCK); },
                                         UString(kPathFormatNotSupported));
    ExpectRaises<ENotSupportedException>([&] { CheckFolderPath(u":K", drivesCK); }, UString(kPathFormatNotSupported));
    ExpectRaises<ENotSupportedException>([&] { CheckFolderPath(u"C::\\K", drivesCK); }, UString(kPathFormatNotSupported));
    ExpectRaises<EArgumentException>([&] { CheckFolderPath(u"C:\\K\\a|b", drivesCK); }, UString(kInvalidPathChars));
    ExpectRaises<EArgumentException>([&] { CheckFolderPath(u"   ", drivesCK); }, UString(kInvalidPathChars));
    ExpectRaises<EDirectoryNotFoundException>([&] { CheckFolderPath(u"Q:\\K", drivesCK); }, UString(kDriveNotFound));
    // Drive letters run from A to Z in either case; the characters just outside them are no drive.
    const uint32_t drivesAZ = 1u | (1u << 25);
    for (UStringView drive : {u"A:\\K", u"a:\\K", u"Z:\\K", u"z:\\K"}) {
        SCOPED_TRACE(ToUtf8(drive));
        EXPECT_NO_THROW(CheckFolderPath(drive, drivesAZ));
        ExpectRaises<EDirectoryNotFoundException>([&] { CheckFolderPath(drive, drivesCK); }, UString(kDriveNotFound));
    }
    for (UStringView notDrive : {u"@:\\K", u"[:\\K", u"`:\\K", u"{:\\K"}) {
        SCOPED_TRACE(ToUtf8(notDrive));
        ExpectRaises<ENotSupportedException>([&] { CheckFolderPath(notDrive, ~0u); }, UString(kPathFormatNotSupported));
    }
    // The order of the checks: length first, then the colon, then characters, then the drive.
    ExpectRaises<EPathTooLongException>([&] { CheckFolderPath(u"Q:\\a:" + UString(300, u'|'), drivesCK); },
                                        UString(kPathTooLong));
    ExpectRaises<ENotSupportedException>([&] { CheckFolderPath(u"Q:\\a:|", drivesCK); },
                                         UString(kPathFormatNotSupported));
    ExpectRaises<EArgumentException>([&] { CheckFolderPath(u"Q:\\a|", drivesCK); }, UString(kInvalidPathChars));
}

TEST(ExtractPaths, ListsFolderLevelsOutermostFirst) {
    EXPECT_EQ(FolderLevels(u"C:\\K\\a\\b"), (std::vector<UString>{u"C:\\K", u"C:\\K\\a", u"C:\\K\\a\\b"}));
    EXPECT_EQ(FolderLevels(u"C:\\"), std::vector<UString>{});
    EXPECT_EQ(FolderLevels(u"C:"), std::vector<UString>{});
    EXPECT_EQ(FolderLevels(u"C:a\\b"), (std::vector<UString>{u"C:a", u"C:a\\b"}));  // relative to drive C:'s current folder
    EXPECT_EQ(FolderLevels(u"C:\\K\\\\a"), (std::vector<UString>{u"C:\\K", u"C:\\K\\\\a"}));  // a doubled separator is no level
    EXPECT_EQ(FolderLevels(u"K\\a"), (std::vector<UString>{u"K", u"K\\a"}));  // no root: the first name is a level
    EXPECT_EQ(FolderLevels(u"/t/x/"), (std::vector<UString>{u"/t", u"/t/x"}));
    EXPECT_EQ(FolderLevels(UStringView(u"K:\\a", 1)), std::vector<UString>{u"K"});  // the colon lies beyond the view
    EXPECT_EQ(FolderLevels(u"\\\\srv\\share\\a"), (std::vector<UString>{u"\\\\srv\\share\\a"}));
    EXPECT_EQ(FolderLevels(u"\\\\\\s\\a\\b"), (std::vector<UString>{u"\\\\\\s\\a", u"\\\\\\s\\a\\b"}));  // an empty server name
}

TEST(ExtractPaths, TellsWhetherATargetStaysInsideItsFolder) {
    EXPECT_TRUE(IsInsideFolder(u"C:\\K\\", u"C:\\K\\a.txt", false));
    EXPECT_TRUE(IsInsideFolder(u"C:\\K", u"C:\\K\\a\\b.txt", false));
    EXPECT_TRUE(IsInsideFolder(u"/tmp/out/", u"/tmp/out/a", false));
    EXPECT_TRUE(IsInsideFolder(u"C:\\", u"C:\\a", false));
    EXPECT_TRUE(IsInsideFolder(u"C:\\K\\", u"C:\\K\\", true));
    EXPECT_TRUE(IsInsideFolder(u"C:\\", u"C:\\", true));
    EXPECT_FALSE(IsInsideFolder(u"\\", u"", true));
    EXPECT_FALSE(IsInsideFolder(u"\\\\", u"\\", true));  // the start of a network path is not the drive's root
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\", u"D:\\K\\a.txt", false));
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\", u"C:\\K", false));
    EXPECT_FALSE(IsInsideFolder(u"C:\\", u"C:", true));  // the current folder of drive C:, not its root
    EXPECT_FALSE(IsInsideFolder(u"C:\\K", u"C:\\K\\", false));
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\a", u"C:\\K-a\\x.txt", false));  // a separator matches only a separator
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\", u"C:\\Kelvo\\a.txt", false));
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\", u"C:\\x.txt", false));
    EXPECT_FALSE(IsInsideFolder(u"C:\\K\\", u"\\\\.\\CON", false));
}

TEST(ExtractPaths, TellsNamesThatClimbOut) {
    for (UStringView out : {u"..", u"..\\x", u"a\\..\\..\\x", u"./../x", u"a/../../b"}) {
        SCOPED_TRACE(ToUtf8(out));
        EXPECT_TRUE(ClimbsOut(out));
    }
    for (UStringView in : {u"a\\..\\x", u"..a\\x", u"a..\\b", u"...\\x", u"a\\.\\b", u""}) {
        SCOPED_TRACE(ToUtf8(in));
        EXPECT_FALSE(ClimbsOut(in));
    }
}
