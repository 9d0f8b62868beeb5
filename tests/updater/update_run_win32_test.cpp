// The update run against real files: archives made here in a temporary folder,
// the system's file calls, a window that records what it was asked to show.
#include <windows.h>
#include <zlib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/zip_handlers.h"
#include "tests/support/expect_raises.h"
#include "tests/support/temp_dir.h"
#include "base/win32_handles.h"
#include "updater/install_files.h"
#include "updater/update_run.h"
#include "updater/updater_texts.h"
#include "archive/zip_texts.h"

namespace {

namespace fs = std::filesystem;
using TBytesVec = std::vector<unsigned char>;

class TRecordingWindow final : public TUpdateRunWindow {
public:
    void ShowCompletion() override { ++Completions; }
    void ShowPlainMessage(const UString& text) override { Messages.push_back(text); }
    int Completions = 0;
    std::vector<UString> Messages;
};

void Put(TBytesVec& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

TBytesVec RawDeflate(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    TBytesVec out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct TEntry {
    std::string Name, Data;
    bool Corrupt = false;  // the deflate data begins with a reserved block type
};

// Archive builds a deflated archive with the format's plain records.
TBytesVec Archive(const std::vector<TEntry>& entries) {
    TBytesVec out, central;
    for (const TEntry& e : entries) {
        TBytesVec packed = RawDeflate(e.Data);
        if (e.Corrupt) packed[0] = 0x07;
        const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(e.Data.data()), static_cast<uInt>(e.Data.size()));
        const uint32_t offset = static_cast<uint32_t>(out.size());
        for (TBytesVec* r : {&out, &central}) {
            const bool c = r == &central;
            Put(*r, c ? 0x02014b50 : 0x04034b50, 4);
            if (c) Put(*r, 20, 2);
            Put(*r, 20, 2), Put(*r, 0, 2), Put(*r, 8, 2), Put(*r, 0, 4);
            Put(*r, crc, 4), Put(*r, static_cast<uint32_t>(packed.size()), 4);
            Put(*r, static_cast<uint32_t>(e.Data.size()), 4);
            Put(*r, static_cast<uint32_t>(e.Name.size()), 2), Put(*r, 0, 2);
            if (c) Put(*r, 0, 2), Put(*r, 0, 2), Put(*r, 0, 2), Put(*r, 0, 4), Put(*r, offset, 4);
            r->insert(r->end(), e.Name.begin(), e.Name.end());
        }
        out.insert(out.end(), packed.begin(), packed.end());
    }
    const uint32_t centralStart = static_cast<uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    Put(out, 0x06054b50, 4), Put(out, 0, 4);
    Put(out, static_cast<uint32_t>(entries.size()), 2), Put(out, static_cast<uint32_t>(entries.size()), 2);
    Put(out, static_cast<uint32_t>(central.size()), 4), Put(out, centralStart, 4), Put(out, 0, 2);
    return out;
}

std::string Text(const fs::path& p) {
    TBytesVec b = ReadWholeFile(p);
    return std::string(b.begin(), b.end());
}

UString Wide(const fs::path& p) { return FromW(p.wstring().c_str()); }

class UpdateRun : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDefaultCompressionHandlers();
        fs::create_directories(Dir / "app");
        fs::create_directories(Dir / "kelvo");
        WriteWholeFile(Dir / "kelvo" / "Kelvo.exe", {'o', 'l', 'd'});
    }
    void Run() { RunUpdate(Window, Files, Wide(Dir / "app" / "KelvoUpdater.exe"), Folder(), ArchivePath); }
    UString Folder() { return Wide(Dir / "kelvo") + u"\\"; }
    fs::path DataDat() { return Dir / "app" / "Data.dat"; }

    TTempDir Dir;
    TRecordingWindow Window;
    TSystemFileSystem Files;
    UString ArchivePath;
};

TEST_F(UpdateRun, ExtractsEveryEntryAndShowsTheCompletion) {
    const TBytesVec archive = Archive({{"Kelvo.exe", "new exe"}, {"lib/sub/a.bpl", "library"}});
    WriteWholeFile(DataDat(), archive);
    Run();
    EXPECT_EQ(Text(Dir / "kelvo" / "Kelvo.exe"), "new exe");
    EXPECT_EQ(Text(Dir / "kelvo" / "lib" / "sub" / "a.bpl"), "library");
    EXPECT_EQ(Window.Completions, 1);
    EXPECT_TRUE(Window.Messages.empty());
    EXPECT_EQ(ToUtf8(ArchivePath), ToUtf8(Wide(DataDat())));
    EXPECT_EQ(ReadWholeFile(DataDat()), archive);  // the write-back of a sound archive changes no byte
}

TEST_F(UpdateRun, MissingArchiveIsReportedInAPlainBoxAndNothingIsTouched) {
    for (bool asFolder : {false, true}) {
        SCOPED_TRACE(asFolder ? "a folder named Data.dat" : "no Data.dat");
        if (asFolder) fs::create_directory(DataDat());
        Window.Messages.clear();
        Run();
        ASSERT_EQ(Window.Messages.size(), 1u);
        EXPECT_EQ(ToUtf8(Window.Messages[0]), ToUtf8(kMissingArchiveText));
        EXPECT_EQ(Window.Completions, 0);
        EXPECT_EQ(Text(Dir / "kelvo" / "Kelvo.exe"), "old");
        EXPECT_EQ(ToUtf8(ArchivePath), ToUtf8(Wide(DataDat())));
    }
}

TEST_F(UpdateRun, AnEmptyArchiveBecomesTheEmptyArchiveRecord) {
    WriteWholeFile(DataDat(), {});
    Run();
    TBytesVec expected{0x50, 0x4b, 0x05, 0x06};
    expected.resize(22, 0);
    EXPECT_EQ(ReadWholeFile(DataDat()), expected);
    EXPECT_EQ(Window.Completions, 1);
}

TEST_F(UpdateRun, AFailingEntryStopsTheRunChangesNothingAndReleasesTheArchive) {
    WriteWholeFile(DataDat(), Archive({{"first.txt", "staged"}, {"Kelvo.exe", "broken", true}, {"last.txt", "x"}}));
    ExpectRaises<EZDecompressionError>([&] { Run(); }, u"data error");
    EXPECT_FALSE(fs::exists(Dir / "kelvo" / "first.txt"));
    EXPECT_EQ(Text(Dir / "kelvo" / "Kelvo.exe"), "old");
    EXPECT_FALSE(fs::exists(Dir / "kelvo" / "last.txt"));
    EXPECT_EQ(Window.Completions, 0);
    // Released: the archive can be opened without sharing again.
    HANDLE h = ::CreateFileW(DataDat().wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
}

TEST_F(UpdateRun, AnArchiveHeldByAnotherProgramCannotBeOpened) {
    WriteWholeFile(DataDat(), Archive({{"Kelvo.exe", "new"}}));
    HANDLE h = ::CreateFileW(DataDat().wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    try {
        Run();
        ADD_FAILURE() << "the run went through";
    } catch (const EFOpenError& e) {
        EXPECT_THAT(ToUtf8(e.Message()), ::testing::StartsWith("Cannot open file \"" + ToUtf8(Wide(DataDat())) + "\". "));
    }
    ::CloseHandle(h);
    EXPECT_EQ(Text(Dir / "kelvo" / "Kelvo.exe"), "old");
    EXPECT_EQ(Window.Completions, 0);
}

}  // namespace
