#include "archive/dattool/pack.h"

#include <ctime>
#include <filesystem>
#include <memory>

#include "archive/dattool/check.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/file_stream.h"
#include "base/file_system.h"
#include "base/error_text.h"

namespace {

// NowAsDosTime is the packing time, local, in MS-DOS form (two-second steps, from 1980).
uint32_t NowAsDosTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    if (t == nullptr || t->tm_year < 80) return kFixedTime;
    const uint32_t date = static_cast<uint32_t>((t->tm_year - 80) << 9 | (t->tm_mon + 1) << 5 | t->tm_mday);
    const uint32_t time = static_cast<uint32_t>(t->tm_hour << 11 | t->tm_min << 5 | t->tm_sec / 2);
    return date << 16 | time;
}

bool LiesInside(const UString& folder, const UString& archive) {
    namespace fs = std::filesystem;
    const fs::path relative = fs::absolute(fs::path(archive)).lexically_normal().lexically_relative(
        fs::absolute(fs::path(folder)).lexically_normal());
    return !relative.empty() && *relative.begin() != fs::path("..");
}

// CheckResult reads the new archive as `dattool check` does; its problems, if any, are printed.
bool CheckResult(const UString& archive, TConsole& console) {
    TFileStream file(archive, faRead, fdOpenExisting);
    TZipFile zip;
    zip.Open(file, zmRead);
    const std::vector<TCheckProblem> problems = CheckArchive(zip, file);
    for (const TCheckProblem& p : problems) console.Out(Format(kItemProblem, {p.Entry, p.Problem}));
    console.Out(Format(kNewArchiveCheck, {CheckSummary(problems.size(), static_cast<size_t>(zip.FileCount()))}));
    return problems.empty();
}

int Refused(const std::vector<UString>& problems, TConsole& console) {
    for (const UString& problem : problems) console.Out(problem);
    console.Out(Format(kNothingPackedFor, {Counted(problems.size(), kProblem, kProblems)}));
    return 1;
}

}  // namespace

int RunPack(const std::vector<UString>& args, TConsole& console) {
    const bool fixedTime = !args.empty() && args[0] == u"--fixed-time";
    if (args.size() != (fixedTime ? 3u : 2u)) {
        console.Err(UString(kPackUsage));
        return 2;
    }
    const UString& folder = args[fixedTime ? 1 : 0];
    const UString& archive = args[fixedTime ? 2 : 1];
    std::vector<UString> problems;
    if (LiesInside(folder, archive)) return Refused({Format(kArchiveInsideFolder, {archive})}, console);
    const std::vector<TPackItem> items = CollectPackItems(folder, problems);
    for (UString& problem : PackProblems(items)) problems.push_back(std::move(problem));
    if (!problems.empty()) return Refused(problems, console);
    try {
        WritePackArchive(items, archive, fixedTime ? kFixedTime : NowAsDosTime());
        if (CheckResult(archive, console)) {
            console.Out(Format(kPacked, {Decimal(items.size()), archive}));
            return 0;
        }
    } catch (const Exception& error) {
        console.Out(DisplayText(error));
    }
    DeleteFileAt(archive);  // no half-made or failing archive is left to be shipped
    console.Out(UString(kNothingPacked));
    return 1;
}
