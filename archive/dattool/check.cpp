#include "archive/dattool/check.h"

#include <memory>

#include "archive/dattool/check_parts.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/file_stream.h"
#include "base/error_text.h"

namespace {

// Printable shows control characters of a name as <0x0A>: each problem stays on one line.
UString Printable(UStringView name) {
    static const char kHex[] = "0123456789ABCDEF";
    UString out;
    for (char16_t c : name) {
        if (c >= 0x20) out.push_back(c);
        else out += FromUtf8(std::string("<0x") + kHex[c >> 4] + kHex[c & 15] + ">");
    }
    return out;
}

}  // namespace

std::vector<TCheckProblem> CheckArchive(TZipFile& zip, TStream& archive) {
    std::vector<TEntryProblems> entries = CheckNames(zip);
    std::vector<TCheckProblem> problems;
    for (int i = 0; i < zip.FileCount(); ++i) {
        TEntryProblems& entry = entries[static_cast<size_t>(i)];
        CheckEntry(zip, archive, i, entry.Problems);
        for (UString& problem : entry.Problems) problems.push_back({entry.Name, std::move(problem)});
    }
    for (UString& problem : CheckRecords(zip, archive)) problems.push_back({UString(), std::move(problem), true});
    return problems;
}

UString CheckSummary(size_t problems, size_t entries) {
    const UString found = problems == 0 ? UString(kNoProblems) : Counted(problems, kProblem, kProblems);
    return Format(kSummary, {found, Counted(entries, kEntry, kEntries)});
}

// RunCheck opens the archive for reading only (the run would open it
// read-write, but reads its directory the same way) and reports on stdout.
int RunCheck(const UString& archive, TConsole& console) {
    std::unique_ptr<TFileStream> file;
    TZipFile zip;
    try {
        file = std::make_unique<TFileStream>(archive, faRead, fdOpenExisting);
        if (file->Size() == 0) {
            console.Out(UString(kEmptyArchiveNote));
            console.Out(CheckSummary(0, 0));
            return 0;
        }
        zip.Open(*file, zmRead);
    } catch (const Exception& error) {
        console.Out(Format(kCannotReadArchive, {DisplayText(error)}));
        return 2;
    }
    const std::vector<TCheckProblem> problems = CheckArchive(zip, *file);
    for (const TCheckProblem& p : problems) {
        const UString where = p.WholeArchive ? UString(kWholeArchive) : Format(kQuotedName, {Printable(p.Entry)});
        console.Out(Format(kProblemLine, {where, Printable(p.Problem)}));
    }
    console.Out(CheckSummary(problems.size(), static_cast<size_t>(zip.FileCount())));
    return problems.empty() ? 0 : 1;
}
