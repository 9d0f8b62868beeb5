#include "updater/update_run.h"
#include "updater/updater_texts.h"

#include <gtest/gtest.h>

TEST(ArchivePath, IsDataDatBesideTheExecutable) {
    struct Case {
        const char16_t* module;
        const char16_t* archive;
    };
    const Case cases[] = {
        {u"C:\\Updater\\KelvoUpdater.exe", u"C:\\Updater\\Data.dat"},
        {u"C:\\KelvoUpdater.exe", u"C:\\Data.dat"},
        {u"\\\\server\\share\\up\\x.exe", u"\\\\server\\share\\up\\Data.dat"},
        {u"D:x.exe", u"D:Data.dat"},                      // a colon cuts as well
        {u"C:\\a.b\\c:d.exe", u"C:\\a.b\\c:Data.dat"},    // whichever comes last
        {u"C:\\dir.with\\dots\\up.date.exe", u"C:\\dir.with\\dots\\Data.dat"},
        {u"x.exe", u"Data.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.module));
        EXPECT_EQ(ToUtf8(ArchivePathBeside(c.module)), ToUtf8(c.archive));
    }
}

TEST(MissingArchiveText, HasItsTwentyFourCharactersInStoredOrder) {
    const UString text(kMissingArchiveText);
    ASSERT_EQ(text.size(), 24u);
    EXPECT_EQ(ToUtf8(text),
              "\x20\xd9\x85\xd9\x88\xd8\xac\xd9\x88\xd8\xaf\x20\xd9\x86\xdb\x8c\xd8\xb3\xd8\xaa"
              "Data.dat\xd9\x81\xd8\xa7\xdb\x8c\xd9\x84\x20");
}
