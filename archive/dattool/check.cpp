#include "archive/dattool/check.h"

#include <map>

#include "archive/dattool/archive_input.h"
#include "archive/dattool/check_parts.h"
#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/dattool_texts.h"

namespace {

// A problem seen this many times is a way of making the archive, not a slip.
constexpr size_t kManyOfAKind = 10;

// KindOf is a problem's sentence up to its first quoted name: the same kind for every entry.
UString KindOf(const UString& problem) { return problem.substr(0, problem.find(u'"')); }

void PrintProblems(const std::vector<TCheckProblem>& problems, TConsole& console) {
    std::map<UString, size_t> kinds;
    for (const TCheckProblem& p : problems) {
        const UString where = p.WholeArchive ? UString(kWholeArchive) : Format(kQuotedName, {Printable(p.Entry)});
        console.Out(Format(p.Warning ? kWarningLine : kProblemLine, {where, Printable(p.Problem)}));
        if (!p.Warning) ++kinds[KindOf(p.Problem)];
    }
    for (const auto& [kind, count] : kinds) {
        if (count >= kManyOfAKind) console.Out(Format(kManyOfAKindAdvice, {Decimal(count), kind}));
    }
}

}  // namespace

std::vector<TCheckProblem> CheckArchive(TZipFile& zip, TStream& archive) {
    std::vector<TEntryProblems> entries = CheckNames(zip);
    std::vector<TCheckProblem> problems;
    for (int i = 0; i < zip.FileCount(); ++i) {
        TEntryProblems& entry = entries[static_cast<size_t>(i)];
        CheckEntry(zip, archive, i, entry.Problems);
        for (UString& problem : entry.Problems) problems.push_back({entry.Name, std::move(problem)});
        for (UString& warning : entry.Warnings) problems.push_back({entry.Name, std::move(warning), false, true});
    }
    for (UString& problem : CheckRecords(zip, archive)) problems.push_back({UString(), std::move(problem), true});
    if (zip.FileCount() == 0) problems.push_back({UString(), UString(kNoEntries), true});
    return problems;
}

std::vector<TCheckProblem> CheckArchiveFile(const UString& archive, size_t& entries) {
    TArchiveInput input(archive);
    if (input.Empty()) {
        entries = 0;
        return {{UString(), UString(kEmptyArchive), true}};
    }
    entries = static_cast<size_t>(input.Zip().FileCount());
    return CheckArchive(input.Zip(), input.File());
}

UString Printable(UStringView name) {
    static const char kHex[] = "0123456789ABCDEF";
    UString out;
    for (char16_t c : name) {
        if (c >= 0x20) out.push_back(c);
        else out += FromUtf8(std::string("<0x") + kHex[c >> 4] + kHex[c & 15] + ">");
    }
    return out;
}

UString CheckSummary(size_t problems, size_t warnings, size_t entries) {
    UString found = problems == 0 ? UString(kNoProblems) : Counted(problems, kProblem, kProblems);
    if (warnings > 0) found += u", " + Counted(warnings, kWarning, kWarnings);
    return Format(kSummary, {found, Counted(entries, kEntry, kEntries)});
}

// RunCheck opens the archive for reading only (the run would open it
// read-write, but reads its directory the same way) and reports on stdout.
int RunCheck(const std::vector<UString>& args, TConsole& console) {
    const TCommandLine line(args, {{u"--strict"}});
    size_t entries = 0;
    const std::vector<TCheckProblem> problems = CheckArchiveFile(line.Operands(1)[0], entries);
    PrintProblems(problems, console);
    size_t warnings = 0;
    for (const TCheckProblem& p : problems) warnings += p.Warning ? 1 : 0;
    console.Out(CheckSummary(problems.size() - warnings, warnings, entries));
    const bool clean = problems.size() == (line.Has(u"--strict") ? 0 : warnings);
    return clean ? 0 : 1;
}
