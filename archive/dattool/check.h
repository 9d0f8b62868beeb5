// CheckArchive is the vendor's pre-flight before shipping an update: it reads
// an archive open for reading as the update run reads it, writes nothing, and
// reports each thing the run would refuse or get wrong.
#pragma once

#include <vector>

#include "archive/dattool/dattool.h"
#include "archive/zip_file.h"

struct TCheckProblem {
    UString Entry;              // the entry's name as the run reads it
    UString Problem;            // what is wrong, one sentence
    bool WholeArchive = false;  // about the archive's records, not one entry
    bool Warning = false;       // the run handles it; other readers may not
};

// CheckArchive checks every entry of zip, opened for reading on archive.
std::vector<TCheckProblem> CheckArchive(TZipFile& zip, TStream& archive);

// CheckArchiveFile checks the archive file as `dattool check` does: an empty
// archive or one without entries is a problem, since the run installs nothing.
std::vector<TCheckProblem> CheckArchiveFile(const UString& archive, size_t& entries);
// Printable shows control characters of a name as <0x0A>: each report stays on one line.
UString Printable(UStringView name);
// CheckSummary: "no problems in 2 entries", "1 problem, 2 warnings in 3 entries", ...
UString CheckSummary(size_t problems, size_t warnings, size_t entries);
