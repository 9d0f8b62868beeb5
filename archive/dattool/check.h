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
};

// CheckArchive checks every entry of zip, opened for reading on archive.
std::vector<TCheckProblem> CheckArchive(TZipFile& zip, TStream& archive);

// RunCheck is `dattool check ARCHIVE`: one line per problem, then the summary
// line; 0 when clean, 1 with problems, 2 when the archive cannot be read.
int RunCheck(const UString& archive, TConsole& console);
// CheckSummary: "no problems in 2 entries", "1 problem in 1 entry", ...
UString CheckSummary(size_t problems, size_t entries);
