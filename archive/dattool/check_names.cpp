// The names of the pre-flight: how the run decodes each one, what readers
// that take one flag for the whole archive would make of it, and the name rules.
#include "archive/dattool/check_parts.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/entry_names.h"
#include "archive/name_rules.h"
#include "base/exception.h"

namespace {

bool IsPlainAscii(const TBytes& bytes) {
    for (uint8_t b : bytes) {
        if (b >= 0x80) return false;
    }
    return true;
}

// Unflagged names are installed under their code-page-437 reading; a name that
// was UTF-8 all along (Info-ZIP's zip flags nothing) gets another name.
UString UnflaggedProblem(const TBytes& bytes, const UString& cp437) {
    UString problem = Format(kUnflaggedName, {cp437});
    if (const std::optional<UString> utf8 = DecodeUtf8Strict(bytes)) problem += Format(kReadAsUtf8, {*utf8});
    return problem;
}

// DecodeForCheck gives the name as the run reads it, noting what goes wrong.
UString DecodeForCheck(TZipFile& zip, int index, bool mixedFlags, TEntryProblems& entry) {
    std::vector<UString>& problems = entry.Problems;
    const TZipHeader header = zip.FileInfo(index);
    const bool flagged = (header.Flag & kFlagUtf8Names) != 0;
    try {
        const UString name = zip.FileName(index);
        if (IsPlainAscii(header.FileName)) return name;
        if (!flagged) problems.push_back(UnflaggedProblem(header.FileName, name));
        // 7-Zip and zipfile flag only such names. The update run reads each
        // name by its own flag; a reader that takes one unflagged record for
        // the whole archive reads this name as code page 437.
        if (flagged && mixedFlags) {
            entry.Warnings.push_back(Format(kMixedFlags, {DecodeCp437(header.FileName)}));
        }
        return name;
    } catch (const Exception& error) {
        problems.push_back(Format(kRunRefusesItsName, {error.Message()}));
        return DecodeCp437(header.FileName);
    }
}

bool HasMixedFlags(const TZipFile& zip) {
    bool flagged = false;
    for (int i = 0; i < zip.FileCount(); ++i) flagged = flagged || (zip.FileInfo(i).Flag & kFlagUtf8Names) != 0;
    return flagged && !zip.UTF8Support();
}

}  // namespace

std::vector<TEntryProblems> CheckNames(TZipFile& zip) {
    const bool mixedFlags = HasMixedFlags(zip);
    std::vector<TEntryProblems> entries(static_cast<size_t>(zip.FileCount()));
    std::vector<UString> names;
    for (int i = 0; i < zip.FileCount(); ++i) {
        TEntryProblems& entry = entries[static_cast<size_t>(i)];
        entry.Name = DecodeForCheck(zip, i, mixedFlags, entry);
        for (UString& problem : NameProblems(entry.Name)) entry.Problems.push_back(std::move(problem));
        names.push_back(entry.Name);
    }
    for (TNameClash& clash : NameClashes(names)) entries[clash.Index].Problems.push_back(std::move(clash.Problem));
    return entries;
}
