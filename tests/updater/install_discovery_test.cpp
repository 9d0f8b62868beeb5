#include <gtest/gtest.h>

#include "tests/support/expect_raises.h"
#include "tests/updater/fakes.h"
#include "updater/install_discovery.h"

namespace {

const UString kDots(111, u'.');
const UString kX86 = u"C:\\Program Files (x86)\\Kelvo\\Kelvo.exe";

// TFakeWindow keeps the state of the controls the discovery changes, starting
// as the window definition leaves them.
class TFakeWindow final : public TDiscoveryWindow {
public:
    void EnableStart(bool enabled) override { StartEnabled = enabled; }
    void ShowWarning(bool visible) override { WarningVisible = visible; }
    void ShowFoundPath(const UString& path) override { FoundPath = path; }
    void ShowChosenPath(const UString& path) override { ChosenPath = path; }
    void DisableAutomaticOption() override { AutomaticEnabled = false; }
    std::optional<UString> ChooseExecutable() override {
        ++DialogRuns;
        StartEnabledWhileOpen = StartEnabled;
        ChosenPathWhileOpen = ChosenPath;
        return Answer;
    }

    bool StartEnabled = true;
    bool WarningVisible = true;
    bool AutomaticEnabled = true;
    UString FoundPath = kDots;
    UString ChosenPath = kDots;
    std::optional<UString> Answer;
    int DialogRuns = 0;
    bool StartEnabledWhileOpen = true;
    UString ChosenPathWhileOpen;
};

struct TState {
    bool start, warning, automatic;
    UString found, chosen, folder;
};

void ExpectState(const TFakeWindow& window, const UString& folder, const TState& expected) {
    EXPECT_EQ(window.StartEnabled, expected.start);
    EXPECT_EQ(window.WarningVisible, expected.warning);
    EXPECT_EQ(window.AutomaticEnabled, expected.automatic);
    EXPECT_EQ(ToUtf8(window.FoundPath), ToUtf8(expected.found));
    EXPECT_EQ(ToUtf8(window.ChosenPath), ToUtf8(expected.chosen));
    EXPECT_EQ(ToUtf8(folder), ToUtf8(expected.folder));
}

class InstallDiscovery : public ::testing::Test {
protected:
    TFakeWindow FWindow;
    TFakeFileSystem FFiles;
    TFakeLocaleText FText;
    UString FFolder;

    void Automatic() { SelectAutomatically(FWindow, FFiles, FText, FFolder); }
    void Manual(std::optional<UString> answer) {
        FWindow.Answer = std::move(answer);
        SelectManually(FWindow, FFiles, FText, FFolder);
    }
};

}  // namespace

TEST_F(InstallDiscovery, StartUpFoundWithMarker) {
    FFiles.AddFile(kX86);
    FFiles.AddFile(u"C:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl");
    Automatic();
    ExpectState(FWindow, FFolder, {true, false, true, kX86, kDots, u"c:\\program files (x86)\\kelvo\\"});
}

TEST_F(InstallDiscovery, StartUpFoundWithoutMarkerLeavesTheFoundPathUnaccepted) {
    FFiles.AddFile(u"G:\\Program Files\\Kelvo\\Kelvo.exe");
    Automatic();
    ExpectState(FWindow, FFolder,
                {false, false, true, u"G:\\Program Files\\Kelvo\\Kelvo.exe", kDots, u"G:\\Program Files\\Kelvo\\Kelvo.exe"});
}

TEST_F(InstallDiscovery, StartUpNothingFoundShowsTheWarningAndDisablesTheOption) {
    FFiles.AddFile(u"I:\\Program Files\\Kelvo\\Kelvo.exe");
    Automatic();
    ExpectState(FWindow, FFolder, {false, true, false, u"", kDots, u"L:\\Program Files\\Kelvo\\Kelvo.exe"});
}

TEST_F(InstallDiscovery, FindingAfterAFailedSearchHidesTheWarning) {
    Automatic();
    FFiles.AddFile(u"D:\\Program Files\\Kelvo\\Kelvo.exe");
    FFiles.AddFile(u"D:\\Program Files\\Kelvo\\dbrtsl100.bpl");
    Automatic();
    EXPECT_FALSE(FWindow.WarningVisible);
    EXPECT_TRUE(FWindow.StartEnabled);
    EXPECT_EQ(ToUtf8(FFolder), "d:\\program files\\kelvo\\");
}

TEST_F(InstallDiscovery, ManualDialogRunsWithTheStartDisabledAndThePlaceholderShown) {
    FFiles.AddFile(kX86);
    FFiles.AddFile(u"C:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl");
    Automatic();
    FWindow.ChosenPath = u"D:\\Earlier\\Kelvo.exe";
    Manual(std::nullopt);
    EXPECT_EQ(FWindow.DialogRuns, 1);
    EXPECT_FALSE(FWindow.StartEnabledWhileOpen);
    EXPECT_EQ(FWindow.ChosenPathWhileOpen, kDots);
}

TEST_F(InstallDiscovery, ManualCancelledDisablesTheStartAndKeepsTheFolder) {
    FFiles.AddFile(kX86);
    FFiles.AddFile(u"C:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl");
    Automatic();
    Manual(std::nullopt);
    ExpectState(FWindow, FFolder, {false, false, true, kX86, kDots, u"c:\\program files (x86)\\kelvo\\"});
}

TEST_F(InstallDiscovery, ManualPicksThatAreNotAcceptedShowThePathAndChangeNothingElse) {
    struct Case {
        const char* name;
        const char16_t* pick;
    };
    const Case cases[] = {
        {"name does not end in kelvo.exe", u"D:\\Apps\\Kelvo.exe.bak"},
        {"Kelvo.exe without the marker", u"D:\\Bare\\Kelvo.exe"},
        {"marker is a folder", u"D:\\Odd\\Kelvo.exe"},
        {"merely ends in kelvo.exe", u"D:\\Apps\\oldkelvo.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFakeWindow window;
        TFakeFileSystem files;
        TFakeLocaleText text;
        files.AddFile(u"D:\\Apps\\dbrtsl100.bpl");
        files.AddFolder(u"D:\\Odd\\dbrtsl100.bpl");
        UString folder = u"c:\\earlier\\";
        window.FoundPath = u"C:\\Earlier\\Kelvo.exe";
        window.Answer = UString(c.pick);
        SelectManually(window, files, text, folder);
        ExpectState(window, folder, {false, true, true, u"C:\\Earlier\\Kelvo.exe", c.pick, u"c:\\earlier\\"});
    }
}

TEST_F(InstallDiscovery, ManualAcceptedEnablesTheStartAndKeepsTheWarning) {
    Automatic();  // nothing found
    FFiles.AddFile(u"D:\\Apps\\dbrtsl100.bpl");
    Manual(UString(u"D:\\Apps\\KELVO.EXE"));
    ExpectState(FWindow, FFolder, {true, true, false, u"", u"D:\\Apps\\KELVO.EXE", u"d:\\apps\\"});
}

TEST_F(InstallDiscovery, CheckingTheAutomaticOptionAgainRepeatsTheSearchAndKeepsTheChosenPath) {
    FFiles.AddFile(u"D:\\Apps\\dbrtsl100.bpl");
    FFiles.AddFile(kX86);
    FFiles.AddFile(u"C:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl");
    Manual(UString(u"D:\\Apps\\Kelvo.exe"));
    ASSERT_EQ(ToUtf8(FFolder), "d:\\apps\\");
    Automatic();
    ExpectState(FWindow, FFolder, {true, false, true, kX86, u"D:\\Apps\\Kelvo.exe", u"c:\\program files (x86)\\kelvo\\"});
}

TEST_F(InstallDiscovery, AFailedLowerCasingLeavesTheStartDisabled) {
    FFiles.AddFile(kX86);
    FFiles.AddFile(u"C:\\Program Files (x86)\\Kelvo\\dbrtsl100.bpl");
    FText.FailLowering = true;
    ExpectRaises<EOSError>([&] { Automatic(); }, u"lowering failed");
    EXPECT_FALSE(FWindow.StartEnabled);
    EXPECT_EQ(ToUtf8(FWindow.FoundPath), ToUtf8(kX86));
    ExpectRaises<EOSError>([&] { Manual(UString(u"D:\\Apps\\Kelvo.exe")); }, u"lowering failed");
    EXPECT_FALSE(FWindow.StartEnabled);
    EXPECT_EQ(ToUtf8(FWindow.ChosenPath), "D:\\Apps\\Kelvo.exe");
}
