// The install search's questions to the file system, on real files in a
// folder of the test's own. The exact error codes are the system's own and
// differ between Windows and Linux: file_system_win32_test.cpp checks Windows'.
#include "base/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>
#endif

#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

UString Text(const fs::path& path) { return path.u16string(); }

class FileSystemQuestions : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(Dir / "file.txt", {'x'});
        fs::create_directories(Dir / "folder");
    }
    TTempDir Dir;
};

}  // namespace

TEST_F(FileSystemQuestions, AttributesTellFilesFromFoldersAndMissingPaths) {
    const TPathAttributes file = PathAttributes(Text(Dir / "file.txt"));
    EXPECT_TRUE(file.Found);
    EXPECT_EQ(file.Attributes & (kFileAttributeDirectory | kFileAttributeReparsePoint), 0u);
    EXPECT_EQ(file.Error, 0u);
    const TPathAttributes folder = PathAttributes(Text(Dir / "folder"));
    EXPECT_TRUE(folder.Found);
    EXPECT_EQ(folder.Error, 0u);
    EXPECT_EQ(folder.Attributes & (kFileAttributeDirectory | kFileAttributeReparsePoint), kFileAttributeDirectory);
    const TPathAttributes missing = PathAttributes(Text(Dir / "missing.txt"));
    EXPECT_FALSE(missing.Found);
    EXPECT_NE(missing.Error, 0u);
}

TEST_F(FileSystemQuestions, FindingAnEntryTellsFilesFromFolders) {
    const TPathEntry file = FindPathEntry(Text(Dir / "file.txt"));
    EXPECT_TRUE(file.Found);
    EXPECT_FALSE(file.Directory);
    const TPathEntry folder = FindPathEntry(Text(Dir / "folder"));
    EXPECT_TRUE(folder.Found);
    EXPECT_TRUE(folder.Directory);
    EXPECT_FALSE(FindPathEntry(Text(Dir / "missing.txt")).Found);
}

// ".." is taken off the path's text first: it names file.txt even below a folder that is missing.
TEST_F(FileSystemQuestions, OnlyAnExistingFileOpensForReading) {
    EXPECT_EQ(OpenForReadingError(Text(Dir / "file.txt")), 0u);
    EXPECT_EQ(OpenForReadingError(Text(Dir / "missing" / ".." / "file.txt")), 0u);
    EXPECT_NE(OpenForReadingError(Text(Dir / "missing.txt")), 0u);
    EXPECT_NE(OpenForReadingError(Text(Dir / "folder")), 0u);
}

TEST_F(FileSystemQuestions, TheErrorModeAnswersThePreviousOne) {
    constexpr uint32_t kNoOpenFileErrorBox = 0x8000;
    const uint32_t original = ChangeProcessErrorMode(kErrorModeFailCriticalErrors);
    EXPECT_EQ(ChangeProcessErrorMode(kNoOpenFileErrorBox), kErrorModeFailCriticalErrors);
    EXPECT_EQ(ChangeProcessErrorMode(original), kNoOpenFileErrorBox);
}

TEST_F(FileSystemQuestions, TheCurrentFolderIsTheOneMadeCurrent) {
    const TCurrentFolder here(Dir / "folder");
    EXPECT_TRUE(fs::equivalent(fs::path(CurrentFolder()), Dir / "folder"));
}

#ifndef _WIN32
// Windows' links answer for themselves: a link carries the reparse-point bit,
// and the folder bit when it leads to a folder; Linux answers the same way.
TEST_F(FileSystemQuestions, LinksAnswerForThemselves) {
    fs::create_symlink(Dir / "file.txt", Dir / "to_file");
    fs::create_directory_symlink(Dir / "folder", Dir / "to_folder");
    fs::create_symlink(Dir / "missing.txt", Dir / "dangling");
    EXPECT_EQ(PathAttributes(Text(Dir / "to_file")).Attributes, kFileAttributeReparsePoint);
    EXPECT_EQ(PathAttributes(Text(Dir / "to_folder")).Attributes, kFileAttributeReparsePoint | kFileAttributeDirectory);
    const TPathAttributes dangling = PathAttributes(Text(Dir / "dangling"));
    EXPECT_TRUE(dangling.Found);
    EXPECT_EQ(dangling.Attributes, kFileAttributeReparsePoint);
    EXPECT_EQ(dangling.Error, 0u);
    EXPECT_NE(OpenForReadingError(Text(Dir / "dangling")), 0u);
    EXPECT_EQ(OpenForReadingError(Text(Dir / "to_file")), 0u);
}

// A full path is made on the text, as GetFullPathNameW makes it: "." and ".."
// and doubled separators go, a final separator stays, and ".." stops at the root.
TEST_F(FileSystemQuestions, AFullPathIsMadeOnTheText) {
    const TCurrentFolder here(Dir / "folder");
    const UString current = Text(fs::current_path());
    const std::pair<UString, UString> paths[] = {
        {u"/a/./b/../c", u"/a/c"}, {u"\\a\\b\\", u"/a/b/"}, {u"/a//b", u"/a/b"}, {u"/", u"/"},
        {u"/../..", u"/"},         {u"x/y/", current + u"/x/y/"},        {u"..", Text(Dir.Path())},
    };
    for (const auto& [path, full] : paths) {
        UString made;
        EXPECT_EQ(ExpandFileName(path, made), 0u) << ToUtf8(path);
        EXPECT_EQ(made, full) << ToUtf8(path);
    }
}

// A relative target folder is put after the current one, unless the current
// folder's text holds a character that would change how the target is read.
// An absolute or empty folder stays as it is.
TEST_F(FileSystemQuestions, ARelativeFolderIsAnchoredInTheCurrentOne) {
    for (const char* name : {"with space", "drive:like", "unit\x1f separator"}) fs::create_directories(Dir / name);
    {
        const TCurrentFolder here(Dir / "with space");
        EXPECT_EQ(AnchoredFolder(u"sub"), Text(fs::current_path()) + u"/sub");
        for (const char16_t* kept : {u"", u"/abs", u"\\abs"}) EXPECT_EQ(AnchoredFolder(kept), kept);
    }
    for (const char* name : {"drive:like", "unit\x1f separator"}) {
        const TCurrentFolder here(Dir / name);
        EXPECT_EQ(AnchoredFolder(u"sub"), u"sub") << name;
    }
}

// The new file takes the target's name in one step; a folder in the target's
// place is refused and both stay. errno counts only after a failure.
// By path and inside a held folder alike.
TEST_F(FileSystemQuestions, ReplacingPutsTheNewFileInPlaceButNotOverAFolder) {
    std::vector<TNativeFile> holds;
    UString refused;
    ASSERT_EQ(HoldFolderPath(Text(Dir.Path()), holds, refused), 0u);
    const std::function<uint32_t(const char*, const char*)> replaces[] = {
        [&](const char* source, const char* target) { return ReplaceFileWith(Text(Dir / source), Text(Dir / target)); },
        [&](const char* source, const char* target) {
            return ReplaceFileAt(HeldFolder(holds[0], Text(Dir.Path())), FromUtf8(source), FromUtf8(target));
        },
    };
    for (const auto& replace : replaces) {
        WriteWholeFile(Dir / "new.txt", {'n'});
        errno = EISDIR;
        EXPECT_EQ(replace("new.txt", "file.txt"), 0u);
        EXPECT_EQ(ReadWholeFile(Dir / "file.txt"), std::vector<unsigned char>{'n'});
        EXPECT_FALSE(fs::exists(Dir / "new.txt"));
        WriteWholeFile(Dir / "new.txt", {'n'});
        EXPECT_EQ(replace("new.txt", "folder"), static_cast<uint32_t>(EISDIR));
        EXPECT_TRUE(fs::is_directory(Dir / "folder"));
        EXPECT_EQ(ReadWholeFile(Dir / "new.txt"), std::vector<unsigned char>{'n'});
    }
    CloseNativeFile(holds[0]);
}

namespace {

// TCallPlan tells this program's pread, pwrite and renameat2 below, which the
// product's calls reach before the system's, how the next calls go: the first
// reads or writes fail as interrupted by a signal, each moves a few bytes at
// most (as on a slow or full disk), and those beyond the last one fail with
// EIO, so that code that asks again without end stops; renameat2 may answer
// as a file system that cannot exchange two names (EINVAL) or with any other
// error, and renameat may fail with an error of the plan's.
struct TCallPlan {
    int Interrupted = 0;
    size_t MostBytes = SIZE_MAX;
    int LastCall = INT32_MAX;
    int Calls = 0;
    int ExchangeError = 0;
    int RenameError = 0;
};
TCallPlan gPlan;

// PlannedFailure fails the call at hand as the plan says: true with errno set.
bool PlannedFailure() {
    if (++gPlan.Calls > gPlan.LastCall) {
        errno = EIO;
        return true;
    }
    if (gPlan.Calls <= gPlan.Interrupted) {
        errno = EINTR;
        return true;
    }
    return false;
}

}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    if (PlannedFailure()) return -1;
    return ::syscall(SYS_pread64, fd, buffer, std::min(count, gPlan.MostBytes), offset);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    if (PlannedFailure()) return -1;
    return ::syscall(SYS_pwrite64, fd, buffer, std::min(count, gPlan.MostBytes), offset);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) noexcept {
    if (gPlan.ExchangeError != 0) {
        errno = gPlan.ExchangeError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    if (gPlan.RenameError != 0) {
        errno = gPlan.RenameError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
}

namespace {

class FileCalls : public ::testing::Test {
protected:
    void SetUp() override {
        gPlan = {};
        ASSERT_EQ(OpenNativeFile(Text(Dir / "f.bin"), faReadWrite, fdCreateAlways, File), 0u);
    }
    void TearDown() override {
        gPlan = {};
        CloseNativeFile(File);
        for (TNativeFile hold : Holds) CloseNativeFile(hold);
    }
    std::string Written() {
        const std::vector<unsigned char> bytes = ReadWholeFile(Dir / "f.bin");
        return std::string(bytes.begin(), bytes.end());
    }
    // Held holds the test's folder and answers it.
    THeldFolder Held() {
        UString refused;
        EXPECT_EQ(HoldFolderPath(Text(Dir.Path()), Holds, refused), 0u);
        return HeldFolder(Holds.empty() ? -1 : Holds.back(), Text(Dir.Path()));
    }
    TTempDir Dir;
    TNativeFile File = -1;
    std::vector<TNativeFile> Holds;
};

}  // namespace

// A signal may stop a call before it moves anything; that call is asked again.
// Only a failed call counts as interrupted: errno may still hold EINTR from
// before when a call succeeds or a read meets the end of the file.
TEST_F(FileCalls, OnlyInterruptedCallsAreAskedAgain) {
    gPlan = {2, SIZE_MAX, 3};
    EXPECT_EQ(NativeWrite(File, 0, "abcdef", 6), 6);
    gPlan = {1, SIZE_MAX, 2};
    char in[6] = {};
    EXPECT_EQ(NativeRead(File, 0, in, 6), 6);
    EXPECT_EQ(std::string(in, 6), "abcdef");
    gPlan = {0, SIZE_MAX, 1};
    errno = EINTR;
    EXPECT_EQ(NativeWrite(File, 6, "gh", 2), 2);
    EXPECT_EQ(Written(), "abcdefgh");
    gPlan = {0, SIZE_MAX, 1};
    errno = EINTR;
    EXPECT_EQ(NativeRead(File, 8, in, 6), 0);
    EXPECT_EQ(gPlan.Calls, 1);
}

// A write goes on from where a part of it ended; a failed call moves nothing,
// and a size that cannot be told is none.
TEST_F(FileCalls, AWriteGoesOnAfterEachPartAndFailuresCountAsNothing) {
    const std::string bytes = "01234567abcdefgh";
    gPlan.MostBytes = 3;
    EXPECT_EQ(NativeWrite(File, 2, bytes.data() + 8, 8), 8);
    EXPECT_EQ(Written(), std::string("\0\0abcdefgh", 10));
    gPlan = {0, 3, 1};
    EXPECT_EQ(NativeWrite(File, 0, bytes.data(), 8), 3);  // the bytes moved before the failure
    gPlan = {};
    char in = 0;
    EXPECT_EQ(NativeRead(-1, 0, &in, 1), 0);
    EXPECT_EQ(NativeWrite(-1, 0, bytes.data(), 1), 0);
    EXPECT_EQ(NativeFileSize(-1), 0);
}

// Where the file system cannot exchange two names (nor refuse to replace in a
// rename), renames and links do the same jobs. Any other refusal is the
// answer and moves nothing, except for a replacement whose target has vanished
// meanwhile: a rename puts the file there all the same.
TEST_F(FileCalls, WithoutAnExchangeRenamesAndLinksDoTheSameJobs) {
    const THeldFolder folder = Held();
    const std::function<uint32_t()> calls[] = {
        [&] { return ReplaceFileWith(Text(Dir / "new.bin"), Text(Dir / "f.bin")); },
        [&] { return ReplaceFileAt(folder, u"new.bin", u"f.bin"); },
        [&] { return ReplaceKeepingOldAt(folder, u"new.bin", u"f.bin", u"old.bin"); },
        [&] { return MoveToNewNameAt(folder, u"new.bin", u"f.bin"); },  // f.bin removed first
    };
    const std::pair<int, uint32_t> answers[4][4] = {  // the exchange's error; what each call answers
        {{EINVAL, 0}, {EINVAL, 0}, {EINVAL, 0}, {EINVAL, 0}},
        {{ENOSYS, 0}, {ENOSYS, 0}, {ENOSYS, 0}, {ENOSYS, 0}},
        {{ENOENT, 0}, {ENOENT, 0}, {ENOENT, ENOENT}, {ENOENT, ENOENT}},
        {{EPERM, EPERM}, {EPERM, EPERM}, {EPERM, EPERM}, {EPERM, EPERM}},
    };
    for (const auto& row : answers) {
        for (size_t i = 0; i < 4; ++i) {
            const auto [error, answer] = row[i];
            SCOPED_TRACE("exchange error " + std::to_string(error) + ", call " + std::to_string(i));
            fs::remove(Dir / "old.bin");
            fs::remove(Dir / "f.bin");
            if (i != 3) WriteWholeFile(Dir / "f.bin", {'t'});
            WriteWholeFile(Dir / "new.bin", {'n'});
            gPlan.ExchangeError = error;
            EXPECT_EQ(calls[i](), answer);
            gPlan.ExchangeError = 0;
            if (answer == 0) {
                EXPECT_EQ(Written(), "n");
                EXPECT_FALSE(fs::exists(Dir / "new.bin"));
                if (i == 2) {
                    EXPECT_EQ(ReadWholeFile(Dir / "old.bin"), std::vector<unsigned char>{'t'});
                }
            } else {
                EXPECT_EQ(fs::exists(Dir / "f.bin") ? Written() : "", i == 3 ? "" : "t");
                EXPECT_EQ(ReadWholeFile(Dir / "new.bin"), std::vector<unsigned char>{'n'});
                EXPECT_FALSE(fs::exists(Dir / "old.bin"));
            }
        }
    }
}

// The new file takes the old one's permissions (all twelve bits) and its
// owner and group, each on its own (giving a file away takes root: the tests
// run as root). When the old file cannot take its new name, the new one is
// taken out of its place again, with or without an exchange, and no second
// name of the old file is left.
TEST_F(FileCalls, KeepingTheOldFileGivesItsModeAndOwnerAndUndoesAStepThatFails) {
    const THeldFolder folder = Held();
    ASSERT_EQ(NativeWrite(File, 0, "t", 1), 1);
    const fs::perms mode = fs::perms::owner_all | fs::perms::group_read | fs::perms::others_exec | fs::perms::sticky_bit;
    const std::string target = (Dir / "f.bin").string();
    for (const auto& [uid, gid] : {std::pair<uid_t, gid_t>{4321, ::getegid()}, {::geteuid(), 8765}}) {
        SCOPED_TRACE(uid);
        ASSERT_EQ(::chown(target.c_str(), uid, gid), 0) << "giving a file away needs root";
        fs::permissions(Dir / "f.bin", mode);
        WriteWholeFile(Dir / "new.bin", {'n'});
        EXPECT_EQ(ReplaceKeepingOldAt(folder, u"new.bin", u"f.bin", u"old.bin"), 0u);
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(fs::status(Dir / "f.bin").permissions(), mode);
        EXPECT_EQ(info.st_uid, uid);
        EXPECT_EQ(info.st_gid, gid);
        fs::remove(Dir / "old.bin");
    }
    EXPECT_EQ(Written(), "n");
    for (const int exchangeError : {0, EINVAL}) {
        SCOPED_TRACE(exchangeError);
        WriteWholeFile(Dir / "newer.bin", {'m'});
        gPlan.ExchangeError = exchangeError;
        gPlan.RenameError = EIO;
        EXPECT_EQ(ReplaceKeepingOldAt(folder, u"newer.bin", u"f.bin", u"older.bin"), static_cast<uint32_t>(EIO));
        gPlan = {};
        EXPECT_EQ(Written(), "n");
        EXPECT_EQ(ReadWholeFile(Dir / "newer.bin"), std::vector<unsigned char>{'m'});
        EXPECT_FALSE(fs::exists(Dir / "older.bin"));
    }
    fs::create_directory(Dir / "a folder");  // only a file takes the old one's place, or its mode and owner
    const fs::perms folderMode = fs::status(Dir / "a folder").permissions();
    EXPECT_EQ(ReplaceKeepingOldAt(folder, u"a folder", u"f.bin", u"older.bin"), static_cast<uint32_t>(EISDIR));
    EXPECT_EQ(Written(), "n");
    EXPECT_TRUE(fs::is_directory(Dir / "a folder"));
    EXPECT_EQ(fs::status(Dir / "a folder").permissions(), folderMode);
    struct stat folderInfo {};
    ASSERT_EQ(::stat((Dir / "a folder").c_str(), &folderInfo), 0);
    EXPECT_EQ(folderInfo.st_gid, ::getegid());
}

// Files are made readable and writable by all, folders searchable too, less
// what the process's umask takes away, as every other program makes them.
TEST_F(FileCalls, FilesAndFoldersAreMadeWithTheUsualPermissions) {
    const THeldFolder folder = Held();
    const mode_t saved = ::umask(0);
    TNativeFile file = -1;
    EXPECT_EQ(OpenNativeFile(Text(Dir / "a.bin"), faReadWrite, fdCreateNew, file), 0u);
    CloseNativeFile(file);
    EXPECT_EQ(OpenFileAt(folder, u"b.bin", faReadWrite, fdCreateNew, file), 0u);
    CloseNativeFile(file);
    CreateFolder(Text(Dir / "c"));
    EXPECT_EQ(OpenFolderAt(folder, u"d", true, Holds), 0u);
    ::umask(saved);
    const fs::perms readWrite = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    for (const char* name : {"a.bin", "b.bin"}) EXPECT_EQ(fs::status(Dir / name).permissions(), readWrite) << name;
    for (const char* name : {"c", "d"}) EXPECT_EQ(fs::status(Dir / name).permissions(), fs::perms::all) << name;
}

// A folder that cannot be held is named, with the system's reason.
TEST_F(FileCalls, AFolderThatCannotBeHeldIsNamed) {
    std::vector<TNativeFile> holds;
    UString refused;
    EXPECT_EQ(HoldFolderPath(Text(Dir / "missing"), holds, refused), static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(refused, Text(Dir / "missing"));
    EXPECT_TRUE(holds.empty());
}

// With standard input closed, the next file opened gets descriptor 0, a file like any other.
TEST_F(FileCalls, DescriptorZeroIsAFileLikeAnyOther) {
    ASSERT_EQ(NativeWrite(File, 0, "x", 1), 1);
    WriteWholeFile(Dir / "read-only.bin", {'r'});
    fs::permissions(Dir / "read-only.bin", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const THeldFolder folder = Held();
    const int input = ::dup(0);
    ::close(0);
    errno = 0;  // a descriptor 0 taken for a failure would answer this 0
    // Each question closes what it opened: the next open gets 0 again.
    const auto zeroIsFree = [&] {
        TNativeFile probe = -1;
        const bool free = OpenNativeFile(Text(Dir / "f.bin"), faRead, fdOpenExisting, probe) == 0 && probe == 0;
        if (probe >= 0) CloseNativeFile(probe);
        return free;
    };
    EXPECT_EQ(OpenForReadingError(Text(Dir / "f.bin")), 0u);
    EXPECT_EQ(CheckReplaceable(Text(Dir / "read-only.bin")), static_cast<uint32_t>(EACCES));
    EXPECT_EQ(CheckReplaceableAt(folder, u"read-only.bin"), static_cast<uint32_t>(EACCES));
    TNativeFile file = -1;
    EXPECT_EQ(OpenNativeFile(Text(Dir / "f.bin"), faRead, fdOpenExisting, file), 0u);
    EXPECT_EQ(file, 0);
    char in = 0;
    EXPECT_EQ(NativeRead(file, 0, &in, 1), 1);
    EXPECT_EQ(in, 'x');
    CloseNativeFile(file);
    file = -1;
    EXPECT_EQ(OpenFileAt(folder, u"f.bin", faRead, fdOpenExisting, file), 0u);
    EXPECT_EQ(file, 0);
    CloseNativeFile(file);
    file = -1;
    EXPECT_EQ(OpenArchiveFile(Text(Dir / "f.bin"), faRead, file), 0u);
    EXPECT_EQ(file, 0);
    CloseNativeFile(file);
    // So does a refusal after the open: a folder opened as a file, or as an archive.
    EXPECT_EQ(OpenNativeFile(Text(Dir.Path()), faRead, fdOpenExisting, file), static_cast<uint32_t>(EISDIR));
    EXPECT_TRUE(zeroIsFree());
    EXPECT_EQ(OpenArchiveFile(Text(Dir.Path()), faRead, file), static_cast<uint32_t>(EISDIR));
    EXPECT_TRUE(zeroIsFree());
    EXPECT_EQ(FileNamesStartingWithAt(folder, u"f."), std::vector<UString>{u"f.bin"});
    std::vector<TNativeFile> holds;
    UString refused;
    EXPECT_EQ(HoldFolderPath(Text(Dir.Path()), holds, refused), 0u);
    EXPECT_EQ(holds, std::vector<TNativeFile>{0});
    CloseNativeFile(0);
    EXPECT_EQ(OpenFolderAt(folder, u"sub", true, holds), 0u);
    EXPECT_EQ(holds, (std::vector<TNativeFile>{0, 0}));
    CloseNativeFile(0);
    WriteWholeFile(Dir / "new.bin", {'n'});
    fs::permissions(Dir / "f.bin", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReplaceKeepingOldAt(folder, u"new.bin", u"f.bin", u"old.bin"), 0u);
    EXPECT_EQ(fs::status(Dir / "f.bin").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(zeroIsFree());
    ::dup2(input, 0);
    ::close(input);
}
#endif
