// The extraction fuzzer: each input is opened as an archive on a memory
// stream (read-write, as the update run opens Data.dat) and extracted into a
// fresh folder, which is removed afterwards. The same input then goes through
// `dattool check`, which reads hostile archives too and must write nothing,
// and through `dattool diff` against the folder the extraction left, which
// must only read it. Besides the sanitizers' checks,
// the write guard stops the run when anything would change outside that folder,
// and the folder's parent must hold nothing but the folder afterwards.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "archive/dattool/check.h"
#include "archive/dattool/diff.h"
#include "archive/streams.h"
#include "archive/zip_file.h"
#include "archive/zip_handlers.h"
#include "tests/fuzz/write_guard.h"
#include "base/exception.h"
#include "base/text.h"

namespace {

// Enough for every entry of a 64 KB input to be written many times over, and
// small enough that deflate bombs leave the machine's memory alone.
constexpr size_t kWriteBudget = 64u << 20;

// SandboxBase makes this process's folder for the runs, below KELVO_FUZZ_SANDBOX
// (scripts/fuzz removes that when done), else in memory-backed /dev/shm.
std::string SandboxBase() {
    const char* parent = std::getenv("KELVO_FUZZ_SANDBOX");
    if (!parent || !*parent) parent = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string base = std::string(parent) + "/kelvo-fuzz-XXXXXX";
    if (!::mkdtemp(base.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    return base;
}

const std::string& Base() {
    static const std::string base = SandboxBase();
    return base;
}

void RemoveBase() { std::filesystem::remove_all(Base()); }

// OnlyChild: folder holds exactly one entry, named child.
bool OnlyChild(const std::string& folder, const char* child) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    int others = 0;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != child) ++others;
    }
    ::closedir(dir);
    return others == 0;
}

// TreeSignature sums what a change below folder would move: names, sizes, kinds.
std::uintmax_t TreeSignature(const std::string& folder) {
    std::uintmax_t sum = 0;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().string();
        sum = sum * 1000003u + std::hash<std::string>()(name);
        sum += it->is_regular_file(error) ? it->file_size(error) : 7;
    }
    return sum;
}

// FolderForm gives the target folder as callers write it: with a final "\\"
// as the update run does (form 0), with a final "/" (1), or bare as typed on a
// command line (2). The input's length picks one, so every form meets every
// archive. KELVO_FUZZ_FORMS (say "02") leaves forms out while a finding that
// only one form shows is open; a left-out form falls back to form 0.
std::string FolderForm(const std::string& target, size_t size) {
    static const char* const kEndings[] = {"\\", "/", ""};
    static const char* const allowed = std::getenv("KELVO_FUZZ_FORMS");
    size_t form = size % 3;
    if (allowed && *allowed && !std::strchr(allowed, static_cast<char>('0' + form))) form = 0;
    return target + kEndings[form];
}

// TDiskStream is the archive on a small disk: a write that would make it larger
// than its capacity fails, as on a full disk. The write-back goes wherever the
// end record's central-directory offset points (up to 4 GB); a plain memory
// stream would try to grow that far.
class TDiskStream : public TBytesStream {
public:
    TDiskStream(TBytes bytes, int64_t capacity) : TBytesStream(std::move(bytes)), FCapacity(capacity) {}
    int64_t Write(const void* buffer, int64_t count) override {
        if (count > 0 && Position() + count > FCapacity) return 0;
        return TBytesStream::Write(buffer, count);
    }

private:
    int64_t FCapacity;
};

// Extract runs the update sequence; the system's own errors are the expected
// outcome of most inputs, anything else escapes and counts as a crash.
void Extract(const uint8_t* data, size_t size, const std::string& target) {
    TDiskStream stream(TBytes(data, data + size), 2 * static_cast<int64_t>(size) + (1 << 20));
    try {
        TZipFile zip;
        zip.Open(stream, zmReadWrite);
        zip.ExtractAll(FromUtf8(FolderForm(target, size)));
        zip.Close();
    } catch (const Exception&) {
    }
}

// Check runs the pre-flight on a read-only copy: every problem is a report,
// nothing may escape, and the archive's bytes stay as they were.
void Check(const uint8_t* data, size_t size) {
    if (size == 0) return;  // check takes a 0-byte file before opening it
    TBytesStream stream(TBytes(data, data + size));
    TZipFile zip;
    try {
        zip.Open(stream, zmRead);
    } catch (const Exception&) {
        return;  // unreadable: check says so and stops
    }
    CheckArchive(zip, stream);
    if (stream.Bytes() != TBytes(data, data + size)) {
        std::fprintf(stderr, "==check== the pre-flight changed the archive\n");
        std::abort();
    }
}

class TSilentConsole : public TConsole {
public:
    void Out(const UString&) override {}
    void Err(const UString&) override {}
};

// Diff compares the archive with what the extraction left in target, reading
// both: the write guard is still armed, and the folder's tree must stay as it was.
void Diff(const uint8_t* data, size_t size, const std::string& target) {
    TBytesStream stream(TBytes(data, data + size));
    TZipFile zip;
    try {
        if (size > 0) zip.Open(stream, zmRead);
    } catch (const Exception&) {
        return;  // unreadable: diff says so and stops
    }
    const std::uintmax_t before = TreeSignature(target);
    TSilentConsole console;
    try {
        DiffFolder(zip, FromUtf8(FolderForm(target, size)), console);
    } catch (const Exception&) {  // a folder that cannot be read whole
    }
    if (TreeSignature(target) != before) {
        std::fprintf(stderr, "==diff== the comparison changed the folder\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterDefaultCompressionHandlers();
    Base();
    std::atexit(RemoveBase);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string folder = Base() + "/run-XXXXXX";
    if (!::mkdtemp(folder.data())) std::abort();
    const std::string target = folder + "/target";
    std::filesystem::create_directory(target);

    ArmWriteGuard(target.c_str(), kWriteBudget);
    Extract(data, size, target);
    Check(data, size);
    Diff(data, size, target);
    DisarmWriteGuard();

    if (!OnlyChild(folder, "target") || !OnlyChild(Base(), folder.substr(Base().size() + 1).c_str())) {
        std::fprintf(stderr, "==write guard== something appeared beside the target folder %s\n", target.c_str());
        std::abort();
    }
    std::filesystem::remove_all(folder);
    return 0;
}
