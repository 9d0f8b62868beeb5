#include "archive/dattool/pack.h"

#include <chrono>
#include <ctime>
#include <functional>

#include "archive/dattool/check.h"
#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/pack_output.h"
#include "archive/dattool/dattool_texts.h"
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

// CheckResult reads the new archive as `dattool check` does; its problems, if any, are printed.
// An empty folder gives an archive without entries, which check reports: the run would install nothing.
bool CheckResult(const UString& archive, TConsole& console) {
    size_t entries = 0;
    const std::vector<TCheckProblem> problems = CheckArchiveFile(archive, entries);
    for (const TCheckProblem& p : problems) console.Out(Format(kItemProblem, {p.Entry, p.Problem}));
    console.Out(Format(kNewArchiveCheck, {CheckSummary(problems.size(), 0, entries)}));
    return problems.empty();
}

// TProgress shows "packed 120 of 3,000 entries" on a terminal, a few times a second at most.
class TProgress {
public:
    TProgress(TConsole& console, size_t total) : FConsole(console), FTotal(total) {}
    ~TProgress() {
        if (FShown) FConsole.Progress(UString());
    }
    void operator()(size_t done) {
        const auto now = std::chrono::steady_clock::now();
        if (now - FLast < std::chrono::milliseconds(200)) return;
        FLast = now;
        FShown = true;
        FConsole.Progress(Format(kPackProgress, {Decimal(done), Decimal(FTotal)}));
    }

private:
    TConsole& FConsole;
    size_t FTotal;
    std::chrono::steady_clock::time_point FLast = std::chrono::steady_clock::now();
    bool FShown = false;
};

int Refused(const std::vector<UString>& problems, TConsole& console) {
    for (const UString& problem : problems) console.Out(problem);
    console.Out(Format(kNothingPackedFor, {Counted(problems.size(), kProblem, kProblems)}));
    return 1;
}

}  // namespace

int RunPack(const std::vector<UString>& args, TConsole& console) {
    const TCommandLine line(args, {{u"--fixed-time"}, {u"--force"}, {u"--exclude", true}});
    const std::vector<UString>& operands = line.Operands(2);
    const UString& folder = operands[0];
    const UString& archive = operands[1];
    RequireFolder(folder);
    if (const std::optional<UString> refusal = PackOutputRefusal(folder, archive, line.Has(u"--force"))) {
        return Refused({*refusal}, console);
    }
    std::vector<UString> problems;
    const std::vector<TPackItem> items = CollectPackItems(folder, line.Values(u"--exclude"), problems);
    for (UString& problem : PackProblems(items)) problems.push_back(std::move(problem));
    if (!problems.empty()) return Refused(problems, console);
    try {
        TPackTemporary temporary(archive);
        {
            TProgress progress(console, items.size());
            WritePackArchive(items, temporary.Path(), temporary.TakeFile(), line.Has(u"--fixed-time") ? kFixedTime : NowAsDosTime(),
                             std::ref(progress));
        }
        if (CheckResult(temporary.Path(), console)) {
            temporary.PutInPlace();
            console.Out(Format(kPacked, {Decimal(items.size()), archive}));
            return 0;
        }
    } catch (const Exception& error) {  // the temporary file is gone; ARCHIVE is as it was
        console.Out(DisplayText(error));
    }
    console.Out(UString(kNothingPacked));
    return 1;
}
